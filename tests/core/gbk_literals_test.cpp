#include "core/gbk_literals.h"

#include <gtest/gtest.h>

#include <string>

#include "support/gbk.h"

namespace tolvaris {
namespace {

using testing::Gbk;

std::string Hex(std::string_view bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string hex;
  for (unsigned char byte : bytes) {
    if (!hex.empty()) hex += ' ';
    hex += kDigits[byte >> 4];
    hex += kDigits[byte & 15];
  }
  return hex;
}

// Pinned by hand, so that neither a wrong source charset nor a wrong converter goes unseen.
TEST(GbkLiterals, KeyBytesArePinned) {
  EXPECT_EQ(Hex(gbk::kQuotePlaceholder), "23 D2 FD BA C5");
  EXPECT_EQ(Hex(gbk::kBeijingTimePrefix), "B1 B1 BE A9 CA B1 BC E4 A3 BA");
}

// Each constant is the GBK form of the text written above it.
TEST(GbkLiterals, EveryConstantIsItsTextInGbk) {
  const struct {
    const char* constant;
    const char* utf8;
  } cases[] = {
      {gbk::kProgramTitle, "Tolvaris时间同步器"},
      {gbk::kQuotePlaceholder, "#引号"},
      {gbk::kLocalTimePrefix, "本地时间："},
      {gbk::kBeijingTimePrefix, "北京时间："},
      {gbk::kLocalTimeWaiting, "本地时间：正在获取......"},
      {gbk::kBeijingTimeWaiting, "北京时间：正在获取......"},
      {gbk::kTimeCorrect, "恭喜，时间正确！"},
      {gbk::kDifferenceLabel, "时间相差："},
      {gbk::kSyncNowCaption, "立即同步"},
      {gbk::kSyncSucceeded, "时间同步成功！"},
      {gbk::kSyncFailed, "时间同步失败！"},
      {gbk::kMessageBoxTitle, "信息："},
      {gbk::kFatalErrorTitle, "错误"},
      {gbk::kFatalErrorHeading, "运行时出错!"},
      {gbk::kFatalErrorMessageLead, "错误信息："},
      {gbk::kWindowLoadFailed, "载入启动窗口失败"},
      {gbk::kFunctionNotFoundFormat, "无法找到指定DLL库文件“%s”中的输出命令“%s”"},
      {gbk::kRemainderByZero, "不能求余数于零"},
      {gbk::kYearSuffix, "年"},
      {gbk::kMonthSuffix, "月"},
      {gbk::kDaySuffix, "日"},
      {gbk::kHourSuffix, "时"},
      {gbk::kMinuteSuffix, "分"},
      {gbk::kSecondSuffix, "秒"},
      {gbk::kDaysSuffix, "天"},
  };
  for (const auto& c : cases) EXPECT_EQ(Hex(c.constant), Hex(Gbk(c.utf8).View())) << c.utf8;
}

}  // namespace
}  // namespace tolvaris
