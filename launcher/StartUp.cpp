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

std::string GetInstallPath() {
    const char* subKey = "Software\\Brindlecort\\Quillmont";
    HKEY raw = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, subKey, 0, KEY_READ, &raw) != ERROR_SUCCESS &&
        RegOpenKeyExA(HKEY_LOCAL_MACHINE, subKey, 0,
                      STANDARD_RIGHTS_READ | KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS,
                      &raw) != ERROR_SUCCESS &&
        RegOpenKeyExA(HKEY_LOCAL_MACHINE, subKey, 0, KEY_QUERY_VALUE, &raw) != ERROR_SUCCESS)
        return {};
    tk::RegKey key(raw);
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(key.Get(), "InstallPath", nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return {};
    // Any other type than a string is treated as a missing value.
    if ((type != REG_SZ && type != REG_EXPAND_SZ) || size == 0)
        return {};
    std::string value(size, '\0');
    if (RegQueryValueExA(key.Get(), "InstallPath", nullptr, &type, reinterpret_cast<BYTE*>(value.data()),
                         &size) != ERROR_SUCCESS)
        return {};
    value.resize(size);
    // The text ends at its first NUL, whether or not the stored value has one.
    size_t nul = value.find('\0');
    if (nul != std::string::npos)
        value.resize(nul);
    return value;
}

std::string MessagesDirOf(const std::string& installPath) {
    if (installPath.empty())
        return {};
    std::string folder = installPath;
    if (folder.back() != '\\')
        folder += '\\';
    return folder + "Messages";
}

std::string GetMessagesDir() {
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
