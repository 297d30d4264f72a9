#pragma once

#include <QIcon>
#include <QString>
#include <array>
#include <functional>
#include <memory>
#include <mutex>

#include "app/main_window.h"
#include "app/window_operations.h"
#include "platform/qt/window_thread_calls.h"

class QSocketNotifier;
class QWidget;

namespace tolvaris {

class MainWindowWidget;

// The window layer of the Linux program: builds MainWindow on Qt Widgets, runs the message loop
// and carries out the window operations, handing those made on other threads to the window
// thread. Made and destroyed on the window thread, after the QApplication; it must outlive every
// thread that may still call it (the program ends the process without destroying it).
class QtWindow final : public WindowToolkit, public WindowOperations {
 public:
  explicit QtWindow(QIcon icon);
  ~QtWindow() override;

  // WindowToolkit. BuildWindow fails without a screen to put the window on.
  bool BuildWindow(const MainWindowDescription& description,
                   std::function<void()> syncNowClicked) override;
  void ShowWindow() override;
  // Until the window has been closed; then the window is destroyed (see DestroyWindow).
  void RunMessageLoop() override;

  // WindowOperations.
  void SetControlText(Control control, const Text& text) override;
  void SetControlTextColour(Control control, Colour colour) override;
  void SetControlEnabled(Control control, bool enabled) override;
  void ShowMessageBox(const Text& message) override;

  // Window thread: from here on every window operation returns at once and does nothing.
  void DestroyWindow();

  // For the window thread's own readers (tests, the test build's state dump).
  QWidget* Widget() const;
  QWidget* ControlWidget(Control control) const;
  // The text of the message box while one is open, else empty.
  const QString& OpenMessageBoxText() const { return openMessageBoxText_; }
  // Called on the window thread after every change the window operations make.
  void SetChangeListener(std::function<void()> listener) { changeListener_ = std::move(listener); }

 private:
  void ApplyStoredColour(Control control);
  void Changed();

  const QIcon icon_;
  int wakeFd_ = -1;
  std::unique_ptr<QSocketNotifier> wakeNotifier_;
  WindowThreadCalls calls_;
  std::unique_ptr<MainWindowWidget> widget_;
  QString openMessageBoxText_;
  std::function<void()> changeListener_;

  // A colour is stored at once by whichever thread sets it and drawn by the window thread.
  std::mutex coloursMutex_;
  std::array<Colour, kMainWindowControlCount> colours_{};
};

}  // namespace tolvaris
