#pragma once
// The exports of Quillmont.dll, the presentation library, as the program imports them.
// Every text crosses as a short string (qm::ShortString); a short-string result is written
// into the caller's 256-byte buffer.
#include <windows.h>

#include "AnsiText.h"

#include <cstdint>

// winuser.h maps GetMonitorInfo to GetMonitorInfoW; the library's export of that name is a
// different function.
#undef GetMonitorInfo

extern "C" {

__declspec(dllimport) void LaunchPresentation(const qm::ShortString* viewerPath,
                                              const qm::ShortString* listFilePath, int32_t monitorIndex,
                                              HANDLE* processHandle, DWORD* processId);
__declspec(dllimport) int32_t GetMonitorCount();
__declspec(dllimport) bool AreMonitorsEqual(int32_t monitorIndex);
__declspec(dllimport) void GetMonitorInfo(int32_t monitorIndex, int32_t* left, int32_t* top, int32_t* width,
                                          int32_t* height);
__declspec(dllimport) void GetClassNameStr(HWND window, qm::ShortString* result);
__declspec(dllimport) void GetSetting(const qm::ShortString* application, const qm::ShortString* section,
                                      const qm::ShortString* key, const qm::ShortString* defaultValue,
                                      qm::ShortString* result);
__declspec(dllimport) void SaveSetting(const qm::ShortString* application, const qm::ShortString* section,
                                       const qm::ShortString* key, const qm::ShortString* value);
__declspec(dllimport) void GetPowerPointViewer2003Executable(const qm::ShortString* application,
                                                             qm::ShortString* result);
__declspec(dllimport) void SetPowerPointViewer2003Executable(const qm::ShortString* application,
                                                             const qm::ShortString* viewerPath);
}

namespace qm {

// Plain wrappers over the exports for the program's own use.
inline std::string LibraryGetSetting(std::string_view application, std::string_view section,
                                     std::string_view key, std::string_view defaultValue) {
    ShortString a(application), s(section), k(key), d(defaultValue), result;
    ::GetSetting(&a, &s, &k, &d, &result);
    return result.str();
}

inline void LibrarySaveSetting(std::string_view application, std::string_view section, std::string_view key,
                               std::string_view value) {
    ShortString a(application), s(section), k(key), v(value);
    ::SaveSetting(&a, &s, &k, &v);
}

inline std::string LibraryGetViewer(std::string_view application) {
    ShortString a(application), result;
    ::GetPowerPointViewer2003Executable(&a, &result);
    return result.str();
}

inline void LibrarySetViewer(std::string_view application, const ShortString& viewerPath) {
    ShortString a(application);
    ::SetPowerPointViewer2003Executable(&a, &viewerPath);
}

inline std::string LibraryGetClassName(HWND window) {
    ShortString result;
    ::GetClassNameStr(window, &result);
    return result.str();
}

} // namespace qm
