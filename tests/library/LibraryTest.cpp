#include "PresentationLibrary.h"

#include "LibraryCore.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <shellapi.h>

#include <charconv>
#include <climits>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using qm::ShortString;

using qmtest::Hex;

using qmtest::Utf8;

std::string HandleText(HWND window) {
    char buffer[32];
    auto result = std::to_chars(buffer, buffer + sizeof(buffer), reinterpret_cast<uintptr_t>(window), 16);
    return std::string(buffer, result.ptr);
}

// A letter of the code page beyond ASCII, where the code page has one.
std::wstring CodePageLetter() {
    std::wstring letter = L"\u00e9";
    return qm::AnsiToWide(qm::WideToAnsi(letter)) == letter ? letter : std::wstring();
}

ShortString Filled(unsigned char length, char fill) {
    ShortString s;
    s.length = length;
    for (char& c : s.chars)
        c = fill;
    return s;
}

std::vector<std::wstring> SplitCommandLine(const std::wstring& commandLine) {
    int count = 0;
    LPWSTR* args = CommandLineToArgvW(commandLine.c_str(), &count);
    std::vector<std::wstring> words(args, args + count);
    LocalFree(args);
    return words;
}

TEST(ViewerCommandLine, EachPathArrivesAsExactlyOneArgument) {
    const std::wstring letter = L"\u00e9";
    const std::vector<std::pair<std::wstring, std::wstring>> cases = {
        {L"C:\\Program Files\\Viewer\\PPTVIEW.EXE", L"C:\\Temp\\quillmont517.txt"},
        {L"C:\\a b\\v.exe", L"C:\\folder with blanks\\"},
        {L"C:\\v.exe", L"C:\\two\\\\"},
        {L"C:\\x\\ y\\v.exe", L"C:\\x\\\\ y\\\\l.txt"},
        {L"\\\\server\\share\\v.exe", L"\\\\server\\share\\list file.txt"},
        {L"C:\\caf" + letter + L"\\v.exe", L"/L"},
    };
    for (const auto& [viewer, list] : cases) {
        std::optional<std::wstring> line = qmlib::ViewerCommandLine(viewer, list);
        ASSERT_TRUE(line) << Utf8(viewer) << " " << Utf8(list);
        EXPECT_EQ(SplitCommandLine(*line), (std::vector<std::wstring>{viewer, L"/L", list})) << Utf8(*line);
    }
}

TEST(ViewerCommandLine, NoCommandLineForPathsThatAreNoFileNames) {
    for (const wchar_t* bad : {L"", L"C:\\a\".exe", L"C:\\v.exe\" /x \"y", L"C:\\a\nb.exe", L"C:\\a\tb"}) {
        EXPECT_FALSE(qmlib::ViewerCommandLine(bad, L"C:\\l.txt")) << Utf8(bad);
        EXPECT_FALSE(qmlib::ViewerCommandLine(L"C:\\v.exe", bad)) << Utf8(bad);
    }
}

TEST(DisplayOrder, NumbersCountNotLettersAndNamesWithoutNumbersComeLast) {
    std::vector<std::wstring> names = {L"\\\\.\\DISPLAY10", L"Monitor",         L"\\\\.\\DISPLAY2",
                                       L"\\\\.\\DISPLAY",   L"\\\\.\\display1", L"\\\\.\\DISPLAY3x"};
    EXPECT_EQ(qmlib::DisplayOrder(names), (std::vector<size_t>{4, 2, 0, 1, 3, 5}));
}

// Runs the probe program, which calls one export in a process of its own.
std::optional<std::string> RunProbe(const qmtest::TempDir& temp, const std::wstring& command,
                                    const std::vector<std::string>& texts) {
    std::wstring outFile = temp.File(L"probe result.bin");
    DeleteFileW(outFile.c_str());
    std::wstring line = L"\"" + qmtest::BinDir() + L"libraryprobe.exe\" \"" + outFile + L"\" " + command;
    for (const std::string& text : texts)
        line += L" " + qm::AnsiToWide(Hex(text));
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return std::nullopt;
    CloseHandle(process.hThread);
    DWORD exitCode = 1;
    bool ended = WaitForSingleObject(process.hProcess, 30000) == WAIT_OBJECT_0;
    GetExitCodeProcess(process.hProcess, &exitCode);
    if (!ended)
        TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hProcess);
    if (!ended || exitCode != 0)
        return std::nullopt;
    return qmtest::ReadBytes(outFile);
}

struct RawValue {
    DWORD type = REG_NONE;
    std::string data;
};

std::optional<RawValue> ReadRaw(HKEY root, const std::string& subKey, const char* name, REGSAM view = 0) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, subKey.c_str(), 0, KEY_QUERY_VALUE | view, &key) != ERROR_SUCCESS)
        return std::nullopt;
    RawValue value;
    DWORD size = 0;
    LONG status = RegQueryValueExA(key, name, nullptr, &value.type, nullptr, &size);
    if (status == ERROR_SUCCESS) {
        value.data.assign(size, '\0');
        status = RegQueryValueExA(key, name, nullptr, &value.type, reinterpret_cast<BYTE*>(value.data.data()),
                                  &size);
        value.data.resize(size);
    }
    RegCloseKey(key);
    if (status != ERROR_SUCCESS)
        return std::nullopt;
    return value;
}

void WriteRaw(HKEY root, const std::string& subKey, const char* name, DWORD type, const std::string& data,
              REGSAM view = 0) {
    HKEY key = nullptr;
    ASSERT_EQ(
        RegCreateKeyExA(root, subKey.c_str(), 0, nullptr, 0, KEY_SET_VALUE | view, nullptr, &key, nullptr),
        ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(data.data()),
                             static_cast<DWORD>(data.size())),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

bool KeyExists(HKEY root, const std::string& subKey) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, subKey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

class SettingsStore : public ::testing::Test {
protected:
    void TearDown() override {
        RegDeleteTreeA(HKEY_CURRENT_USER, ("Software\\" + app).c_str());
        RegDeleteTreeA(HKEY_CURRENT_USER, ("Software\\" + other).c_str());
    }

    static std::string Get(const std::string& application, const std::string& section, const std::string& key,
                           const std::string& defaultValue) {
        ShortString result = Filled(200, '#');
        ShortString a(application), s(section), k(key), d(defaultValue);
        ::GetSetting(&a, &s, &k, &d, &result);
        return result.str();
    }

    std::string app = "Quillmont Library Test " + std::to_string(GetCurrentProcessId());
    std::string other = app + " Other";
    qmtest::TempDir temp;
};

TEST_F(SettingsStore, ValuesLastBeyondTheProcessInTheDocumentedPlace) {
    const std::string folder = "C:\\Daten\\Pr\xe4sentationen\\";
    qm::LibrarySaveSetting(app, "Configuration", "Last Save Folder", folder);
    EXPECT_EQ(Get(app, "Configuration", "Last Save Folder", "none"), folder);

    std::optional<RawValue> raw =
        ReadRaw(HKEY_CURRENT_USER, "Software\\" + app + "\\Configuration", "Last Save Folder");
    ASSERT_TRUE(raw);
    EXPECT_EQ(raw->type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(raw->data, folder + '\0');

    EXPECT_EQ(RunProbe(temp, L"get", {app, "Configuration", "Last Save Folder", "none"}), folder);
    ASSERT_TRUE(RunProbe(temp, L"save", {app, "Configuration", "Last Load Folder", "D:\\Shows\\"}));
    EXPECT_EQ(Get(app, "Configuration", "Last Load Folder", "none"), "D:\\Shows\\");

    qm::LibrarySaveSetting(app, "Configuration", "Last Save Folder", "E:\\");
    EXPECT_EQ(Get(app, "Configuration", "Last Save Folder", "none"), "E:\\");

    // Applications, sections and keys are separate places.
    qm::LibrarySaveSetting(app, "Other Section", "Last Save Folder", "F:\\");
    qm::LibrarySaveSetting(other, "Configuration", "Last Save Folder", "G:\\");
    EXPECT_EQ(Get(app, "Configuration", "Last Save Folder", "none"), "E:\\");
    EXPECT_EQ(Get(app, "Other Section", "Last Save Folder", "none"), "F:\\");
    EXPECT_EQ(Get(other, "Configuration", "Last Save Folder", "none"), "G:\\");
}

TEST_F(SettingsStore, MissingValuesGiveTheDefaultWhole) {
    const std::string longDefault(255, 'd');
    EXPECT_EQ(Get(app, "Configuration", "Last Viewer Folder", longDefault), longDefault);
    EXPECT_EQ(Get(app, "Configuration", "Last Viewer Folder", ""), "");
    qm::LibrarySaveSetting(app, "Configuration", "Last Presentation Folder", "C:\\");
    EXPECT_EQ(Get(app, "Configuration", "Last Viewer Folder", "x"), "x");
    EXPECT_EQ(Get(app, "Elsewhere", "Last Presentation Folder", "x"), "x");
    EXPECT_EQ(Get(other, "Configuration", "Last Presentation Folder", "x"), "x");
}

// Cut, or with a look-alike in place of a letter that the code page lacks, a folder would be another.
TEST_F(SettingsStore, ForeignValuesThatNoShortStringHoldsUnalteredAreIgnored) {
    const std::string section = "Software\\" + app + "\\Configuration";
    std::string longText;
    for (int i = 0; i < 600; ++i)
        longText += static_cast<char>('a' + i % 26);
    WriteRaw(HKEY_CURRENT_USER, section, "Long", REG_SZ, longText + '\0');
    EXPECT_EQ(Get(app, "Configuration", "Long", "default"), "default");
    const std::wstring foreign = L"C:\\\u0100\\";
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, qm::AnsiToWide(section).c_str(), L"Foreign", REG_SZ,
                              foreign.c_str(), static_cast<DWORD>((foreign.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
    EXPECT_EQ(Get(app, "Configuration", "Foreign", "default"), "default");
    WriteRaw(HKEY_CURRENT_USER, section, "Unterminated", REG_SZ, "abc");
    EXPECT_EQ(Get(app, "Configuration", "Unterminated", "default"), "abc");
    WriteRaw(HKEY_CURRENT_USER, section, "Number", REG_DWORD, std::string("\x01\x00\x00\x00", 4));
    EXPECT_EQ(Get(app, "Configuration", "Number", "default"), "default");
    WriteRaw(HKEY_CURRENT_USER, section, "Bytes", REG_BINARY, "C:\\x");
    EXPECT_EQ(Get(app, "Configuration", "Bytes", "default"), "default");

    const std::string full(255, '\xe4');
    qm::LibrarySaveSetting(app, "Configuration", "Full", full);
    EXPECT_EQ(Get(app, "Configuration", "Full", ""), full);
}

TEST_F(SettingsStore, CarelessCallersGetSafeAnswers) {
    ShortString a(app), s("Configuration"), k("Key"), v("value"), d("default");
    ShortString result = Filled(9, '#');
    ::GetSetting(nullptr, &s, &k, &d, &result);
    EXPECT_EQ(result.str(), "default");
    ::SaveSetting(&a, &s, &k, &v);
    result = Filled(9, '#');
    ::GetSetting(&a, &s, &k, nullptr, &result);
    EXPECT_EQ(result.str(), "value");
    result = Filled(9, '#');
    ::GetSetting(&a, &s, nullptr, nullptr, &result);
    EXPECT_EQ(result.str(), "");
    ::GetSetting(&a, &s, &k, &d, nullptr);

    // A null value stores the empty text; null or empty names store nothing.
    ::SaveSetting(&a, &s, &k, nullptr);
    EXPECT_EQ(Get(app, "Configuration", "Key", "default"), "");
    const std::string unique = "Quillmont Stray " + std::to_string(GetCurrentProcessId());
    ShortString empty, stray(unique);
    ::SaveSetting(&empty, &stray, &k, &v);
    ::SaveSetting(nullptr, &stray, &k, &v);
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "Software\\" + unique));
    RegDeleteTreeA(HKEY_CURRENT_USER, ("Software\\" + unique).c_str());
    ShortString fresh(other);
    ::SaveSetting(&fresh, &empty, &k, &v);
    ::SaveSetting(&fresh, &s, &empty, &v);
    ::SaveSetting(&fresh, nullptr, nullptr, nullptr);
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "Software\\" + other));
}

// A short string that ends right before a page that cannot be read, as a caller's string may.
class EdgeString {
public:
    explicit EdgeString(const std::string& text) {
        SYSTEM_INFO system{};
        GetSystemInfo(&system);
        pages_ = static_cast<char*>(
            VirtualAlloc(nullptr, 2 * system.dwPageSize, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
        DWORD old = 0;
        if (!pages_ || !VirtualProtect(pages_ + system.dwPageSize, system.dwPageSize, PAGE_NOACCESS, &old))
            throw std::runtime_error("cannot place a string before an unreadable page");
        char* start = pages_ + system.dwPageSize - 1 - text.size();
        *start = static_cast<char>(text.size());
        text.copy(start + 1, text.size());
        string_ = reinterpret_cast<const ShortString*>(start);
    }
    EdgeString(const EdgeString&) = delete;
    EdgeString& operator=(const EdgeString&) = delete;
    ~EdgeString() { VirtualFree(pages_, 0, MEM_RELEASE); }
    operator const ShortString*() const { return string_; }

private:
    char* pages_ = nullptr;
    const ShortString* string_ = nullptr;
};

TEST_F(SettingsStore, ShortStringArgumentsAreReadNoFurtherThanTheirLength) {
    const EdgeString a(app), s("Configuration"), k("Edge"), missing("Missing"), v("edge value"), d("default"),
        empty(""), viewer("D:\\edge\\pptview.exe");
    ShortString result = Filled(9, '#');
    ::SaveSetting(a, s, k, v);
    EXPECT_EQ(Get(app, "Configuration", "Edge", ""), "edge value");
    ::GetSetting(a, s, k, d, &result);
    EXPECT_EQ(result.str(), "edge value");
    ::GetSetting(a, s, missing, d, &result);
    EXPECT_EQ(result.str(), "default");
    ::GetSetting(a, s, missing, empty, &result);
    EXPECT_EQ(result.str(), "");
    ::SetPowerPointViewer2003Executable(a, viewer);
    ::GetPowerPointViewer2003Executable(a, &result);
    EXPECT_EQ(result.str(), "D:\\edge\\pptview.exe");
    HANDLE process = nullptr;
    DWORD processId = 1;
    ::LaunchPresentation(viewer, v, 0, &process, &processId);
    EXPECT_EQ(processId, 0u);
}

const char* const kAppPathKey = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\PPTVIEW.EXE";

// Keeps the registration of the viewer as it was before the test, in both registry views.
class ViewerPath : public SettingsStore {
protected:
    void SetUp() override {
        for (int i = 0; i < 2; ++i) {
            saved[i] = ReadRaw(HKEY_LOCAL_MACHINE, kAppPathKey, "", kViews[i]);
            Unregister(kViews[i]);
        }
    }
    // Backwards, because where both views are one key the first view's entry must be the last written.
    void TearDown() override {
        for (int i = 1; i >= 0; --i) {
            Unregister(kViews[i]);
            if (saved[i])
                WriteRaw(HKEY_LOCAL_MACHINE, kAppPathKey, "", saved[i]->type, saved[i]->data, kViews[i]);
        }
        SettingsStore::TearDown();
    }

    static void Register(const std::string& path, DWORD type = REG_SZ) {
        WriteRaw(HKEY_LOCAL_MACHINE, kAppPathKey, "", type, path + '\0');
    }
    static void Unregister(REGSAM view = 0) { RegDeleteKeyExA(HKEY_LOCAL_MACHINE, kAppPathKey, view, 0); }

    static constexpr REGSAM kViews[2] = {0, KEY_WOW64_32KEY};
    std::optional<RawValue> saved[2];
};

TEST_F(ViewerPath, StoredPathLastsBeyondTheProcess) {
    const std::string path = "C:\\Program Files\\Viewer \xe9\\PPTVIEW.EXE";
    qm::LibrarySetViewer(app, ShortString(path));
    EXPECT_EQ(qm::LibraryGetViewer(app), path);
    EXPECT_EQ(RunProbe(temp, L"getviewer", {app}), path);
    ASSERT_TRUE(RunProbe(temp, L"setviewer", {app, "D:\\pptview.exe"}));
    EXPECT_EQ(qm::LibraryGetViewer(app), "D:\\pptview.exe");
    EXPECT_EQ(qm::LibraryGetViewer(other), "");
    EXPECT_EQ(Get(app, "Configuration", "Last Viewer Folder", "none"), "none");
}

TEST_F(ViewerPath, WithoutAStoredPathTheRegisteredViewerIsGiven) {
    EXPECT_EQ(qm::LibraryGetViewer(app), "");
    const std::string registered = "C:\\Program Files\\Microsoft Office\\PPTVIEW.EXE";
    Register(registered);
    EXPECT_EQ(qm::LibraryGetViewer(app), registered);
    qm::LibrarySetViewer(app, ShortString(""));
    EXPECT_EQ(qm::LibraryGetViewer(app), registered);
    qm::LibrarySetViewer(app, ShortString("D:\\own\\pptview.exe"));
    EXPECT_EQ(qm::LibraryGetViewer(app), "D:\\own\\pptview.exe");

    Register("\"" + registered + "\"");
    EXPECT_EQ(qm::LibraryGetViewer(other), registered);
    char systemRoot[MAX_PATH] = {};
    ASSERT_GT(GetEnvironmentVariableA("SystemRoot", systemRoot, MAX_PATH), 0u);
    Register("%SystemRoot%\\PPTVIEW.EXE", REG_EXPAND_SZ);
    EXPECT_EQ(qm::LibraryGetViewer(other), std::string(systemRoot) + "\\PPTVIEW.EXE");
    WriteRaw(HKEY_LOCAL_MACHINE, kAppPathKey, "", REG_DWORD, std::string(4, '\0'));
    EXPECT_EQ(qm::LibraryGetViewer(other), "");
}

TEST_F(ViewerPath, CarelessCallersGetSafeAnswers) {
    Register("C:\\registered\\PPTVIEW.EXE");
    ShortString a(app), path("C:\\stored\\pptview.exe");
    ::SetPowerPointViewer2003Executable(&a, &path);
    ShortString result = Filled(9, '#');
    ::GetPowerPointViewer2003Executable(nullptr, &result);
    EXPECT_EQ(result.str(), "C:\\registered\\PPTVIEW.EXE");
    ::GetPowerPointViewer2003Executable(&a, nullptr);
    ::SetPowerPointViewer2003Executable(nullptr, &path);
    ::SetPowerPointViewer2003Executable(&a, nullptr);
    result = Filled(9, '#');
    ::GetPowerPointViewer2003Executable(&a, &result);
    EXPECT_EQ(result.str(), "C:\\registered\\PPTVIEW.EXE");
}

// The monitors as the display devices list them, in the order Windows numbers them.
struct Display {
    std::wstring name;
    RECT rect;
    bool primary;
};

BOOL CALLBACK CollectRects(HMONITOR monitor, HDC, LPRECT, LPARAM out) {
    MONITORINFOEXW info{};
    info.cbSize = sizeof(info);
    if (::GetMonitorInfoW(monitor, &info))
        reinterpret_cast<std::vector<Display>*>(out)->push_back({info.szDevice, info.rcMonitor, false});
    return TRUE;
}

std::vector<Display> Displays() {
    std::vector<Display> monitors;
    EnumDisplayMonitors(nullptr, nullptr, CollectRects, reinterpret_cast<LPARAM>(&monitors));
    std::vector<Display> displays;
    for (DWORD i = 0;; ++i) {
        DISPLAY_DEVICEW device{};
        device.cb = sizeof(device);
        if (!EnumDisplayDevicesW(nullptr, i, &device, 0))
            break;
        if (!(device.StateFlags & DISPLAY_DEVICE_ATTACHED_TO_DESKTOP))
            continue;
        for (const Display& m : monitors)
            if (m.name == device.DeviceName)
                displays.push_back(
                    {m.name, m.rect, (device.StateFlags & DISPLAY_DEVICE_PRIMARY_DEVICE) != 0});
    }
    return displays;
}

SIZE SizeOf(const RECT& r) {
    return {r.right - r.left, r.bottom - r.top};
}

TEST(Monitors, CountRectanglesAndResolutionsFollowTheDisplays) {
    std::vector<Display> displays = Displays();
    ASSERT_GE(displays.size(), 2u) << "the test display needs two heads";
    ASSERT_NE(SizeOf(displays[0].rect).cx * 100000 + SizeOf(displays[0].rect).cy,
              SizeOf(displays[1].rect).cx * 100000 + SizeOf(displays[1].rect).cy)
        << "the test display needs heads of different sizes";
    EXPECT_EQ(GetMonitorCount(), static_cast<int32_t>(displays.size()));

    SIZE primary{};
    for (const Display& d : displays)
        if (d.primary)
            primary = SizeOf(d.rect);
    int equal = 0;
    for (size_t i = 0; i < displays.size(); ++i) {
        int32_t left = -1, top = -1, width = -1, height = -1;
        ::GetMonitorInfo(static_cast<int32_t>(i), &left, &top, &width, &height);
        const RECT& r = displays[i].rect;
        EXPECT_EQ((std::vector<int32_t>{left, top, width, height}),
                  (std::vector<int32_t>{r.left, r.top, r.right - r.left, r.bottom - r.top}))
            << "monitor " << i;
        bool same = SizeOf(r).cx == primary.cx && SizeOf(r).cy == primary.cy;
        EXPECT_EQ(AreMonitorsEqual(static_cast<int32_t>(i)), same) << "monitor " << i;
        equal += same ? 1 : 0;
    }
    EXPECT_GE(equal, 1);
    EXPECT_LT(equal, static_cast<int>(displays.size()));

    int32_t top = -1, height = -1;
    ::GetMonitorInfo(1, nullptr, &top, nullptr, &height);
    EXPECT_EQ(top, displays[1].rect.top);
    EXPECT_EQ(height, SizeOf(displays[1].rect).cy);
}

TEST(Monitors, IndicesOutsideTheRangeAreNoMonitor) {
    const int32_t count = GetMonitorCount();
    ASSERT_GE(count, 2);
    for (int32_t index : {-1, -2, INT32_MIN, count, count + 1, INT32_MAX}) {
        EXPECT_FALSE(AreMonitorsEqual(index)) << index;
        int32_t left = 0x5a5a, top = 0x5a5a, width = 0x5a5a, height = 0x5a5a;
        ::GetMonitorInfo(index, &left, &top, &width, &height);
        EXPECT_EQ((std::vector<int32_t>{left, top, width, height}), (std::vector<int32_t>{0, 0, 0, 0}))
            << index;
    }
    ::GetMonitorInfo(-1, nullptr, nullptr, nullptr, nullptr);
}

TEST(ClassName, IsTheWindowsOwnClassName) {
    const std::string longName = "QmLibraryTest" + std::string(240, 'N') + "xy";
    ASSERT_EQ(longName.size(), 255u);
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = longName.c_str();
    ASSERT_NE(RegisterClassExA(&windowClass), 0);
    HWND window = CreateWindowExA(0, longName.c_str(), "", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                                  nullptr, windowClass.hInstance, nullptr);
    ASSERT_TRUE(window);
    HWND button =
        CreateWindowExW(0, L"Button", L"", WS_CHILD, 0, 0, 10, 10, window, nullptr, nullptr, nullptr);
    ASSERT_TRUE(button);

    EXPECT_EQ(qm::LibraryGetClassName(window), longName);
    EXPECT_EQ(qm::LibraryGetClassName(button), "Button");
    ::GetClassNameStr(window, nullptr);
    DestroyWindow(window);
    ShortString result = Filled(9, '#');
    ::GetClassNameStr(window, &result);
    EXPECT_EQ(result.str(), "");
    result = Filled(9, '#');
    ::GetClassNameStr(nullptr, &result);
    EXPECT_EQ(result.str(), "");
    UnregisterClassA(longName.c_str(), windowClass.hInstance);
}

// Starts the test viewer through the library; the viewer writes what it sees to a log file.
class Launch : public ::testing::Test {
protected:
    void SetUp() override {
        SetEnvironmentVariableW(L"QM_TESTVIEWER_LOG", logPath.c_str());
        SetEnvironmentVariableW(L"QM_TESTVIEWER_SECONDS", L"60");
        SetEnvironmentVariableW(L"QM_TESTVIEWER_MODE", nullptr);
        std::wstring folder = temp.File(L"viewer folder " + CodePageLetter());
        ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
        viewerPath = folder + L"\\test viewer.exe";
        ASSERT_TRUE(CopyFileW((qmtest::BinDir() + L"testviewer.exe").c_str(), viewerPath.c_str(), TRUE));
    }
    void TearDown() override {
        for (HANDLE process : started) {
            TerminateProcess(process, 0);
            WaitForSingleObject(process, 10000);
            CloseHandle(process);
        }
        for (const wchar_t* name : {L"QM_TESTVIEWER_LOG", L"QM_TESTVIEWER_SECONDS", L"QM_TESTVIEWER_MODE"})
            SetEnvironmentVariableW(name, nullptr);
    }

    struct Result {
        HANDLE handle;
        DWORD id;
    };
    Result Start(const std::wstring& viewer, const std::wstring& list, int32_t monitor = 0) {
        ShortString v = ShortString::FromWide(viewer), l = ShortString::FromWide(list);
        Result r{reinterpret_cast<HANDLE>(0x5a5a), 0x5a5a};
        ::LaunchPresentation(&v, &l, monitor, &r.handle, &r.id);
        if (r.handle && r.id)
            started.push_back(r.handle);
        return r;
    }

    std::vector<std::string> LogLines() const {
        if (!qmtest::FileExists(logPath))
            return {};
        std::string text = qmtest::ReadBytes(logPath);
        std::vector<std::string> lines;
        size_t start = 0;
        for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
            lines.push_back(text.substr(start, end - start));
        return lines;
    }
    bool LogHas(const std::string& line) const {
        for (const std::string& l : LogLines())
            if (l == line)
                return true;
        return false;
    }
    int LogCount(const std::string& prefix) const {
        int n = 0;
        for (const std::string& l : LogLines())
            n += l.rfind(prefix, 0) == 0 ? 1 : 0;
        return n;
    }
    std::string LogValue(const std::string& prefix) const {
        for (const std::string& l : LogLines())
            if (l.rfind(prefix, 0) == 0)
                return l.substr(prefix.size());
        return "(no line " + prefix + ")";
    }

    static std::vector<HWND> ShowWindows(DWORD processId) {
        struct Search {
            DWORD id;
            std::vector<HWND> found;
        } search{processId, {}};
        EnumWindows(
            [](HWND window, LPARAM p) -> BOOL {
                auto* s = reinterpret_cast<Search*>(p);
                DWORD owner = 0;
                GetWindowThreadProcessId(window, &owner);
                if (owner == s->id && qm::LibraryGetClassName(window) == "screenClass")
                    s->found.push_back(window);
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&search));
        return search.found;
    }

    std::wstring ListFile(const std::wstring& name, const std::wstring& entries) {
        std::wstring folder = temp.File(L"list folder " + CodePageLetter());
        CreateDirectoryW(folder.c_str(), nullptr);
        std::wstring path = folder + L"\\" + name;
        std::string bytes = "\xff\xfe";
        for (wchar_t c : entries) {
            bytes += static_cast<char>(c & 0xff);
            bytes += static_cast<char>(c >> 8);
        }
        qmtest::WriteBytes(path, bytes);
        listBytes = bytes;
        return path;
    }

    qmtest::TempDir temp;
    std::wstring logPath = temp.File(L"viewer log.txt");
    std::wstring viewerPath;
    std::string listBytes;
    std::vector<HANDLE> started;
};

// Whether this process holds a handle to the given thread.
bool HoldsThreadHandle(DWORD threadId) {
    for (uintptr_t value = 4; value < 0x40000; value += 4)
        if (GetThreadId(reinterpret_cast<HANDLE>(value)) == threadId)
            return true;
    return false;
}

TEST_F(Launch, ViewerReceivesBothPathsAndTheListAndTheCallerItsProcess) {
    std::wstring list = ListFile(L"play list 1.txt", L"C:\\Show\\first talk.ppt\r\nD:\\b.pps\r\n");
    Result r = Start(viewerPath, list, 1);
    ASSERT_NE(r.id, 0u);
    ASSERT_NE(r.handle, nullptr);
    EXPECT_EQ(GetProcessId(r.handle), r.id);
    ASSERT_TRUE(qmtest::WaitFor([&] { return LogCount("window ") > 0; }));
    EXPECT_EQ(WaitForSingleObject(r.handle, 0), static_cast<DWORD>(WAIT_TIMEOUT));

    EXPECT_EQ(LogValue("args "), "3");
    EXPECT_EQ(LogValue("arg 0 "), Utf8(viewerPath));
    EXPECT_EQ(LogValue("arg 1 "), "/L");
    EXPECT_EQ(LogValue("arg 2 "), Utf8(list));
    EXPECT_EQ(LogValue("list "), Hex(listBytes));
    EXPECT_TRUE(LogHas("entry C:\\Show\\first talk.ppt"));
    EXPECT_TRUE(LogHas("entry D:\\b.pps"));
    int32_t left = 0, top = 0, width = 0, height = 0;
    ::GetMonitorInfo(1, &left, &top, &width, &height);
    EXPECT_EQ(LogValue("startup "), std::to_string(left) + " " + std::to_string(top));

    std::string pidLine = LogValue("pid ");
    EXPECT_EQ(pidLine.substr(0, pidLine.find(' ')), std::to_string(r.id));
    DWORD threadId = static_cast<DWORD>(std::stoul(pidLine.substr(pidLine.find("thread ") + 7)));
    EXPECT_FALSE(HoldsThreadHandle(threadId)) << "the viewer's thread handle was left open";

    std::vector<HWND> windows = ShowWindows(r.id);
    ASSERT_EQ(windows.size(), 1u);
    EXPECT_TRUE(LogHas("window " + HandleText(windows[0])));
}

TEST_F(Launch, NothingStartsWhenAPathIsMissingOrCouldAddArguments) {
    std::wstring list = ListFile(L"list.txt", L"C:\\a.ppt\r\n");
    auto expectNothing = [](Result r, const char* what) {
        EXPECT_EQ(r.id, 0u) << what;
        EXPECT_EQ(r.handle, nullptr) << what;
    };
    expectNothing(Start(temp.File(L"no viewer.exe"), list), "missing viewer");
    expectNothing(Start(L"", list), "empty viewer");
    expectNothing(Start(viewerPath, list + L"\" \"/extra"), "quote in the list path");
    expectNothing(Start(viewerPath + L"\" \"x", list), "quote in the viewer path");
    expectNothing(Start(L"\"" + viewerPath + L"\"", list), "quoted viewer path");
    expectNothing(Start(viewerPath, L""), "empty list path");

    ShortString v = ShortString::FromWide(viewerPath), l = ShortString::FromWide(list);
    Result r{reinterpret_cast<HANDLE>(0x5a5a), 0x5a5a};
    ::LaunchPresentation(nullptr, &l, 0, &r.handle, &r.id);
    expectNothing(r, "null viewer");
    r = {reinterpret_cast<HANDLE>(0x5a5a), 0x5a5a};
    ::LaunchPresentation(&v, nullptr, 0, &r.handle, &r.id);
    expectNothing(r, "null list");
    r = {reinterpret_cast<HANDLE>(0x5a5a), 0x5a5a};
    ::LaunchPresentation(&v, &l, 0, nullptr, &r.id);
    EXPECT_EQ(r.id, 0u);
    ::LaunchPresentation(&v, &l, 0, &r.handle, nullptr);
    EXPECT_EQ(r.handle, nullptr);

    // A viewer that did start would have logged before this one ends.
    SetEnvironmentVariableW(L"QM_TESTVIEWER_MODE", L"exit");
    Result last = Start(viewerPath, list, -1);
    ASSERT_NE(last.id, 0u);
    EXPECT_EQ(WaitForSingleObject(last.handle, 20000), WAIT_OBJECT_0);
    ASSERT_TRUE(qmtest::WaitFor([&] { return LogHas("exit"); }));
    EXPECT_EQ(LogCount("pid "), 1);
    EXPECT_EQ(LogCount("startup "), 0) << "no monitor -1 to hint at";
    EXPECT_EQ(LogCount("window "), 0);
}

TEST_F(Launch, TestViewerReportsItsWindowAndEndsWhenClosed) {
    Result r = Start(viewerPath, ListFile(L"list.txt", L""));
    ASSERT_NE(r.id, 0u);
    ASSERT_TRUE(qmtest::WaitFor([&] { return ShowWindows(r.id).size() == 1 && LogCount("window ") == 1; }));
    HWND window = ShowWindows(r.id)[0];
    EXPECT_TRUE(IsWindowVisible(window));
    RECT rect{};
    GetWindowRect(window, &rect);
    int32_t left = 0, top = 0, width = 0, height = 0;
    ::GetMonitorInfo(0, &left, &top, &width, &height);
    EXPECT_FALSE(rect.left == left && rect.top == top && rect.right - rect.left == width &&
                 rect.bottom - rect.top == height);

    SendMessageA(window, WM_SETFOCUS, 0, 0);
    EXPECT_TRUE(LogHas("setfocus " + HandleText(window)));
    SetWindowPos(window, nullptr, left, top, width, height,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
    std::string pos = "pos " + std::to_string(left) + " " + std::to_string(top) + " " +
                      std::to_string(width) + " " + std::to_string(height) + " " + HandleText(window);
    EXPECT_TRUE(qmtest::WaitFor([&] { return LogHas(pos); })) << pos;

    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForSingleObject(r.handle, 20000), WAIT_OBJECT_0);
    EXPECT_TRUE(LogHas("exit"));
}

TEST_F(Launch, TestViewerFaultsOnDemand) {
    std::wstring list = ListFile(L"list.txt", L"C:\\a.ppt\r\n");
    SetEnvironmentVariableW(L"QM_TESTVIEWER_MODE", L"multi");
    Result multi = Start(viewerPath, list);
    ASSERT_NE(multi.id, 0u);
    EXPECT_TRUE(qmtest::WaitFor([&] { return ShowWindows(multi.id).size() == 3; }));

    SetEnvironmentVariableW(L"QM_TESTVIEWER_MODE", L"hang");
    Result hang = Start(viewerPath, list);
    ASSERT_NE(hang.id, 0u);
    ASSERT_TRUE(qmtest::WaitFor([&] { return LogHas("hang") && ShowWindows(hang.id).size() == 1; }));
    DWORD_PTR answer = 0;
    EXPECT_EQ(SendMessageTimeoutW(ShowWindows(hang.id)[0], WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 300, &answer), 0);

    SetEnvironmentVariableW(L"QM_TESTVIEWER_MODE", nullptr);
    SetEnvironmentVariableW(L"QM_TESTVIEWER_SECONDS", L"1");
    Result timed = Start(viewerPath, list);
    ASSERT_NE(timed.id, 0u);
    EXPECT_EQ(WaitForSingleObject(timed.handle, 20000), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(multi.handle, 0), static_cast<DWORD>(WAIT_TIMEOUT));
}

} // namespace
