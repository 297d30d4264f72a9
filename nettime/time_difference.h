#pragma once

#include "core/datetime.h"
#include "core/text.h"

namespace tolvaris {

// How far apart first and second are, as "1天1时1分1秒" with the zero parts left out; the size
// only, never the direction. Empty when they are less than a whole second apart. Values further
// apart than about 68 years give the text of SecondsBetween's saturated count, 2147483647 s
// ("24855天3时14分7秒").
Text FormatTimeDifference(DateTime first, DateTime second);

}  // namespace tolvaris
