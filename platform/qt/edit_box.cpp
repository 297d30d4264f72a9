#include "platform/qt/edit_box.h"

#include <QApplication>
#include <QPalette>

namespace tolvaris {

EditBox::EditBox(QWidget* parent)
    : QLineEdit(parent),
      background_(QApplication::palette().color(QPalette::Active, QPalette::Button)) {
  ApplyPalette();
}

void EditBox::SetColours(const QColor& textColour, const QColor& background) {
  textColour_ = textColour;
  background_ = background;
  ApplyPalette();
  update();
}

void EditBox::focusInEvent(QFocusEvent* event) {
  QLineEdit::focusInEvent(event);
  ApplyPalette();
}

void EditBox::focusOutEvent(QFocusEvent* event) {
  QLineEdit::focusOutEvent(event);
  ApplyPalette();
}

void EditBox::ApplyPalette() {
  QPalette palette = this->palette();
  palette.setColor(QPalette::Base, background_);
  palette.setColor(QPalette::Text, textColour_);
  const QPalette standard = QApplication::palette(this);
  if (hasFocus()) {
    palette.setColor(QPalette::Highlight, standard.color(QPalette::Highlight));
    palette.setColor(QPalette::HighlightedText, standard.color(QPalette::HighlightedText));
  } else {
    // The selection stays; it is only not drawn.
    palette.setColor(QPalette::Highlight, background_);
    palette.setColor(QPalette::HighlightedText, textColour_);
  }
  setPalette(palette);
}

}  // namespace tolvaris
