// StartProgram on the Qt window layer with doubles for the clock, the network and the threads.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <cstdio>

#include "app/main_window.h"
#include "core/fatal_error.h"
#include "core/gbk_literals.h"
#include "platform/qt/fatal_error_box.h"
#include "platform/qt/program_icon.h"
#include "platform/qt/qt_window.h"
#include "qt_doubles.h"

namespace tolvaris::testing {
namespace {

const TimeRecord kLocalTime{.wYear = 2025, .wMonth = 3, .wDay = 7, .wHour = 9, .wMinute = 5};

TEST(QtStartProgram, ShowsTheWaitingTextsInBlackRightAfterStartAndReturnsZeroOnClose) {
  QtWindow window(ProgramIcon());
  HeldThreads threads;
  FixedClock clock(kLocalTime);
  AppEnvironment environment{window, threads, clock, [] { return EarliestDateTime; }};

  bool checked = false;
  OnceTheLoopRuns([&] {
    EXPECT_TRUE(window.Widget()->isVisible());
    EXPECT_EQ(Edit(window, Control::编辑框1)->text(), Utf8("本地时间：正在获取......"));
    EXPECT_EQ(Edit(window, Control::编辑框2)->text(), Utf8("北京时间：正在获取......"));
    EXPECT_EQ(Edit(window, Control::编辑框_相差)->text(), QString());
    for (Control control : {Control::编辑框1, Control::编辑框2, Control::编辑框_相差}) {
      EXPECT_EQ(TextColour(window, control), QColor(Qt::black));
    }
    EXPECT_EQ(threads.held.size(), 1u) << "the first refresh is started";
    checked = true;
    window.Widget()->close();
  });

  EXPECT_EQ(StartProgram(window, environment), 0);
  EXPECT_TRUE(checked);
  EXPECT_EQ(window.Widget(), nullptr) << "the window is gone once the loop has ended";
}

struct MessageBoxSeen {
  bool seen = false;
  QString title;
  QString text;
  QMessageBox::StandardButtons buttons;
  Qt::WindowModality modality = Qt::NonModal;
  bool hasOwner = true;
  bool buttonEnabled = true;
  size_t refreshesStarted = 0;
};

TEST(QtStartProgram, SyncDisablesTheButtonWhileItRunsAndReportsInAnApplicationModalBox) {
  QtWindow window(ProgramIcon());
  HeldThreads threads;
  FixedClock clock(kLocalTime);
  MessageBoxSeen box;
  int queries = 0;
  bool buttonEnabledDuringQuery = true;
  AppEnvironment environment{
      window, threads, clock, [&] {
        ++queries;
        buttonEnabledDuringQuery = window.ControlWidget(Control::按钮1)->isEnabled();
        // Looks at the box from inside its own loop, then closes it.
        QTimer::singleShot(0, [&] {
          auto* shown = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
          if (shown == nullptr) return;
          box.seen = true;
          box.title = shown->windowTitle();
          box.text = shown->text();
          box.buttons = shown->standardButtons();
          box.modality = shown->windowModality();
          box.hasOwner = shown->parentWidget() != nullptr;
          box.buttonEnabled = window.ControlWidget(Control::按钮1)->isEnabled();
          box.refreshesStarted = threads.held.size();
          QTest::mouseClick(shown->button(QMessageBox::Ok), Qt::LeftButton);
        });
        return ComposeDateTime(2025, 3, 7, 9, 5, 0);
      }};

  bool enabledAfterwards = false;
  size_t refreshesAfterwards = 0;
  OnceTheLoopRuns([&] {
    QTest::mouseClick(window.ControlWidget(Control::按钮1), Qt::LeftButton);
    enabledAfterwards = window.ControlWidget(Control::按钮1)->isEnabled();
    refreshesAfterwards = threads.held.size();
    window.Widget()->close();
  });
  EXPECT_EQ(StartProgram(window, environment), 0);

  EXPECT_EQ(queries, 1);
  EXPECT_FALSE(buttonEnabledDuringQuery);
  EXPECT_EQ(clock.setCalls, 1);
  ASSERT_TRUE(box.seen);
  EXPECT_EQ(box.title, Utf8("信息："));
  EXPECT_EQ(box.text, Utf8("时间同步失败！"));
  EXPECT_EQ(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
  EXPECT_EQ(box.modality, Qt::ApplicationModal);
  EXPECT_FALSE(box.hasOwner);
  EXPECT_FALSE(box.buttonEnabled) << "still disabled while the box is open";
  EXPECT_EQ(box.refreshesStarted, 1u) << "only the start-up refresh while the box is open";
  EXPECT_TRUE(enabledAfterwards);
  EXPECT_EQ(refreshesAfterwards, 2u);
}

// The fatal error's box, looked at from inside its own loop and closed; its title and text go to
// stderr on one line for the death test to match.
void ReportTheOpenBoxThenCloseIt() {
  QTimer::singleShot(0, [] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr) return;
    QString seen = box->windowTitle() + "|" + box->text();
    seen.replace('\n', '/');
    std::fprintf(stderr, "box: %s\n", seen.toUtf8().constData());
    box->accept();
  });
}

TEST(QtFatalErrorDeathTest, ShowsABoxTitledErrorAndEndsWithExitCodeMinusOne) {
  EXPECT_EXIT(
      {
        SetFatalErrorReporter(&ShowFatalErrorBox);
        ReportTheOpenBoxThenCloseIt();
        RaiseFatalError(gbk::kWindowLoadFailed);
      },
      ::testing::ExitedWithCode(255), "box: 错误\\|运行时出错!//错误信息：载入启动窗口失败\n");
}

}  // namespace
}  // namespace tolvaris::testing
