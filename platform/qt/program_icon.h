#pragma once

#include <QIcon>

namespace tolvaris {

// The program icon at every size drawn for it, from the resources built into the program.
QIcon ProgramIcon();

}  // namespace tolvaris
