#include "app/status_refresh.h"

#include "core/datetime.h"
#include "core/gbk_literals.h"
#include "core/text.h"
#include "nettime/time_difference.h"

namespace tolvaris {

void OnMainWindowCreated(AppEnvironment& environment) {
  environment.window.SetControlText(Control::编辑框1, gbk::kLocalTimeWaiting);
  environment.window.SetControlText(Control::编辑框2, gbk::kBeijingTimeWaiting);
  environment.threads.StartThread([&environment] { RefreshStatus(environment); });
}

void RefreshStatus(AppEnvironment& environment) {
  WindowOperations& window = environment.window;

  const DateTime firstLocalTime = CurrentDateTime(environment.clock);
  window.SetControlText(Control::编辑框1,
                        ConcatText(gbk::kLocalTimePrefix, DateTimeToText(firstLocalTime)));

  const DateTime firstNetworkTime = environment.queryNetworkTime();
  window.SetControlText(Control::编辑框2,
                        ConcatText(gbk::kBeijingTimePrefix, DateTimeToText(firstNetworkTime)));
  window.SetControlTextColour(Control::编辑框2, Green);

  // The comparison uses a fresh pair of readings, not the values on the screen: the clock is
  // read after the first query has returned and before the second request goes out.
  const DateTime secondLocalTime = CurrentDateTime(environment.clock);
  const DateTime secondNetworkTime = environment.queryNetworkTime();
  const Text difference = FormatTimeDifference(secondLocalTime, secondNetworkTime);

  if (CompareText(difference, Text()) == 0) {
    window.SetControlText(Control::编辑框_相差, gbk::kTimeCorrect);
    window.SetControlTextColour(Control::编辑框_相差, Green);
    window.SetControlTextColour(Control::编辑框1, Green);
  } else {
    window.SetControlText(Control::编辑框_相差, difference);
    window.SetControlTextColour(Control::编辑框_相差, Red);
    window.SetControlTextColour(Control::编辑框1, Red);
  }
}

}  // namespace tolvaris
