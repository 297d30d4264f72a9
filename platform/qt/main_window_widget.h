#pragma once

#include <QIcon>
#include <QString>
#include <QWidget>
#include <array>
#include <functional>

#include "app/main_window.h"
#include "app/window_operations.h"

class QScreen;

namespace tolvaris {

// The control's name from the window description, used as the Qt object name.
QString ControlObjectName(Control control);

// MainWindow on Qt Widgets, built from its description. It knows nothing of threads: every call
// is made on the window thread.
class MainWindowWidget : public QWidget {
 public:
  MainWindowWidget(const MainWindowDescription& description, const QIcon& icon,
                   std::function<void()> syncNowClicked);

  QWidget* ControlWidget(Control control) const;

  // Centres the outer rectangle on the screen, the way the window description computes it.
  void PlaceCentred(const QScreen& screen);

  void SetControlText(Control control, const QString& text);
  // Draws the whole text of an edit box in colour from now on and asks for a repaint.
  void SetControlTextColour(Control control, Colour colour);
  void SetControlEnabled(Control control, bool enabled);

 protected:
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  void BuildControl(const ControlDescription& control, std::function<void()>& syncNowClicked);
  void ApplyEditColours(Control control);
  // Keeps a fixed window at the outer size of the description, frame included; the frame's size is
  // only known once the window manager has framed the window, so this runs again when it has.
  void FitOuterSize();

  const MainWindowDescription& description_;
  std::array<QWidget*, kMainWindowControlCount> controls_{};
  std::array<Colour, kMainWindowControlCount> textColours_{};
  std::array<Colour, kMainWindowControlCount> backgrounds_{};
};

}  // namespace tolvaris
