// Window operations from worker threads on the Qt window layer.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <future>
#include <thread>

#include "app/main_window.h"
#include "app/status_refresh.h"
#include "platform/qt/detached_threads.h"
#include "platform/qt/program_icon.h"
#include "platform/qt/qt_window.h"
#include "qt_doubles.h"
#include "support/gbk.h"

namespace tolvaris::testing {
namespace {

using namespace std::chrono_literals;

const TimeRecord kLocalTime{.wYear = 2025, .wMonth = 3, .wDay = 7, .wHour = 9, .wMinute = 5};
const DateTime kNetworkTime = ComposeDateTime(2025, 3, 7, 9, 5, 0);

struct ShownWindow {
  ShownWindow() : window(ProgramIcon()) {
    EXPECT_TRUE(window.BuildWindow(MainWindow(), {}));
    window.ShowWindow();
  }
  QtWindow window;
};

TEST(QtWindowFromWorkers, ATextChangeReturnsOnlyOnceTheWindowThreadHasAppliedIt) {
  ShownWindow shown;
  std::atomic<bool> returned{false};
  std::thread worker([&] {
    shown.window.SetControlText(Control::编辑框1, Gbk("本地时间：2025年3月7日9时5分"));
    returned = true;
  });

  // The window thread handles no messages here, like during the sync command's query.
  std::this_thread::sleep_for(100ms);
  EXPECT_FALSE(returned);
  EXPECT_EQ(Edit(shown.window, Control::编辑框1)->text(), QString());

  EXPECT_TRUE(QTest::qWaitFor([&] { return returned.load(); }, 5000));
  worker.join();
  EXPECT_EQ(Edit(shown.window, Control::编辑框1)->text(), Utf8("本地时间：2025年3月7日9时5分"));
}

TEST(QtWindowFromWorkers, AColourChangeDoesNotWaitAndIsDrawnOnceMessagesAreHandled) {
  ShownWindow shown;
  std::thread worker([&] { shown.window.SetControlTextColour(Control::编辑框2, Green); });
  worker.join();  // returned while the window thread handled nothing
  EXPECT_EQ(TextColour(shown.window, Control::编辑框2), QColor(Qt::black));
  EXPECT_TRUE(QTest::qWaitFor(
      [&] { return TextColour(shown.window, Control::编辑框2) == QColor(0, 255, 0); }, 5000));
}

TEST(QtWindowFromWorkers, AWaitingTextChangeIsAppliedWhileTheMessageBoxIsOpen) {
  ShownWindow shown;
  std::atomic<bool> returned{false};
  std::thread worker([&] {
    shown.window.SetControlText(Control::编辑框2, Gbk("北京时间：2025年3月7日9时5分"));
    returned = true;
  });
  std::this_thread::sleep_for(100ms);
  EXPECT_FALSE(returned) << "waits while the window thread is busy";

  // Only the message box's own loop runs from here on; a timer of its loop watches for the
  // worker and then closes the box.
  bool boxWasOpen = false;
  QString textWhileOpen;
  QTimer watch;
  const auto deadline = std::chrono::steady_clock::now() + 5s;
  QObject::connect(&watch, &QTimer::timeout, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr) return;
    if (!returned && std::chrono::steady_clock::now() < deadline) return;
    boxWasOpen = box->isVisible();
    textWhileOpen = Edit(shown.window, Control::编辑框2)->text();
    box->accept();
  });
  watch.start(5);
  shown.window.ShowMessageBox(Gbk("时间同步失败！"));
  watch.stop();
  worker.join();

  EXPECT_TRUE(boxWasOpen);
  EXPECT_EQ(textWhileOpen, Utf8("北京时间：2025年3月7日9时5分"));
}

TEST(QtWindowFromWorkers, AWorkerWaitingWhenTheWindowIsDestroyedGoesFreeWithoutTouchingIt) {
  ShownWindow shown;
  int changes = 0;
  shown.window.SetChangeListener([&] { ++changes; });
  auto worker = std::async(std::launch::async, [&] {
    shown.window.SetControlText(Control::编辑框1, Gbk("本地时间：2025年3月7日9时5分"));
  });
  std::this_thread::sleep_for(100ms);
  ASSERT_EQ(worker.wait_for(0s), std::future_status::timeout) << "should wait for the window";

  shown.window.DestroyWindow();
  ASSERT_EQ(worker.wait_for(5s), std::future_status::ready) << "still waits for a closed window";
  QCoreApplication::processEvents();
  EXPECT_EQ(changes, 0);
  EXPECT_EQ(shown.window.Widget(), nullptr);
}

TEST(QtWindowFromWorkers, LateWritesAfterTheWindowIsDestroyedReturnAtOnceAndDoNothing) {
  ShownWindow shown;
  shown.window.DestroyWindow();
  int changes = 0;
  shown.window.SetChangeListener([&] { ++changes; });

  auto worker = std::async(std::launch::async, [&] {
    shown.window.SetControlText(Control::编辑框1, Gbk("本地时间：2025年3月7日9时5分"));
    shown.window.SetControlTextColour(Control::编辑框1, Red);
    shown.window.SetControlText(Control::编辑框_相差, Gbk("1秒"));
  });
  ASSERT_EQ(worker.wait_for(5s), std::future_status::ready);
  // And on the window thread itself.
  shown.window.SetControlText(Control::编辑框1, Gbk("x"));
  shown.window.SetControlTextColour(Control::编辑框2, Green);
  shown.window.SetControlEnabled(Control::按钮1, false);
  QCoreApplication::processEvents();
  EXPECT_EQ(changes, 0);
}

TEST(QtStartProgramThreads, OverlappingRefreshesBothCompleteAndLeaveTheirLastWrites) {
  QtWindow window(ProgramIcon());
  JoinedThreads threads;
  FixedClock clock(kLocalTime);
  GatedNetworkTime network(kNetworkTime);
  AppEnvironment environment{window, threads, clock, [&] { return network.Query(); }};

  // A second refresh joins the first; both are inside their first query together before the
  // gate opens, so their writes to the window interleave.
  bool bothWaited = false;
  QTimer watch;
  const auto deadline = std::chrono::steady_clock::now() + 10s;
  OnceTheLoopRuns([&] {
    threads.StartThread([&environment] { RefreshStatus(environment); });
    watch.start(5);
  });
  QObject::connect(&watch, &QTimer::timeout, [&] {
    if (!bothWaited && network.Waiting() == 2) {
      bothWaited = true;
      network.Open();
    }
    if (threads.Finished() == 2 || std::chrono::steady_clock::now() > deadline) {
      watch.stop();
      window.Widget()->close();
    }
  });
  // The last writes have been applied when the threads are finished; read them before the
  // window goes with the end of the loop.
  QString local, beijing, difference;
  QColor localColour, beijingColour, differenceColour;
  window.SetChangeListener([&] {
    if (window.Widget() == nullptr) return;
    local = Edit(window, Control::编辑框1)->text();
    beijing = Edit(window, Control::编辑框2)->text();
    difference = Edit(window, Control::编辑框_相差)->text();
    localColour = TextColour(window, Control::编辑框1);
    beijingColour = TextColour(window, Control::编辑框2);
    differenceColour = TextColour(window, Control::编辑框_相差);
  });

  EXPECT_EQ(StartProgram(window, environment), 0);
  threads.JoinAll();

  EXPECT_TRUE(bothWaited);
  EXPECT_EQ(threads.Started(), 2);
  EXPECT_EQ(threads.Finished(), 2);
  EXPECT_EQ(network.Answered(), 4);
  EXPECT_EQ(local, Utf8("本地时间：2025年3月7日9时5分"));
  EXPECT_EQ(beijing, Utf8("北京时间：2025年3月7日9时5分"));
  EXPECT_EQ(difference, Utf8("恭喜，时间正确！"));
  EXPECT_EQ(localColour, QColor(0, 255, 0));
  EXPECT_EQ(beijingColour, QColor(0, 255, 0));
  EXPECT_EQ(differenceColour, QColor(0, 255, 0));
}

TEST(QtStartProgramThreads, ClosingWhileARefreshWaitsOnTheNetworkEndsTheLoopAtOnce) {
  QtWindow window(ProgramIcon());
  JoinedThreads threads;
  FixedClock clock(kLocalTime);
  GatedNetworkTime network(kNetworkTime);
  AppEnvironment environment{window, threads, clock, [&] { return network.Query(); }};

  QTimer watch;
  const auto deadline = std::chrono::steady_clock::now() + 10s;
  QObject::connect(&watch, &QTimer::timeout, [&] {
    if (network.Waiting() == 1 || std::chrono::steady_clock::now() > deadline) {
      watch.stop();
      QTest::keyClick(window.Widget(), Qt::Key_Escape);
    }
  });
  OnceTheLoopRuns([&] { watch.start(5); });
  int changesAfterClose = 0;
  bool closed = false;
  window.SetChangeListener([&] { changesAfterClose += closed ? 1 : 0; });

  EXPECT_EQ(StartProgram(window, environment), 0);
  closed = true;
  EXPECT_EQ(threads.Finished(), 0) << "the loop ended while the refresh was still waiting";

  // The refresh goes on after the window is gone; its writes return at once.
  network.Open();
  auto joined = std::async(std::launch::async, [&] { threads.JoinAll(); });
  ASSERT_EQ(joined.wait_for(5s), std::future_status::ready);
  QCoreApplication::processEvents();
  EXPECT_EQ(threads.Finished(), 1);
  EXPECT_EQ(network.Answered(), 2);
  EXPECT_EQ(changesAfterClose, 0);
}

TEST(DetachedThreads, RunsTheRoutineOnANewThreadAndReturnsWithoutWaitingForIt) {
  DetachedThreads threads;
  std::promise<void> release;
  std::shared_future<void> released = release.get_future().share();
  // Shared with the thread, which may still be inside set_value when the test ends.
  auto ranOn = std::make_shared<std::promise<std::thread::id>>();
  auto ranOnFuture = ranOn->get_future();

  threads.StartThread([released, ranOn] {
    released.wait();
    ranOn->set_value(std::this_thread::get_id());
  });
  // Back here while the routine still waits for us.
  release.set_value();
  ASSERT_EQ(ranOnFuture.wait_for(5s), std::future_status::ready);
  EXPECT_NE(ranOnFuture.get(), std::this_thread::get_id());
}

}  // namespace
}  // namespace tolvaris::testing
