#include "nettime/network_time.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>

#include "nettime/rfc_date_parser.h"
#include "support/gbk.h"
#include "web/recording_request_object.h"

namespace tolvaris {
namespace {

using ::testing::ElementsAre;
using testing::FakeResponse;
using testing::Gbk;
using testing::RecordingRequestPlatform;
using testing::RfcDateParser;

FakeResponse HeadAnswer(const char* headers) { return FakeResponse{ByteArray(), headers, 200}; }

std::vector<std::string> Opens(const testing::CallLog& log) {
  std::vector<std::string> opens;
  std::copy_if(log.begin(), log.end(), std::back_inserter(opens),
               [](const std::string& call) { return call.rfind("Open(", 0) == 0; });
  return opens;
}

TEST(QueryNetworkTime, DateHeaderGivesBeijingTime) {
  RecordingRequestPlatform platform({HeadAnswer(
      "Server: test\r\nDate: Sun, 06 Nov 1994 08:49:37 GMT\r\nContent-Length: 0\r\n\r\n")});
  const RfcDateParser parser;

  const DateTime value = QueryNetworkTime({platform, parser});

  EXPECT_EQ(DateTimeToText(value), Gbk("1994年11月6日16时49分37秒"));
  EXPECT_THAT(Opens(*platform.log), ElementsAre("Open(HEAD, http://www.baidu.com/, false)"));
}

TEST(QueryNetworkTime, AsksTheGivenUrl) {
  RecordingRequestPlatform platform({HeadAnswer("Date: Tue, 31 Dec 2024 20:00:00 GMT\r\n")});
  const RfcDateParser parser;

  const DateTime value = QueryNetworkTime({platform, parser}, Text("http://127.0.0.1:8080/"));

  EXPECT_EQ(DateTimeToText(value), Gbk("2025年1月1日4时"));
  EXPECT_THAT(Opens(*platform.log), ElementsAre("Open(HEAD, http://127.0.0.1:8080/, false)"));
}

struct FallbackCase {
  std::string name;
  FakeResponse response;
  bool creationFails;
};

void PrintTo(const FallbackCase& c, std::ostream* os) { *os << c.name; }

class QueryNetworkTimeFallback : public ::testing::TestWithParam<FallbackCase> {};

TEST_P(QueryNetworkTimeFallback, GivesTheEarliestDateTime) {
  RecordingRequestPlatform platform({GetParam().response});
  platform.creationFails = GetParam().creationFails;
  const RfcDateParser parser;

  const DateTime value = QueryNetworkTime({platform, parser});

  EXPECT_EQ(ReadDateParts(value), (DateParts{100, 1, 1, 0, 0, 0}));
  EXPECT_EQ(DateTimeToText(value), Gbk("100年1月1日"));
}

INSTANTIATE_TEST_SUITE_P(
    Failures, QueryNetworkTimeFallback,
    ::testing::Values(
        FallbackCase{"NoDateHeader", HeadAnswer("Server: test\r\nContent-Length: 0\r\n\r\n"),
                     false},
        FallbackCase{"LowerCaseDateHeader",
                     HeadAnswer("date: Sun, 06 Nov 1994 08:49:37 GMT\r\n\r\n"), false},
        FallbackCase{"UnreadableDate", HeadAnswer("Date: yesterday\r\n\r\n"), false},
        FallbackCase{"ImpossibleDate", HeadAnswer("Date: Sun, 31 Nov 1994 08:49:37 GMT\r\n"),
                     false},
        FallbackCase{
            "FailedSend",
            FakeResponse{ByteArray(), "Date: Sun, 06 Nov 1994 08:49:37 GMT\r\n", 200, true}, false},
        FallbackCase{"NoRequestObject", HeadAnswer("Date: Sun, 06 Nov 1994 08:49:37 GMT\r\n"),
                     true}),
    [](const ::testing::TestParamInfo<FallbackCase>& info) { return info.param.name; });

TEST(QueryNetworkTime, EveryCallSendsItsOwnRequest) {
  RecordingRequestPlatform platform({HeadAnswer("Date: Sun, 06 Nov 1994 08:49:37 GMT\r\n"),
                                     HeadAnswer("Date: Sun, 06 Nov 1994 08:49:39 GMT\r\n")});
  const RfcDateParser parser;

  const DateTime first = QueryNetworkTime({platform, parser});
  const DateTime second = QueryNetworkTime({platform, parser});

  EXPECT_EQ(DateTimeToText(first), Gbk("1994年11月6日16时49分37秒"));
  EXPECT_EQ(DateTimeToText(second), Gbk("1994年11月6日16时49分39秒"));
  EXPECT_EQ(std::count(platform.log->begin(), platform.log->end(), "CreateRequestObject"), 2);
  EXPECT_EQ(Opens(*platform.log).size(), 2u);
}

}  // namespace
}  // namespace tolvaris
