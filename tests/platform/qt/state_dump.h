#pragma once

#include <QString>

namespace tolvaris {

class QtWindow;

// The test build's window state dump: every time the window changes, the window's outer
// rectangle, each control's text, text colour and enabled state and the open message box's text
// are written, in UTF-8, to path (replaced as a whole, so a reader never sees half a file).
void InstallStateDump(QtWindow& window, const QString& path);

}  // namespace tolvaris
