#include "core/encoding.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "core/gbk_literals.h"
#include "platform/win32/ansi_text.h"

namespace tolvaris {
namespace {

struct EncodingCase {
  std::string gbk;
  std::string utf8;
};

TEST(Win32EncodingTest, ConvertsBetweenCodePage936AndUtf8BothWays) {
  const EncodingCase cases[] = {
      {"", ""},
      {"Date: Sun", "Date: Sun"},
      {gbk::kProgramTitle, "Tolvaris时间同步器"},
      {gbk::kTimeCorrect, "恭喜，时间正确！"},
      {gbk::kLocalTimeWaiting, "本地时间：正在获取......"},
  };
  for (const EncodingCase& c : cases) {
    EXPECT_EQ(GbkToUtf8(c.gbk), c.utf8);
    EXPECT_EQ(Utf8ToGbk(c.utf8), c.gbk);
  }
}

TEST(Win32EncodingTest, ReplacesWhatDoesNotConvertInsteadOfDroppingIt) {
  // A lead byte with nothing after it, and a character GBK lacks (Hangul).
  const std::string fromGbk = GbkToUtf8("ab\x81");
  EXPECT_EQ(fromGbk.substr(0, 2), "ab");
  EXPECT_GT(fromGbk.size(), 2u);
  EXPECT_EQ(fromGbk.find('\x81'), std::string::npos);
  EXPECT_EQ(Utf8ToGbk("a한z"), "a?z");
}

// The program's COM texts go through the ANSI code page; the tests run where that is 936.
TEST(AnsiTextTest, RunsUnderTheChineseAnsiCodePage) { ASSERT_EQ(GetACP(), 936u); }

TEST(AnsiTextTest, TextBecomesUtf16ThroughTheAnsiCodePage) {
  EXPECT_EQ(AnsiToWide(Text(gbk::kProgramTitle)), L"Tolvaris时间同步器");
  EXPECT_EQ(AnsiToWide(Text()), L"");
}

TEST(AnsiTextTest, Utf16ComesBackAsTextCutAtTheFirstZeroCharacter) {
  const std::wstring withZero(L"HTTP/1.1 200 OK\r\n\0trailing", 26);
  EXPECT_EQ(WideToAnsi(withZero.data(), withZero.size()), Text("HTTP/1.1 200 OK\r\n"));
  const std::wstring chinese = L"时间同步失败！";
  EXPECT_EQ(WideToAnsi(chinese.data(), chinese.size()), Text(gbk::kSyncFailed));
  EXPECT_EQ(WideToAnsi(nullptr, 4), Text());
  EXPECT_EQ(WideToAnsi(L"\0abc", 4), Text());
}

}  // namespace
}  // namespace tolvaris
