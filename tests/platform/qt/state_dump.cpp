#include "state_dump.h"

#include <QFile>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QSaveFile>
#include <QTextStream>
#include <QWidget>

#include "app/main_window.h"
#include "platform/qt/main_window_widget.h"
#include "platform/qt/painted_label.h"
#include "platform/qt/qt_window.h"

namespace tolvaris {
namespace {

QString ControlText(QWidget* widget) {
  if (auto* edit = dynamic_cast<QLineEdit*>(widget)) return edit->text();
  if (auto* button = dynamic_cast<QPushButton*>(widget)) return button->text();
  if (auto* label = dynamic_cast<PaintedLabel*>(widget)) return label->LabelText();
  return {};
}

QString ControlColour(QWidget* widget) {
  if (auto* edit = dynamic_cast<QLineEdit*>(widget)) {
    return edit->palette().color(QPalette::Text).name();
  }
  return QStringLiteral("-");
}

void Dump(const QtWindow& window, const QString& path) {
  QWidget* widget = window.Widget();
  if (widget == nullptr) return;
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return;
  QTextStream out(&file);
  const QRect outer = widget->frameGeometry();
  out << "window\t" << outer.x() << '\t' << outer.y() << '\t' << outer.width() << '\t'
      << outer.height() << '\t' << (widget->isVisible() ? "visible" : "hidden") << '\n';
  for (const ControlDescription& control : MainWindow().controls) {
    QWidget* controlWidget = window.ControlWidget(control.name);
    out << ControlObjectName(control.name) << '\t' << ControlText(controlWidget) << '\t'
        << ControlColour(controlWidget) << '\t'
        << (controlWidget->isEnabled() ? "enabled" : "disabled") << '\n';
  }
  out << "messagebox\t" << window.OpenMessageBoxText() << '\n';
  out.flush();
  file.commit();
}

}  // namespace

void InstallStateDump(QtWindow& window, const QString& path) {
  window.SetChangeListener([&window, path] { Dump(window, path); });
}

}  // namespace tolvaris
