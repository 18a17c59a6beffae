#pragma once

namespace tk {

// The number of display monitors, enumerated anew at every call; the system metric
// SM_CMONITORS when the enumeration finds none.
int ScreenMonitorCount();

} // namespace tk
