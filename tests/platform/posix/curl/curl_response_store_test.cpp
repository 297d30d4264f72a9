#include "platform/posix/curl_response_store.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tolvaris {
namespace {

using namespace std::string_literals;

struct HeaderCase {
  std::vector<std::string> lines;  // as libcurl hands them over
  std::string expected;
  const char* why;
};

TEST(CurlResponseStoreTest, KeepsTheHeaderLinesOfTheFinalResponse) {
  const HeaderCase cases[] = {
      {{"HTTP/1.1 200 OK\r\n", "Date: Sun, 06 Nov 1994 08:49:37 GMT\r\n", "X-A: 1\r\n", "\r\n"},
       "Date: Sun, 06 Nov 1994 08:49:37 GMT\r\nX-A: 1\r\n",
       "no status line, no closing empty line"},
      {{"HTTP/1.1 302 Found\r\n", "Location: /b\r\n", "\r\n", "HTTP/1.1 200 OK\r\n",
        "X-Final: 1\r\n", "\r\n"},
       "X-Final: 1\r\n",
       "a redirect's lines are gone"},
      {{"HTTP/1.1 100 Continue\r\n", "\r\n", "HTTP/1.1 200 OK\r\n", "X-A: 1\r\n", "\r\n"},
       "X-A: 1\r\n",
       "an interim answer counts for nothing"},
      {{"HTTP/1.1 200 OK\n", "X-A: 1\n", "\n"}, "X-A: 1\r\n", "bare LF endings become CR LF"},
      {{"HTTP/1.1 200 OK\r\n", "X-Zero: a\0b\0\r\n"s, "\0\0\r\n"s, "\r\n"},
       "X-Zero: ab\r\n",
       "zero bytes dropped, a line of only zero bytes with them"},
      {{"HTTP/1.1 200 OK\r\n", "X-Gbk: \xB1\xB1 \r\n", "\xB1\xB1: x\r\n", "\r\n"},
       "X-Gbk: \xB1\xB1 \r\n\xB1\xB1: x\r\n",
       "other bytes as received, spaces included"},
      {{"HTTP/1.1 200 OK\r\n", "X-A: 1\r\n", "\r\n", "X-Trailer: t\r\n", "\r\n"},
       "X-A: 1\r\nX-Trailer: t\r\n",
       "trailers join the block"},
  };
  for (const HeaderCase& item : cases) {
    CurlResponseStore store;
    for (const std::string& line : item.lines) ASSERT_TRUE(store.AddHeaderLine(line));
    EXPECT_EQ(store.HeaderLines(), item.expected) << item.why;
  }
}

TEST(CurlResponseStoreTest, ANewResponseDropsTheBodyOfTheLastOne) {
  CurlResponseStore store;
  store.AddHeaderLine("HTTP/1.1 302 Found\r\n");
  store.AddBody("moved");
  store.AddHeaderLine("HTTP/1.1 200 OK\r\n");
  store.AddBody("final");
  EXPECT_EQ(store.Body(), ByteArray("final"));
}

TEST(CurlResponseStoreTest, RefusesWhatWouldPassItsLimitsAndKeepsWhatCameBefore) {
  CurlResponseStore store(/*headerLimit=*/16, /*bodyLimit=*/8);
  EXPECT_TRUE(store.AddHeaderLine("X-A: 12345678\r\n"));  // 15 bytes kept
  EXPECT_TRUE(store.AddHeaderLine("\r\n"));
  EXPECT_FALSE(store.AddHeaderLine("X\n"));  // "X\r\n" would make 18
  EXPECT_EQ(store.HeaderLines(), "X-A: 12345678\r\n");

  EXPECT_TRUE(store.AddBody("1234"));
  EXPECT_TRUE(store.AddBody("5678"));
  EXPECT_FALSE(store.AddBody("9"));
  EXPECT_EQ(store.Body(), ByteArray("12345678"));
}

TEST(CurlResponseStoreTest, DefaultLimitsAreOneMebibyteOfHeadersAndSixtyFourOfBody) {
  CurlResponseStore store;
  const std::string line(1022, 'h');  // 1 KiB with its CR LF
  for (int count = 0; count < 1024; ++count) ASSERT_TRUE(store.AddHeaderLine(line + "\n"));
  EXPECT_FALSE(store.AddHeaderLine("X\r\n"));
  EXPECT_EQ(store.HeaderLines().size(), std::size_t{1} << 20);

  // Pieces that do not line up with the store's blocks, as libcurl hands them over.
  const std::string piece(16000, 'b');
  const std::size_t limit = std::size_t{64} << 20;
  std::size_t stored = 0;
  for (; stored + piece.size() <= limit; stored += piece.size()) {
    ASSERT_TRUE(store.AddBody(piece));
  }
  ASSERT_TRUE(store.AddBody(std::string(limit - stored, 'c')));
  EXPECT_FALSE(store.AddBody("b"));
  const ByteArray body = store.Body();
  ASSERT_EQ(body.Bytes().size(), limit);
  EXPECT_EQ(body.Bytes()[stored - 1], 'b');
  EXPECT_EQ(body.Bytes()[stored], 'c');
  EXPECT_EQ(body.Bytes().back(), 'c');
}

}  // namespace
}  // namespace tolvaris
