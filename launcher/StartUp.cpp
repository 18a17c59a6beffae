#include "StartUp.h"

#include "Application.h"
#include "Handles.h"
#include "Localizer.h"
#include "MainUnit.h"
#include "RandomNumbers.h"

uint32_t UserLangID = 0;
HANDLE AppMutex = nullptr;

void InitializeSharedGlobals() {
    // Only stands for the running instance under its name; nothing waits on it.
    AppMutex = CreateMutexA(nullptr, FALSE, "Quillmont");
    UserLangID = GetUserDefaultLangID();
}

void InitializeMainUnit() {
    LARGE_INTEGER counter;
    if (QueryPerformanceCounter(&counter))
        qm::SeedRandom(static_cast<uint32_t>(counter.LowPart));
    else
        qm::SeedRandom(GetTickCount());
}

void ReleaseAppMutex() {
    CloseHandle(AppMutex);
}

// Read wide: the system's conversion to ANSI would turn a folder name it cannot hold into a
// look-alike name, and the languages of another folder would load.
std::wstring GetInstallPath() {
    const wchar_t* subKey = L"Software\\Brindlecort\\Quillmont";
    HKEY raw = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, subKey, 0, KEY_READ, &raw) != ERROR_SUCCESS &&
        RegOpenKeyExW(HKEY_LOCAL_MACHINE, subKey, 0,
                      STANDARD_RIGHTS_READ | KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS,
                      &raw) != ERROR_SUCCESS &&
        RegOpenKeyExW(HKEY_LOCAL_MACHINE, subKey, 0, KEY_QUERY_VALUE, &raw) != ERROR_SUCCESS)
        return {};
    tk::RegKey key(raw);
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExW(key.Get(), L"InstallPath", nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return {};
    // Any other type than a string is treated as a missing value.
    if ((type != REG_SZ && type != REG_EXPAND_SZ) || size == 0)
        return {};
    std::wstring value((size + 1) / sizeof(wchar_t), L'\0');
    size = static_cast<DWORD>(value.size() * sizeof(wchar_t));
    if (RegQueryValueExW(key.Get(), L"InstallPath", nullptr, &type, reinterpret_cast<BYTE*>(value.data()),
                         &size) != ERROR_SUCCESS)
        return {};
    value.resize(size / sizeof(wchar_t));
    // The text ends at its first NUL, whether or not the stored value has one.
    size_t nul = value.find(L'\0');
    if (nul != std::wstring::npos)
        value.resize(nul);
    return value;
}

std::wstring MessagesDirOf(const std::wstring& installPath) {
    if (installPath.empty())
        return {};
    std::wstring folder = installPath;
    if (folder.back() != L'\\')
        folder += L'\\';
    return folder + L"Messages";
}

std::wstring GetMessagesDir() {
    return MessagesDirOf(GetInstallPath());
}

int ProgramMain() {
    qm::InitializeLocalizer();
    InitializeSharedGlobals();
    InitializeMainUnit();
    int exitCode = 0;
    {
        tk::Application application;
        application.SetTitle(kApplicationTitle);
        try {
            qm::LoadL10NResources(GetMessagesDir());
            TMainForm mainForm;
            // Errors of the start routine are reported inside it; the loop runs regardless.
            mainForm.Startup(UserLangID);
            application.Run();
        } catch (const std::exception& e) {
            // Only a window that cannot be made at all gets here.
            application.ShowException(e);
            exitCode = 1;
        }
        ReleaseAppMutex();
        qm::FinalizeLocalizer();
    }
    return exitCode;
}
