#include "platform/qt/qt_window.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <QApplication>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>
#include <QSocketNotifier>
#include <cstdint>

#include "core/gbk_literals.h"
#include "platform/qt/main_window_widget.h"
#include "platform/qt/qt_text.h"

namespace tolvaris {
namespace {

size_t IndexOf(Control control) { return static_cast<size_t>(control); }

// The wake-up of the window thread is a counter on an eventfd that the event loop watches:
// nothing but the descriptor crosses threads, and an idle loop costs nothing.
int MakeWakeFd() { return eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK); }

void Wake(int fd) {
  const uint64_t one = 1;
  [[maybe_unused]] ssize_t written = write(fd, &one, sizeof one);
}

void Drain(int fd) {
  uint64_t count = 0;
  [[maybe_unused]] ssize_t read_ = read(fd, &count, sizeof count);
}

}  // namespace

QtWindow::QtWindow(QIcon icon)
    : icon_(std::move(icon)), wakeFd_(MakeWakeFd()), calls_([fd = wakeFd_] { Wake(fd); }) {
  colours_.fill(Black);
  wakeNotifier_ = std::make_unique<QSocketNotifier>(wakeFd_, QSocketNotifier::Read);
  QObject::connect(wakeNotifier_.get(), &QSocketNotifier::activated, wakeNotifier_.get(), [this] {
    Drain(wakeFd_);
    calls_.RunPending();
  });
}

QtWindow::~QtWindow() {
  DestroyWindow();
  wakeNotifier_.reset();
  if (wakeFd_ >= 0) close(wakeFd_);
}

bool QtWindow::BuildWindow(const MainWindowDescription& description,
                           std::function<void()> syncNowClicked) {
  if (wakeFd_ < 0 || QGuiApplication::primaryScreen() == nullptr) return false;
  widget_ = std::make_unique<MainWindowWidget>(description, icon_, std::move(syncNowClicked));
  for (const ControlDescription& control : description.controls) {
    colours_[IndexOf(control.name)] = control.textColour;
  }
  return true;
}

void QtWindow::ShowWindow() {
  if (!widget_) return;
  if (const QScreen* screen = QGuiApplication::primaryScreen()) widget_->PlaceCentred(*screen);
  widget_->show();
  Changed();
}

void QtWindow::RunMessageLoop() {
  if (widget_ && widget_->isVisible()) QApplication::exec();
  DestroyWindow();
}

void QtWindow::DestroyWindow() {
  calls_.Close();
  widget_.reset();
}

QWidget* QtWindow::Widget() const { return widget_.get(); }

QWidget* QtWindow::ControlWidget(Control control) const {
  return widget_ ? widget_->ControlWidget(control) : nullptr;
}

void QtWindow::SetControlText(Control control, const Text& text) {
  calls_.RunAndWait([this, control, text = ToQString(text)] {
    if (!widget_) return;
    widget_->SetControlText(control, text);
    Changed();
  });
}

void QtWindow::SetControlTextColour(Control control, Colour colour) {
  {
    std::lock_guard lock(coloursMutex_);
    colours_[IndexOf(control)] = colour;
  }
  calls_.Post([this, control] { ApplyStoredColour(control); });
}

void QtWindow::ApplyStoredColour(Control control) {
  if (!widget_) return;
  Colour colour;
  {
    std::lock_guard lock(coloursMutex_);
    colour = colours_[IndexOf(control)];
  }
  widget_->SetControlTextColour(control, colour);
  Changed();
}

void QtWindow::SetControlEnabled(Control control, bool enabled) {
  calls_.RunAndWait([this, control, enabled] {
    if (!widget_) return;
    widget_->SetControlEnabled(control, enabled);
    Changed();
  });
}

void QtWindow::ShowMessageBox(const Text& message) {
  calls_.RunAndWait([this, text = ToQString(message)] {
    // No owner window; application-modal, so the main window takes no input while it is open.
    QMessageBox box(QMessageBox::NoIcon, ToQString(gbk::kMessageBoxTitle), text, QMessageBox::Ok);
    box.setWindowModality(Qt::ApplicationModal);
    box.setWindowIcon(icon_);
    openMessageBoxText_ = text;
    QObject::connect(&box, &QMessageBox::finished, &box, [this] {
      openMessageBoxText_.clear();
      Changed();
    });
    // Reported once the box is on screen, from inside its own loop.
    QMetaObject::invokeMethod(
        &box, [this] { Changed(); }, Qt::QueuedConnection);
    box.exec();
    openMessageBoxText_.clear();
  });
}

void QtWindow::Changed() {
  if (changeListener_) changeListener_();
}

}  // namespace tolvaris
