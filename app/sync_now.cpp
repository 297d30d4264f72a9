#include "app/sync_now.h"

#include "app/status_refresh.h"
#include "core/datetime.h"
#include "core/gbk_literals.h"

namespace tolvaris {

void OnSyncNowClicked(AppEnvironment& environment) {
  environment.window.SetControlEnabled(Control::按钮1, false);

  // The value goes to the clock unchecked: a failed query's fallback date is refused there.
  const DateTime networkTime = environment.queryNetworkTime();
  const bool clockSet = SetLocalClock(environment.clock, networkTime);

  environment.window.ShowMessageBox(clockSet ? gbk::kSyncSucceeded : gbk::kSyncFailed);
  environment.threads.StartThread([&environment] { RefreshStatus(environment); });
  environment.window.SetControlEnabled(Control::按钮1, true);
}

}  // namespace tolvaris
