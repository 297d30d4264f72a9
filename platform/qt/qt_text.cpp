#include "platform/qt/qt_text.h"

#include <QByteArray>
#include <string>

#include "core/encoding.h"

namespace tolvaris {

QString ToQString(const Text& text) {
  const std::string utf8 = GbkToUtf8(text.View());
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

Text FromQString(const QString& text) {
  const QByteArray utf8 = text.toUtf8();
  return Text(Utf8ToGbk(std::string_view(utf8.constData(), static_cast<size_t>(utf8.size()))));
}

QColor ToQColor(Colour colour, const QColor& buttonFace) {
  if (colour == DefaultColour) return buttonFace;
  return QColor(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                static_cast<int>((colour >> 16) & 0xFF));
}

}  // namespace tolvaris
