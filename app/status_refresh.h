#pragma once

#include "app/app_environment.h"

namespace tolvaris {

// The handler of the main window's created event, on the window thread while the window is still
// hidden: writes the two waiting texts and starts the first status refresh, without waiting.
void OnMainWindowCreated(AppEnvironment& environment);

// The status refresh task, on a thread of its own: local time, network time and their
// difference, the difference worked out from a second clock reading and a second query.
void RefreshStatus(AppEnvironment& environment);

}  // namespace tolvaris
