#include "app/main_window.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "app_doubles.h"
#include "core/gbk_literals.h"
#include "support/exit_code.h"
#include "support/gbk.h"

namespace tolvaris::testing {
namespace {

struct ControlRow {
  Control name;
  ControlKind kind;
  int32_t x, y, width, height;
  const char* startText;
  bool readOnly;
  bool tabStop;
  bool sunkenEdge;
};

// The window layout, in creation order.
const ControlRow kControls[] = {
    {Control::标签1, ControlKind::Label, 13, 8, 56, 25, "时间相差：", false, false, false},
    {Control::编辑框_相差, ControlKind::EditBox, 69, 8, 192, 25, "", false, true, true},
    {Control::编辑框2, ControlKind::EditBox, 0, 80, 260, 25, "", true, true, true},
    {Control::编辑框1, ControlKind::EditBox, 0, 43, 260, 25, "", true, true, true},
    {Control::按钮1, ControlKind::PushButton, 280, 48, 88, 48, "立即同步", false, true, false},
};

TEST(MainWindowDescription, IsTheFixedWindowWithItsFiveControlsInCreationOrder) {
  const MainWindowDescription& window = MainWindow();
  EXPECT_EQ(window.title, Gbk("Tolvaris时间同步器"));
  EXPECT_EQ(window.outerWidth, 380);
  EXPECT_EQ(window.outerHeight, 146);
  EXPECT_FALSE(window.resizable);
  EXPECT_TRUE(window.minimiseButton);
  EXPECT_FALSE(window.maximiseButton);
  EXPECT_EQ(window.background, DefaultColour);

  ASSERT_EQ(std::size(kControls), window.controls.size());
  for (size_t i = 0; i < window.controls.size(); ++i) {
    const ControlRow& row = kControls[i];
    const ControlDescription& control = window.controls[i];
    SCOPED_TRACE(ControlName(row.name));
    EXPECT_EQ(control.name, row.name);
    EXPECT_EQ(control.kind, row.kind);
    EXPECT_EQ(control.x, row.x);
    EXPECT_EQ(control.y, row.y);
    EXPECT_EQ(control.width, row.width);
    EXPECT_EQ(control.height, row.height);
    EXPECT_EQ(control.startText, Gbk(row.startText));
    EXPECT_EQ(control.readOnly, row.readOnly);
    EXPECT_EQ(control.tabStop, row.tabStop);
    EXPECT_EQ(control.sunkenEdge, row.sunkenEdge);
    EXPECT_EQ(control.textColour, Black);
    EXPECT_EQ(control.background, DefaultColour);
    EXPECT_FALSE(control.defaultButton) << "Enter must click nothing";
  }
}

struct CentringCase {
  int32_t screenWidth, screenHeight;
  ScreenPosition expected;
};

TEST(CentredWindowPosition, HalvesTheSpareRoomTruncatingTowardZero) {
  const CentringCase cases[] = {
      {1024, 768, {322, 311}},
      {1920, 1080, {770, 467}},
      {1025, 769, {322, 311}},  // odd spare room: the half pixel is dropped
      {380, 146, {0, 0}},
      {301, 101, {-39, -22}},  // smaller than the window: toward zero, not toward -infinity
  };
  for (const CentringCase& c : cases) {
    EXPECT_EQ(CentredWindowPosition(MainWindow(), c.screenWidth, c.screenHeight), c.expected)
        << c.screenWidth << "x" << c.screenHeight;
  }
}

class RecordingToolkit : public WindowToolkit {
 public:
  RecordingToolkit(EventLog& log, bool buildable) : log_(log), buildable_(buildable) {}

  bool BuildWindow(const MainWindowDescription& description,
                   std::function<void()> syncNowClicked) override {
    log_.push_back("BuildWindow " + GbkToUtf8(description.title.View()));
    built_ = &description;
    syncNowClicked_ = std::move(syncNowClicked);
    return buildable_;
  }
  void ShowWindow() override { log_.push_back("ShowWindow"); }
  void RunMessageLoop() override {
    log_.push_back("RunMessageLoop");
    // The user clicks the button once before closing the window.
    if (syncNowClicked_) syncNowClicked_();
    log_.push_back("message loop ended");
  }

  const MainWindowDescription* built_ = nullptr;

 private:
  EventLog& log_;
  bool buildable_;
  std::function<void()> syncNowClicked_;
};

TEST(StartProgram, BuildsRaisesTheCreatedEventShowsRunsTheLoopAndReturnsZero) {
  AppDoubles doubles;
  AppEnvironment environment = doubles.Environment();
  RecordingToolkit toolkit(doubles.log, /*buildable=*/true);

  EXPECT_EQ(StartProgram(toolkit, environment), 0);

  EXPECT_EQ(toolkit.built_, &MainWindow());
  EXPECT_EQ(doubles.log, (EventLog{
                             "BuildWindow Tolvaris时间同步器",
                             "SetControlText 编辑框1 本地时间：正在获取......",
                             "SetControlText 编辑框2 北京时间：正在获取......",
                             "StartThread",
                             "ShowWindow",
                             "RunMessageLoop",
                             // The button is wired to the sync command.
                             "SetControlEnabled 按钮1 false",
                             "QueryNetworkTime",
                             "SetLocalTime 0100-01-01 00:00:00.000 weekday 5",
                             "ShowMessageBox 时间同步失败！",
                             "StartThread",
                             "SetControlEnabled 按钮1 true",
                             "message loop ended",
                         }));
}

TEST(StartProgramDeathTest, AWindowThatCannotBeBuiltIsTheFatalErrorWithExitCodeMinusOne) {
  EXPECT_EXIT(
      {
        AppDoubles doubles;
        AppEnvironment environment = doubles.Environment();
        RecordingToolkit toolkit(doubles.log, /*buildable=*/false);
        StartProgram(toolkit, environment);
        std::fputs("StartProgram returned", stderr);
        std::exit(0);
      },
      ::testing::ExitedWithCode(kExitCodeMinusOne), "载入启动窗口失败");
}

}  // namespace
}  // namespace tolvaris::testing
