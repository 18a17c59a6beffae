#include "Screen.h"

#include <windows.h>

namespace tk {

int ScreenMonitorCount() {
    int count = 0;
    EnumDisplayMonitors(
        nullptr, nullptr,
        [](HMONITOR, HDC, LPRECT, LPARAM param) -> BOOL {
            ++*reinterpret_cast<int*>(param);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&count));
    return count > 0 ? count : GetSystemMetrics(SM_CMONITORS);
}

} // namespace tk
