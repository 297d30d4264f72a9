// The window and its controls on Qt: geometry, flags, colours and keys.
#include "platform/qt/main_window_widget.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <map>
#include <memory>

#include "app/main_window.h"
#include "platform/qt/painted_label.h"
#include "platform/qt/program_icon.h"
#include "platform/qt/qt_window.h"
#include "qt_doubles.h"
#include "support/gbk.h"

namespace tolvaris::testing {
namespace {

// A window built and shown, without a message loop.
struct ShownWindow {
  explicit ShownWindow(std::function<void()> syncNowClicked = {}) : window(ProgramIcon()) {
    EXPECT_TRUE(window.BuildWindow(MainWindow(), std::move(syncNowClicked)));
    window.ShowWindow();
  }
  QWidget* Widget() const { return window.Widget(); }
  QWidget* Control(Control control) const { return window.ControlWidget(control); }

  QtWindow window;
};

TEST(QtMainWindow, IsAFixed380By146WindowCentredOnThePrimaryScreen) {
  const QScreen* screen = QGuiApplication::primaryScreen();
  ASSERT_NE(screen, nullptr);
  const QRect screenRect = screen->geometry();
  ShownWindow shown;
  QWidget* widget = shown.Widget();

  EXPECT_EQ(widget->frameGeometry(),
            QRect((screenRect.width() - 380) / 2, (screenRect.height() - 146) / 2, 380, 146));
  EXPECT_EQ(widget->minimumSize(), widget->maximumSize()) << "not resizable";
  EXPECT_EQ(widget->windowTitle(), Utf8("Tolvaris时间同步器"));
  EXPECT_TRUE(widget->isWindow());
  EXPECT_EQ(widget->parentWidget(), nullptr) << "no owner window";

  const Qt::WindowFlags flags = widget->windowFlags();
  EXPECT_TRUE(flags.testFlag(Qt::WindowTitleHint));
  EXPECT_TRUE(flags.testFlag(Qt::WindowSystemMenuHint));
  EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
  EXPECT_TRUE(flags.testFlag(Qt::WindowMinimizeButtonHint));
  EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
  EXPECT_FALSE(flags.testFlag(Qt::WindowStaysOnTopHint));

  const QList<QSize> iconSizes = widget->windowIcon().availableSizes();
  for (int size : {16, 24, 32, 48, 256}) {
    EXPECT_TRUE(iconSizes.contains(QSize(size, size))) << "icon size " << size;
  }
  EXPECT_FALSE(widget->windowIcon().pixmap(16, 16).toImage().isNull());
}

TEST(QtMainWindow, PaintsItsBackgroundAndTheLabelInTheButtonFaceColour) {
  ShownWindow shown;
  const QImage window = shown.Widget()->grab().toImage();
  // Right of the edit boxes and above the button: nothing but background.
  EXPECT_EQ(window.pixelColor(270, 20).rgb(), ButtonFace().rgb());

  const QImage label = shown.Control(Control::标签1)->grab().toImage();
  EXPECT_EQ(label.pixelColor(0, 0).rgb(), ButtonFace().rgb());
  int darkPixels = 0;
  for (int y = 0; y < label.height(); ++y) {
    for (int x = 0; x < label.width(); ++x) {
      if (qGray(label.pixel(x, y)) < 80) ++darkPixels;
    }
  }
  EXPECT_GT(darkPixels, 0) << "the label's text is drawn in black";
}

struct ControlRow {
  Control name;
  const char* objectName;
  const char* className;
  QRect geometry;
  const char* text;
  Qt::FocusPolicy focus;
};

const ControlRow kControls[] = {
    {Control::标签1, "标签1", "tolvaris::PaintedLabel", {13, 8, 56, 25}, "时间相差：", Qt::NoFocus},
    {Control::编辑框_相差, "编辑框_相差", "QLineEdit", {69, 8, 192, 25}, "", Qt::StrongFocus},
    {Control::编辑框2, "编辑框2", "QLineEdit", {0, 80, 260, 25}, "", Qt::StrongFocus},
    {Control::编辑框1, "编辑框1", "QLineEdit", {0, 43, 260, 25}, "", Qt::StrongFocus},
    {Control::按钮1, "按钮1", "QPushButton", {280, 48, 88, 48}, "立即同步", Qt::StrongFocus},
};

QString ShownText(QWidget* widget) {
  if (auto* edit = dynamic_cast<QLineEdit*>(widget)) return edit->text();
  if (auto* button = dynamic_cast<QPushButton*>(widget)) return button->text();
  if (auto* label = dynamic_cast<PaintedLabel*>(widget)) return label->LabelText();
  return QStringLiteral("<unknown control>");
}

const char* ClassOf(QWidget* widget) {
  if (dynamic_cast<QLineEdit*>(widget)) return "QLineEdit";
  if (dynamic_cast<QPushButton*>(widget)) return "QPushButton";
  if (dynamic_cast<PaintedLabel*>(widget)) return "tolvaris::PaintedLabel";
  return "?";
}

TEST(QtMainWindow, HasTheFiveControlsInCreationOrderWithTheirSettings) {
  ShownWindow shown;
  QList<QWidget*> stacking;
  for (QObject* child : shown.Widget()->children()) {
    if (auto* widget = qobject_cast<QWidget*>(child)) stacking.push_back(widget);
  }
  ASSERT_EQ(stacking.size(), static_cast<qsizetype>(std::size(kControls)));

  for (size_t i = 0; i < std::size(kControls); ++i) {
    const ControlRow& row = kControls[i];
    SCOPED_TRACE(row.objectName);
    QWidget* widget = shown.Control(row.name);
    ASSERT_NE(widget, nullptr);
    EXPECT_EQ(stacking[static_cast<qsizetype>(i)], widget) << "creation and stacking order";
    EXPECT_EQ(widget->objectName(), Utf8(row.objectName));
    EXPECT_STREQ(ClassOf(widget), row.className);
    EXPECT_EQ(widget->geometry(), row.geometry);
    EXPECT_EQ(ShownText(widget), Utf8(row.text));
    EXPECT_EQ(widget->focusPolicy(), row.focus);
    EXPECT_TRUE(widget->isVisible());
    EXPECT_TRUE(widget->isEnabled());
    EXPECT_EQ(widget->font(), QApplication::font()) << "the default GUI font";
  }

  for (Control control : {Control::编辑框_相差, Control::编辑框2, Control::编辑框1}) {
    QLineEdit* edit = Edit(shown.window, control);
    SCOPED_TRACE(edit->objectName().toStdString());
    EXPECT_TRUE(edit->hasFrame()) << "sunken edge";
    EXPECT_EQ(edit->isReadOnly(), control != Control::编辑框_相差);
    EXPECT_EQ(edit->palette().color(QPalette::Text), QColor(Qt::black));
    EXPECT_EQ(edit->palette().color(QPalette::Base), ButtonFace()) << "button-face background";
  }

  auto* button = dynamic_cast<QPushButton*>(shown.Control(Control::按钮1));
  EXPECT_FALSE(button->isDefault());
  EXPECT_FALSE(button->autoDefault());

  // Tab goes through the tab stops in creation order.
  QWidget* focus = shown.Control(Control::编辑框_相差);
  for (Control next : {Control::编辑框2, Control::编辑框1, Control::按钮1}) {
    focus = focus->nextInFocusChain();
    EXPECT_EQ(focus, shown.Control(next));
  }
}

TEST(QtMainWindow, OnlyTheDifferenceBoxTakesTyping) {
  ShownWindow shown;
  for (Control control : {Control::编辑框_相差, Control::编辑框2, Control::编辑框1}) {
    QLineEdit* edit = Edit(shown.window, control);
    edit->setFocus();
    QTest::keyClicks(edit, "abc");
    EXPECT_EQ(edit->text(), control == Control::编辑框_相差 ? QString("abc") : QString())
        << edit->objectName().toStdString();
  }
}

TEST(QtMainWindow, AnEditBoxShowsItsSelectionOnlyWhileItHasTheFocus) {
  ShownWindow shown;
  QApplication::setActiveWindow(shown.Widget());
  QLineEdit* edit = Edit(shown.window, Control::编辑框_相差);
  edit->setText("selected");
  edit->setFocus();
  edit->selectAll();
  ASSERT_TRUE(edit->hasFocus());
  const QColor standardHighlight = QApplication::palette(edit).color(QPalette::Highlight);
  EXPECT_EQ(edit->palette().color(QPalette::Highlight), standardHighlight);

  // Another window takes the focus, as the message box does: the selection stays, undrawn.
  QWidget other;
  other.show();
  QApplication::setActiveWindow(&other);
  ASSERT_FALSE(edit->hasFocus());
  EXPECT_TRUE(edit->hasSelectedText());
  EXPECT_EQ(edit->palette().color(QPalette::Highlight), ButtonFace());
  EXPECT_EQ(edit->palette().color(QPalette::HighlightedText), QColor(Qt::black));

  QApplication::setActiveWindow(shown.Widget());
  ASSERT_TRUE(edit->hasFocus());
  EXPECT_EQ(edit->palette().color(QPalette::Highlight), standardHighlight);
}

struct ColourRow {
  Control control;
  Colour colour;
  QColor expected;
};

TEST(QtMainWindow, ATextColourGoesToItsOwnBoxOnly) {
  const ColourRow rows[] = {
      {Control::编辑框2, Green, QColor(0, 255, 0)},
      {Control::编辑框_相差, Red, QColor(255, 0, 0)},
      // 0x00BBGGRR: the high byte of the three is blue.
      {Control::编辑框1, 0x00FF0000, QColor(0, 0, 255)},
      {Control::编辑框2, 0x00123456, QColor(0x56, 0x34, 0x12)},
      {Control::编辑框_相差, DefaultColour, ButtonFace()},
  };
  ShownWindow shown;
  std::map<Control, QColor> expected = {{Control::编辑框_相差, QColor(Qt::black)},
                                        {Control::编辑框2, QColor(Qt::black)},
                                        {Control::编辑框1, QColor(Qt::black)}};
  for (const ColourRow& row : rows) {
    shown.window.SetControlTextColour(row.control, row.colour);
    expected[row.control] = row.expected;
    for (const auto& [control, colour] : expected) {
      EXPECT_EQ(TextColour(shown.window, control), colour)
          << "after colour " << row.colour << ", box " << static_cast<int>(control);
    }
  }
}

// Counts the pixels of an image whose hue is clearly the given primary channel.
int PixelsDominatedBy(const QImage& image, int channel) {
  int count = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const QColor c = image.pixelColor(x, y);
      const int values[] = {c.red(), c.green(), c.blue()};
      const int other1 = values[(channel + 1) % 3], other2 = values[(channel + 2) % 3];
      if (values[channel] > 150 && other1 < 100 && other2 < 100) ++count;
    }
  }
  return count;
}

TEST(QtMainWindow, TheWholeTextIsDrawnInTheBoxColour) {
  ShownWindow shown;
  shown.window.SetControlText(Control::编辑框2, Gbk("北京时间：2025年3月7日9时5分"));
  shown.window.SetControlText(Control::编辑框_相差, Gbk("1时1秒"));
  shown.window.SetControlTextColour(Control::编辑框2, Green);
  shown.window.SetControlTextColour(Control::编辑框_相差, Red);

  const QImage green = shown.Control(Control::编辑框2)->grab().toImage();
  const QImage red = shown.Control(Control::编辑框_相差)->grab().toImage();
  EXPECT_GT(PixelsDominatedBy(green, 1), 0);
  EXPECT_EQ(PixelsDominatedBy(green, 0), 0);
  EXPECT_GT(PixelsDominatedBy(red, 0), 0);
  EXPECT_EQ(PixelsDominatedBy(red, 1), 0);
}

struct KeyRow {
  const char* name;
  Qt::KeyboardModifiers modifiers;
  bool closes;
};

const KeyRow kEscapeRows[] = {
    {"Esc", Qt::NoModifier, true},
    {"Shift+Esc", Qt::ShiftModifier, false},
    {"Ctrl+Esc", Qt::ControlModifier, false},
    {"Alt+Esc", Qt::AltModifier, false},
};

TEST(QtMainWindow, EscWithoutModifiersClosesFromAnyControl) {
  for (Control target :
       {Control::编辑框_相差, Control::编辑框2, Control::编辑框1, Control::按钮1}) {
    for (const KeyRow& row : kEscapeRows) {
      ShownWindow shown;
      QWidget* widget = shown.Control(target);
      widget->setFocus();
      QTest::keyClick(widget, Qt::Key_Escape, row.modifiers);
      EXPECT_EQ(!shown.Widget()->isVisible(), row.closes)
          << row.name << " in " << widget->objectName().toStdString();
    }
  }
  ShownWindow shown;
  QTest::keyClick(shown.Widget(), Qt::Key_Escape);
  EXPECT_FALSE(shown.Widget()->isVisible()) << "Esc on the window itself";
}

TEST(QtMainWindow, EnterClicksNothingWhileSpaceStillClicksTheFocusedButton) {
  int clicks = 0;
  ShownWindow shown([&clicks] { ++clicks; });
  for (Control target :
       {Control::按钮1, Control::编辑框_相差, Control::编辑框2, Control::编辑框1}) {
    QWidget* widget = shown.Control(target);
    widget->setFocus();
    QTest::keyClick(widget, Qt::Key_Return);
    QTest::keyClick(widget, Qt::Key_Enter, Qt::KeypadModifier);
  }
  EXPECT_EQ(clicks, 0);
  EXPECT_TRUE(shown.Widget()->isVisible());

  QWidget* button = shown.Control(Control::按钮1);
  button->setFocus();
  QTest::keyClick(button, Qt::Key_Space);
  EXPECT_EQ(clicks, 1) << "the button is wired to its handler";
}

}  // namespace
}  // namespace tolvaris::testing
