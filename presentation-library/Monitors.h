#pragma once
// The monitors in the order in which Windows numbers its displays.
#include <windows.h>

#include <vector>

namespace qmlib {

struct Monitor {
    RECT rect;
    bool primary;
};

// Ordered by the number in the display device name (\\.\DISPLAY1 first); see DisplayOrder.
std::vector<Monitor> Monitors();

// The primary monitor's width and height.
SIZE PrimaryMonitorSize(const std::vector<Monitor>& monitors);

} // namespace qmlib
