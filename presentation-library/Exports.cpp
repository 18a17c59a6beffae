// The exports of Quillmont.dll. Every export survives careless callers: a null input counts as an
// empty short string, an input is read no further than its length byte, a null output is left
// alone, and no C++ exception leaves the library.
#include "LibraryCore.h"
#include "Monitors.h"
#include "Registry.h"

#include "AnsiText.h"

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The export of this name is not the Windows function that winuser.h maps it to.
#undef GetMonitorInfo

#define QM_EXPORT extern "C" __declspec(dllexport)

namespace {

const wchar_t* const kViewerValueName = L"PowerPoint Viewer 2003 Executable";
const wchar_t* const kViewerAppPathKey =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\PPTVIEW.EXE";

std::string Text(const qm::ShortString* s) {
    return s ? s->str() : std::string();
}

// A name that makes one registry key or value: empty text or a NUL inside would silently mean
// another place.
bool IsName(const std::string& name) {
    return !name.empty() && name.find('\0') == std::string::npos;
}

std::wstring ApplicationKey(const std::string& application) {
    return L"Software\\" + qm::AnsiToWide(application);
}

std::wstring SectionKey(const std::string& application, const std::string& section) {
    return ApplicationKey(application) + L"\\" + qm::AnsiToWide(section);
}

// A value read from the registry crosses into a short string only whole and unaltered: cut, or
// with a look-alike letter in place of one the code page lacks, a path names another file.
std::optional<qm::ShortString> Exactly(const std::optional<std::wstring>& text) {
    return text ? qm::ShortString::Exact(*text) : std::nullopt;
}

std::optional<qmlib::Monitor> MonitorAt(int32_t index) {
    if (index < 0)
        return std::nullopt;
    std::vector<qmlib::Monitor> monitors = qmlib::Monitors();
    if (static_cast<size_t>(index) >= monitors.size())
        return std::nullopt;
    return monitors[static_cast<size_t>(index)];
}

// Installers may register the path in quotes.
std::wstring Unquoted(std::wstring path) {
    if (path.size() >= 2 && path.front() == L'"' && path.back() == L'"')
        return path.substr(1, path.size() - 2);
    return path;
}

// A 32-bit viewer registers itself in the 32-bit view of the registry on 64-bit Windows.
qm::ShortString RegisteredViewerPath() {
    for (REGSAM view : {REGSAM{0}, REGSAM{KEY_WOW64_32KEY}}) {
        std::optional<std::wstring> path =
            qmlib::ReadText(HKEY_LOCAL_MACHINE, kViewerAppPathKey, L"", true, view);
        if (!path)
            continue;
        if (std::optional<qm::ShortString> exact = qm::ShortString::Exact(Unquoted(*path));
            exact && exact->length)
            return *exact;
    }
    return {};
}

template <typename F> void Guarded(F&& body) noexcept {
    try {
        body();
    } catch (...) {
    }
}

} // namespace

// Starts nothing, and reports so, when either output is missing: nobody could own the process.
QM_EXPORT void LaunchPresentation(const qm::ShortString* viewerPath, const qm::ShortString* listFilePath,
                                  int32_t monitorIndex, HANDLE* processHandle, DWORD* processId) {
    if (processHandle)
        *processHandle = nullptr;
    if (processId)
        *processId = 0;
    if (!processHandle || !processId)
        return;
    Guarded([&] {
        std::wstring viewer = qm::AnsiToWide(Text(viewerPath));
        std::optional<std::wstring> commandLine =
            qmlib::ViewerCommandLine(viewer, qm::AnsiToWide(Text(listFilePath)));
        if (!commandLine)
            return;
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        // The monitor reaches the viewer as the place of its first window; the caller moves the
        // show window onto the monitor in any case.
        if (std::optional<qmlib::Monitor> monitor = MonitorAt(monitorIndex)) {
            startup.dwFlags |= STARTF_USEPOSITION;
            startup.dwX = static_cast<DWORD>(monitor->rect.left);
            startup.dwY = static_cast<DWORD>(monitor->rect.top);
        }
        PROCESS_INFORMATION process{};
        if (!CreateProcessW(viewer.c_str(), commandLine->data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                            &startup, &process))
            return;
        CloseHandle(process.hThread);
        *processHandle = process.hProcess;
        *processId = process.dwProcessId;
    });
}

QM_EXPORT int32_t GetMonitorCount() {
    int32_t count = 0;
    Guarded([&] { count = static_cast<int32_t>(qmlib::Monitors().size()); });
    return count;
}

QM_EXPORT bool AreMonitorsEqual(int32_t monitorIndex) {
    bool equal = false;
    Guarded([&] {
        if (std::optional<qmlib::Monitor> monitor = MonitorAt(monitorIndex)) {
            SIZE primary = qmlib::PrimaryMonitorSize(qmlib::Monitors());
            equal = monitor->rect.right - monitor->rect.left == primary.cx &&
                    monitor->rect.bottom - monitor->rect.top == primary.cy;
        }
    });
    return equal;
}

QM_EXPORT void GetMonitorInfo(int32_t monitorIndex, int32_t* left, int32_t* top, int32_t* width,
                              int32_t* height) {
    RECT rect{};
    Guarded([&] {
        if (std::optional<qmlib::Monitor> monitor = MonitorAt(monitorIndex))
            rect = monitor->rect;
    });
    if (left)
        *left = rect.left;
    if (top)
        *top = rect.top;
    if (width)
        *width = rect.right - rect.left;
    if (height)
        *height = rect.bottom - rect.top;
}

QM_EXPORT void GetClassNameStr(HWND window, qm::ShortString* result) {
    char name[256] = {};
    int length = window ? GetClassNameA(window, name, sizeof(name)) : 0;
    if (result)
        result->Assign(std::string_view(name, length > 0 ? static_cast<size_t>(length) : 0));
}

QM_EXPORT void GetSetting(const qm::ShortString* application, const qm::ShortString* section,
                          const qm::ShortString* key, const qm::ShortString* defaultValue,
                          qm::ShortString* result) {
    qm::ShortString value;
    Guarded([&] {
        // Read only as far as its length byte: the caller's string may end right there.
        value.Assign(Text(defaultValue));
        std::string a = Text(application), s = Text(section), k = Text(key);
        if (!IsName(a) || !IsName(s) || !IsName(k))
            return;
        if (std::optional<qm::ShortString> stored =
                Exactly(qmlib::ReadText(HKEY_CURRENT_USER, SectionKey(a, s), qm::AnsiToWide(k))))
            value = *stored;
    });
    if (result)
        *result = value;
}

QM_EXPORT void SaveSetting(const qm::ShortString* application, const qm::ShortString* section,
                           const qm::ShortString* key, const qm::ShortString* value) {
    Guarded([&] {
        std::string a = Text(application), s = Text(section), k = Text(key);
        if (!IsName(a) || !IsName(s) || !IsName(k))
            return;
        qmlib::WriteText(HKEY_CURRENT_USER, SectionKey(a, s), qm::AnsiToWide(k), qm::AnsiToWide(Text(value)));
    });
}

// An empty stored path, like one that a short string cannot hold unaltered, counts as none, so that
// the registered viewer shows through.
QM_EXPORT void GetPowerPointViewer2003Executable(const qm::ShortString* application,
                                                 qm::ShortString* result) {
    qm::ShortString path;
    Guarded([&] {
        std::string a = Text(application);
        if (IsName(a)) {
            if (std::optional<qm::ShortString> stored =
                    Exactly(qmlib::ReadText(HKEY_CURRENT_USER, ApplicationKey(a), kViewerValueName)))
                path = *stored;
        }
        if (path.length == 0)
            path = RegisteredViewerPath();
    });
    if (result)
        *result = path;
}

QM_EXPORT void SetPowerPointViewer2003Executable(const qm::ShortString* application,
                                                 const qm::ShortString* viewerPath) {
    Guarded([&] {
        std::string a = Text(application);
        if (IsName(a))
            qmlib::WriteText(HKEY_CURRENT_USER, ApplicationKey(a), kViewerValueName,
                             qm::AnsiToWide(Text(viewerPath)));
    });
}
