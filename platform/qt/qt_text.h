#pragma once

#include <QColor>
#include <QString>

#include "app/window_operations.h"
#include "core/text.h"

namespace tolvaris {

// Texts cross into Qt here and nowhere else: GBK in the program, UTF-16 in the toolkit.
QString ToQString(const Text& text);
Text FromQString(const QString& text);

// A COLORREF (0x00BBGGRR) as a Qt colour; DefaultColour resolves to buttonFace.
QColor ToQColor(Colour colour, const QColor& buttonFace);

}  // namespace tolvaris
