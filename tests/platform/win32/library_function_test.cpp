#include "platform/win32/library_function.h"

#include <gtest/gtest.h>
#include <windows.h>

#include "tests/support/gbk.h"

namespace tolvaris {
namespace {

using testing::Gbk;

TEST(LibraryFunctionTest, NamesTheLibraryAndTheFunctionInTheFatalMessage) {
  EXPECT_EQ(FunctionNotFoundMessage("wininet.dll", "InternetTimeToSystemTime"),
            Gbk("无法找到指定DLL库文件“wininet.dll”中的输出命令“InternetTimeToSystemTime”"));
}

TEST(LibraryFunctionTest, BindsAnExportedFunctionAndKeepsItsLibraryLoaded) {
  const FARPROC bound = BindLibraryFunction("wininet.dll", "InternetTimeToSystemTime");
  ASSERT_NE(bound, nullptr);
  HMODULE loaded = GetModuleHandleA("wininet.dll");
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(bound, GetProcAddress(loaded, "InternetTimeToSystemTime"));
}

TEST(LibraryFunctionDeathTest, AMissingLibraryIsTheFatalRunTimeError) {
  // The default reporter writes the message to stderr as UTF-8; the exit code is -1.
  EXPECT_EXIT(BindLibraryFunction("tolvaris-no-such-library.dll", "InternetTimeToSystemTime"),
              ::testing::ExitedWithCode(-1), "tolvaris-no-such-library\\.dll");
}

TEST(LibraryFunctionDeathTest, AMissingFunctionIsTheFatalRunTimeError) {
  EXPECT_EXIT(BindLibraryFunction("wininet.dll", "TolvarisNoSuchFunction"),
              ::testing::ExitedWithCode(-1), "TolvarisNoSuchFunction");
}

}  // namespace
}  // namespace tolvaris
