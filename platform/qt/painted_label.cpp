#include "platform/qt/painted_label.h"

#include <QPainter>

namespace tolvaris {

PaintedLabel::PaintedLabel(QWidget* parent) : QWidget(parent) {
  setFocusPolicy(Qt::NoFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void PaintedLabel::SetLabelText(const QString& text) {
  text_ = text;
  update();
}

void PaintedLabel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().color(QPalette::Button));
  painter.setPen(Qt::black);
  painter.drawText(rect(), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine | Qt::TextDontClip,
                   text_);
}

}  // namespace tolvaris
