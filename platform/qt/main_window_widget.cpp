#include "platform/qt/main_window_widget.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScreen>

#include "platform/qt/edit_box.h"
#include "platform/qt/painted_label.h"
#include "platform/qt/qt_text.h"

namespace tolvaris {
namespace {

size_t IndexOf(Control control) { return static_cast<size_t>(control); }

QColor ButtonFace() { return QApplication::palette().color(QPalette::Active, QPalette::Button); }

Qt::WindowFlags FlagsFor(const MainWindowDescription& description) {
  Qt::WindowFlags flags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
  if (description.minimiseButton) flags |= Qt::WindowMinimizeButtonHint;
  if (description.maximiseButton) flags |= Qt::WindowMaximizeButtonHint;
  return flags;
}

}  // namespace

QString ControlObjectName(Control control) {
  switch (control) {
    case Control::标签1:
      return QStringLiteral(u"标签1");
    case Control::编辑框_相差:
      return QStringLiteral(u"编辑框_相差");
    case Control::编辑框2:
      return QStringLiteral(u"编辑框2");
    case Control::编辑框1:
      return QStringLiteral(u"编辑框1");
    case Control::按钮1:
      return QStringLiteral(u"按钮1");
  }
  return {};
}

MainWindowWidget::MainWindowWidget(const MainWindowDescription& description, const QIcon& icon,
                                   std::function<void()> syncNowClicked)
    : QWidget(nullptr, FlagsFor(description)), description_(description) {
  setObjectName(QStringLiteral("MainWindow"));
  setWindowTitle(ToQString(description.title));
  setWindowIcon(icon);
  setAttribute(Qt::WA_OpaquePaintEvent);
  installEventFilter(this);
  resize(description.outerWidth, description.outerHeight);
  if (!description.resizable) FitOuterSize();
  for (const ControlDescription& control : description.controls) {
    BuildControl(control, syncNowClicked);
  }
}

void MainWindowWidget::BuildControl(const ControlDescription& control,
                                    std::function<void()>& syncNowClicked) {
  QWidget* widget = nullptr;
  const QString text = ToQString(control.startText);
  switch (control.kind) {
    case ControlKind::Label: {
      auto* label = new PaintedLabel(this);
      label->SetLabelText(text);
      widget = label;
      break;
    }
    case ControlKind::EditBox: {
      auto* edit = new EditBox(this);
      edit->setText(text);
      edit->setReadOnly(control.readOnly);
      edit->setFrame(control.sunkenEdge);
      edit->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
      edit->setCursorPosition(0);
      widget = edit;
      break;
    }
    case ControlKind::PushButton: {
      auto* button = new QPushButton(text, this);
      // Not a default button, and never one by focus either: Enter clicks nothing.
      button->setAutoDefault(false);
      button->setDefault(control.defaultButton);
      QObject::connect(button, &QPushButton::clicked, button, syncNowClicked);
      widget = button;
      break;
    }
  }
  widget->setObjectName(ControlObjectName(control.name));
  widget->setGeometry(control.x, control.y, control.width, control.height);
  widget->setFocusPolicy(control.tabStop ? Qt::StrongFocus : Qt::NoFocus);
  widget->installEventFilter(this);
  controls_[IndexOf(control.name)] = widget;
  textColours_[IndexOf(control.name)] = control.textColour;
  backgrounds_[IndexOf(control.name)] = control.background;
  ApplyEditColours(control.name);
}

QWidget* MainWindowWidget::ControlWidget(Control control) const {
  return controls_[IndexOf(control)];
}

void MainWindowWidget::PlaceCentred(const QScreen& screen) {
  const QSize size = screen.geometry().size();
  const ScreenPosition position = CentredWindowPosition(description_, size.width(), size.height());
  const QPoint origin = screen.geometry().topLeft();
  // move() places the frame's corner, which is what the description centres.
  move(origin.x() + position.x, origin.y() + position.y);
}

void MainWindowWidget::SetControlText(Control control, const QString& text) {
  QWidget* widget = ControlWidget(control);
  if (auto* edit = dynamic_cast<QLineEdit*>(widget)) {
    edit->setText(text);
    // Like an edit box given a new text: the start of it in view.
    edit->setCursorPosition(0);
  } else if (auto* button = dynamic_cast<QPushButton*>(widget)) {
    button->setText(text);
  } else if (auto* label = dynamic_cast<PaintedLabel*>(widget)) {
    label->SetLabelText(text);
  }
}

void MainWindowWidget::SetControlTextColour(Control control, Colour colour) {
  textColours_[IndexOf(control)] = colour;
  ApplyEditColours(control);
}

void MainWindowWidget::SetControlEnabled(Control control, bool enabled) {
  ControlWidget(control)->setEnabled(enabled);
}

void MainWindowWidget::ApplyEditColours(Control control) {
  auto* edit = dynamic_cast<EditBox*>(ControlWidget(control));
  if (edit == nullptr) return;
  const QColor face = ButtonFace();
  edit->SetColours(ToQColor(textColours_[IndexOf(control)], face),
                   ToQColor(backgrounds_[IndexOf(control)], face));
}

void MainWindowWidget::FitOuterSize() {
  const QRect outer = frameGeometry();
  const QRect inner = geometry();
  const int frameWidth = outer.width() - inner.width();
  const int frameHeight = outer.height() - inner.height();
  const QSize client(description_.outerWidth - frameWidth, description_.outerHeight - frameHeight);
  if (minimumSize() != client || maximumSize() != client) setFixedSize(client);
}

bool MainWindowWidget::event(QEvent* event) {
  switch (event->type()) {
    case QEvent::Show:
    case QEvent::Move:
    case QEvent::Resize:
      if (!description_.resizable) FitOuterSize();
      break;
    case QEvent::ApplicationPaletteChange:
      // The button face is looked up when drawing; the edit boxes hold it in their palettes.
      for (const ControlDescription& control : description_.controls) {
        ApplyEditColours(control.name);
      }
      update();
      break;
    default:
      break;
  }
  return QWidget::event(event);
}

bool MainWindowWidget::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    const Qt::KeyboardModifiers blocking =
        Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier;
    if (key->key() == Qt::Key_Escape && (key->modifiers() & blocking) == 0) {
      close();
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

void MainWindowWidget::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), ToQColor(description_.background, ButtonFace()));
}

}  // namespace tolvaris
