#pragma once

// Shared by the resource script and the code that loads the resources.
#define TOLVARIS_PROGRAM_ICON 1
