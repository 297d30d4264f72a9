#pragma once

#include <QString>
#include <QWidget>

namespace tolvaris {

// The window's label, drawn by us rather than by the style: the button-face background, then
// black text on one line, left-aligned, centred vertically and not clipped.
class PaintedLabel : public QWidget {
 public:
  explicit PaintedLabel(QWidget* parent);

  const QString& LabelText() const { return text_; }
  void SetLabelText(const QString& text);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString text_;
};

}  // namespace tolvaris
