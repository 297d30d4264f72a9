#pragma once

#include "app/app_environment.h"

namespace tolvaris {

// The click handler of "立即同步", on the window thread: sets the local clock to the network
// time, reports the outcome in a message box and starts a status refresh. The window handles no
// messages while the query runs.
void OnSyncNowClicked(AppEnvironment& environment);

}  // namespace tolvaris
