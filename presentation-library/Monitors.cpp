#include "Monitors.h"

#include "LibraryCore.h"

#include <string>

namespace qmlib {

namespace {

struct Found {
    std::vector<std::wstring> deviceNames;
    std::vector<Monitor> monitors;
};

BOOL CALLBACK CollectMonitor(HMONITOR handle, HDC, LPRECT, LPARAM found) {
    MONITORINFOEXW info{};
    info.cbSize = sizeof(info);
    if (::GetMonitorInfoW(handle, &info)) {
        auto* f = reinterpret_cast<Found*>(found);
        f->deviceNames.emplace_back(info.szDevice);
        f->monitors.push_back({info.rcMonitor, (info.dwFlags & MONITORINFOF_PRIMARY) != 0});
    }
    return TRUE;
}

} // namespace

std::vector<Monitor> Monitors() {
    Found found;
    EnumDisplayMonitors(nullptr, nullptr, CollectMonitor, reinterpret_cast<LPARAM>(&found));
    std::vector<Monitor> monitors;
    for (size_t i : DisplayOrder(found.deviceNames))
        monitors.push_back(found.monitors[i]);
    return monitors;
}

SIZE PrimaryMonitorSize(const std::vector<Monitor>& monitors) {
    for (const Monitor& m : monitors)
        if (m.primary)
            return {m.rect.right - m.rect.left, m.rect.bottom - m.rect.top};
    return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

} // namespace qmlib
