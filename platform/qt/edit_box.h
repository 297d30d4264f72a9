#pragma once

#include <QColor>
#include <QLineEdit>

namespace tolvaris {

// A single-line edit box as the window wants it: its whole text in one colour, the button-face
// background, and a selection that shows only while the box has the focus.
class EditBox : public QLineEdit {
 public:
  explicit EditBox(QWidget* parent);

  // Draws the text in textColour on background from now on; asks for a repaint.
  void SetColours(const QColor& textColour, const QColor& background);

 protected:
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  void ApplyPalette();

  QColor textColour_ = Qt::black;
  QColor background_;
};

}  // namespace tolvaris
