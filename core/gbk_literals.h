#pragma once

// Every text the program shows or matches, as code page 936 (GBK) bytes. The UTF-8 above each
// constant is for the reader; the bytes are what the program uses, whatever the source charset.

namespace tolvaris::gbk {

// Tolvaris时间同步器
inline constexpr char kProgramTitle[] = "Tolvaris\xCA\xB1\xBC\xE4\xCD\xAC\xB2\xBD\xC6\xF7";

// #引号
inline constexpr char kQuotePlaceholder[] = "#\xD2\xFD\xBA\xC5";

// 本地时间：
inline constexpr char kLocalTimePrefix[] = "\xB1\xBE\xB5\xD8\xCA\xB1\xBC\xE4\xA3\xBA";

// 北京时间：
inline constexpr char kBeijingTimePrefix[] = "\xB1\xB1\xBE\xA9\xCA\xB1\xBC\xE4\xA3\xBA";

// 本地时间：正在获取......
inline constexpr char kLocalTimeWaiting[] = "\xB1\xBE\xB5\xD8\xCA\xB1\xBC\xE4\xA3\xBA\xD5\xFD\xD4\xDA\xBB\xF1\xC8\xA1......";

// 北京时间：正在获取......
inline constexpr char kBeijingTimeWaiting[] = "\xB1\xB1\xBE\xA9\xCA\xB1\xBC\xE4\xA3\xBA\xD5\xFD\xD4\xDA\xBB\xF1\xC8\xA1......";

// 恭喜，时间正确！
inline constexpr char kTimeCorrect[] = "\xB9\xA7\xCF\xB2\xA3\xAC\xCA\xB1\xBC\xE4\xD5\xFD\xC8\xB7\xA3\xA1";

// 时间相差：
inline constexpr char kDifferenceLabel[] = "\xCA\xB1\xBC\xE4\xCF\xE0\xB2\xEE\xA3\xBA";

// 立即同步
inline constexpr char kSyncNowCaption[] = "\xC1\xA2\xBC\xB4\xCD\xAC\xB2\xBD";

// 时间同步成功！
inline constexpr char kSyncSucceeded[] = "\xCA\xB1\xBC\xE4\xCD\xAC\xB2\xBD\xB3\xC9\xB9\xA6\xA3\xA1";

// 时间同步失败！
inline constexpr char kSyncFailed[] = "\xCA\xB1\xBC\xE4\xCD\xAC\xB2\xBD\xCA\xA7\xB0\xDC\xA3\xA1";

// 信息：
inline constexpr char kMessageBoxTitle[] = "\xD0\xC5\xCF\xA2\xA3\xBA";

// 错误
inline constexpr char kFatalErrorTitle[] = "\xB4\xED\xCE\xF3";

// 运行时出错!
inline constexpr char kFatalErrorHeading[] = "\xD4\xCB\xD0\xD0\xCA\xB1\xB3\xF6\xB4\xED!";

// 错误信息：
inline constexpr char kFatalErrorMessageLead[] = "\xB4\xED\xCE\xF3\xD0\xC5\xCF\xA2\xA3\xBA";

// 载入启动窗口失败
inline constexpr char kWindowLoadFailed[] = "\xD4\xD8\xC8\xEB\xC6\xF4\xB6\xAF\xB4\xB0\xBF\xDA\xCA\xA7\xB0\xDC";

// 无法找到指定DLL库文件“%s”中的输出命令“%s”
inline constexpr char kFunctionNotFoundFormat[] = "\xCE\xDE\xB7\xA8\xD5\xD2\xB5\xBD\xD6\xB8\xB6\xA8" "DLL\xBF\xE2\xCE\xC4\xBC\xFE\xA1\xB0%s\xA1\xB1\xD6\xD0\xB5\xC4\xCA\xE4\xB3\xF6\xC3\xFC\xC1\xEE\xA1\xB0%s\xA1\xB1";

// 不能求余数于零
inline constexpr char kRemainderByZero[] = "\xB2\xBB\xC4\xDC\xC7\xF3\xD3\xE0\xCA\xFD\xD3\xDA\xC1\xE3";

// 年
inline constexpr char kYearSuffix[] = "\xC4\xEA";

// 月
inline constexpr char kMonthSuffix[] = "\xD4\xC2";

// 日
inline constexpr char kDaySuffix[] = "\xC8\xD5";

// 时
inline constexpr char kHourSuffix[] = "\xCA\xB1";

// 分
inline constexpr char kMinuteSuffix[] = "\xB7\xD6";

// 秒
inline constexpr char kSecondSuffix[] = "\xC3\xEB";

// 天
inline constexpr char kDaysSuffix[] = "\xCC\xEC";

}  // namespace tolvaris::gbk
