#include "core/fatal_error.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "core/datetime.h"
#include "core/encoding.h"
#include "support/exit_code.h"
#include "support/gbk.h"

namespace tolvaris {
namespace {

using ::testing::AllOf;
using ::testing::ExitedWithCode;
using testing::Gbk;
using ::testing::HasSubstr;
using testing::kExitCodeMinusOne;

TEST(FatalErrorText, HeadingBlankLineThenTheMessage) {
  EXPECT_EQ(FatalErrorText(Gbk("不能求余数于零")),
            Gbk("运行时出错!\r\n\r\n错误信息：不能求余数于零"));
  EXPECT_EQ(FatalErrorText(Text()), Gbk("运行时出错!\r\n\r\n错误信息："));
}

TEST(FatalErrorDeathTest, RemainderByZeroEndsTheProcessWithMinusOne) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      RealRemainder(1, 0), ExitedWithCode(kExitCodeMinusOne),
      AllOf(HasSubstr("错误"), HasSubstr("运行时出错!"), HasSubstr("错误信息：不能求余数于零")));
  EXPECT_EXIT(RealRemainder(-7, -0.0), ExitedWithCode(kExitCodeMinusOne),
              HasSubstr("不能求余数于零"));
}

void ReportWithMarks(const Text& title, const Text& text) {
  std::fprintf(stderr, "[%s|%s]", GbkToUtf8(title.View()).c_str(), GbkToUtf8(text.View()).c_str());
}

TEST(FatalErrorDeathTest, GoesToTheInstalledReporter) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        SetFatalErrorReporter(&ReportWithMarks);
        RaiseFatalError(Gbk("载入启动窗口失败"));
      },
      ExitedWithCode(kExitCodeMinusOne),
      HasSubstr("[错误|运行时出错!\r\n\r\n错误信息：载入启动窗口失败]"));
}

}  // namespace
}  // namespace tolvaris
