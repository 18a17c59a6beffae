#include "BlackBoxFixture.h"

#include "AnsiText.h"
#include "PresentationLibrary.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>

namespace bb {

namespace {

const char* const kLibraryApplication = "Brindlecort Quillmont";
const wchar_t* const kInstallKey = L"Software\\Brindlecort\\Quillmont";

BOOL CALLBACK CollectMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM param) {
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    if (GetMonitorInfoW(monitor, &info))
        reinterpret_cast<std::vector<MONITORINFO>*>(param)->push_back(info);
    return TRUE;
}

} // namespace

std::vector<std::string> ViewerLog::Lines() const {
    std::vector<std::string> lines;
    if (!Exists())
        return lines;
    std::string text;
    try {
        text = qmtest::ReadBytes(path_);
    } catch (const std::exception&) {
        return lines;
    }
    size_t start = 0;
    for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    return lines;
}

std::vector<std::string> ViewerLog::LinesOf(const std::string& word) const {
    std::vector<std::string> found;
    for (const std::string& line : Lines())
        if (line == word || line.rfind(word + " ", 0) == 0)
            found.push_back(line);
    return found;
}

std::vector<DWORD> ViewerLog::ProcessIds() const {
    std::vector<DWORD> ids;
    for (const std::string& line : LinesOf("pid")) {
        // "pid <process> thread <thread>"
        size_t end = line.find(' ', 4);
        ids.push_back(static_cast<DWORD>(std::stoul(line.substr(4, end - 4))));
    }
    return ids;
}

std::optional<std::wstring> ViewerLog::ListFile() const {
    std::vector<std::string> args = LinesOf("arg");
    // "arg <n> <text>"
    auto text = [](const std::string& line) {
        size_t second = line.find(' ', 4);
        return second == std::string::npos ? std::string() : line.substr(second + 1);
    };
    for (size_t i = 0; i + 1 < args.size(); ++i)
        if (text(args[i]) == "/L" || text(args[i]) == "/l")
            return Widen(text(args[i + 1]));
    return std::nullopt;
}

BlackBoxTest::BlackBoxTest() {
    tempFolder_ = dir_.File(L"temp\\");
    CreateDirectoryW(tempFolder_.c_str(), nullptr);
    DeleteInstallPath();
    StoreViewer(TestViewerPath());
}

BlackBoxTest::~BlackBoxTest() {
    programs_.clear();
    for (const std::wstring& path : logPaths_)
        for (DWORD id : ViewerLog(path).ProcessIds())
            Guard(id);
    guards_.clear();
    DeleteInstallPath();
}

std::vector<std::wstring> BlackBoxTest::TempFolderFiles() const {
    return FilesIn(tempFolder_);
}

ViewerLog BlackBoxTest::NewViewerLog() {
    std::wstring path = dir_.File(L"viewer" + std::to_wstring(++logs_) + L".log");
    logPaths_.push_back(path);
    return ViewerLog(path);
}

EnvironmentChanges BlackBoxTest::ShowEnvironment(const ViewerLog& log, const std::wstring& mode,
                                                 std::optional<int> seconds) const {
    EnvironmentChanges changes{
        {L"TMP", tempFolder_}, {L"TEMP", tempFolder_}, {L"QM_TESTVIEWER_LOG", log.Path()}};
    changes.emplace_back(L"QM_TESTVIEWER_MODE",
                         mode.empty() ? std::nullopt : std::optional<std::wstring>(mode));
    changes.emplace_back(L"QM_TESTVIEWER_SECONDS",
                         seconds ? std::optional<std::wstring>(std::to_wstring(*seconds)) : std::nullopt);
    return changes;
}

ProgramDriver& BlackBoxTest::Start(const std::wstring& arguments, const EnvironmentChanges& environment,
                                   const std::wstring& currentFolder) {
    programs_.push_back(std::make_unique<ProgramDriver>(arguments, environment,
                                                        currentFolder.empty() ? dir_.Path() : currentFolder));
    return *programs_.back();
}

ProgramDriver& BlackBoxTest::StartShown(const std::wstring& arguments, const EnvironmentChanges& environment,
                                        HWND& mainWindow) {
    ProgramDriver& program = Start(arguments, environment);
    mainWindow = program.WaitForMainWindow();
    return program;
}

std::wstring BlackBoxTest::Presentation(const std::wstring& name) {
    std::wstring path = dir_.File(name);
    qmtest::WriteBytes(path, "not a real presentation");
    return path;
}

std::wstring BlackBoxTest::DeepFolder(std::wstring folder, size_t length) {
    while (folder.size() < length) {
        const size_t remaining = length - folder.size();
        // Never leave one character to fill: a folder name needs one besides its backslash.
        folder += std::wstring(remaining > 61 ? std::min<size_t>(60, remaining - 3) : remaining - 1, L'd');
        folder += L'\\';
        EXPECT_TRUE(CreateDirectoryW(folder.c_str(), nullptr)) << Narrow(folder);
    }
    return folder;
}

void BlackBoxTest::StoreViewer(const std::wstring& path) {
    qm::LibrarySetViewer(kLibraryApplication, qm::ShortString::FromWide(path));
}

std::wstring BlackBoxTest::StoredViewer() const {
    return qm::AnsiToWide(qm::LibraryGetViewer(kLibraryApplication));
}

void BlackBoxTest::SetInstallPath(const std::wstring& path, DWORD type) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kInstallKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        throw std::runtime_error("cannot create the installation key");
    const auto bytes = static_cast<DWORD>((path.size() + 1) * sizeof(wchar_t));
    LSTATUS status =
        RegSetValueExW(key, L"InstallPath", 0, type, reinterpret_cast<const BYTE*>(path.c_str()), bytes);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS)
        throw std::runtime_error("cannot set InstallPath");
}

void BlackBoxTest::DeleteInstallPath() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kInstallKey, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
        return;
    RegDeleteValueW(key, L"InstallPath");
    RegCloseKey(key);
}

ProcessGuard& BlackBoxTest::Guard(DWORD processId) {
    guards_.push_back(std::make_unique<ProcessGuard>(processId));
    return *guards_.back();
}

std::wstring Quoted(const std::wstring& text) {
    return L"\"" + text + L"\"";
}

std::vector<std::wstring> FilesIn(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((folder + L"*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.emplace_back(data.cFileName);
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return names;
}

std::wstring Widen(const std::string& utf8) {
    if (utf8.empty())
        return {};
    int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), n);
    return wide;
}

std::string Narrow(const std::wstring& text) {
    return qmtest::Utf8(text);
}

std::string ListFileBytes(const std::vector<std::wstring>& paths) {
    std::string bytes = "\xFF\xFE";
    auto unit = [&bytes](wchar_t c) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>((c >> 8) & 0xFF);
    };
    for (const std::wstring& path : paths) {
        for (wchar_t c : path)
            unit(c);
        unit(L'\r');
        unit(L'\n');
    }
    return bytes;
}

std::string Hex(const std::string& bytes) {
    return qmtest::Hex(bytes);
}

std::vector<MONITORINFO> DisplayMonitors() {
    std::vector<MONITORINFO> monitors;
    EnumDisplayMonitors(nullptr, nullptr, CollectMonitor, reinterpret_cast<LPARAM>(&monitors));
    return monitors;
}

RECT LibraryMonitorRect(int index) {
    int32_t left = 0, top = 0, width = 0, height = 0;
    ::GetMonitorInfo(index, &left, &top, &width, &height);
    return RECT{left, top, left + width, top + height};
}

std::vector<RECT> NamedMonitors() {
    char text[1024];
    const DWORD n = GetEnvironmentVariableA("QM_TEST_MONITORS", text, sizeof(text));
    std::vector<RECT> monitors;
    int width = 0, height = 0, left = 0, top = 0, used = 0;
    // Without the variable the buffer holds nothing that was written: read nothing then.
    for (const char* rest = n > 0 && n < sizeof(text) ? text : "";
         std::sscanf(rest, " %dx%d%d%d%n", &width, &height, &left, &top, &used) == 4; rest += used)
        monitors.push_back(RECT{left, top, left + width, top + height});
    return monitors;
}

testing::AssertionResult ReportsMonitors(const std::vector<RECT>& monitors) {
    const std::vector<MONITORINFO> real = DisplayMonitors();
    if (real.size() != monitors.size() || GetMonitorCount() != static_cast<int32_t>(monitors.size()))
        return testing::AssertionFailure() << real.size() << " monitors, not " << monitors.size();
    for (size_t i = 0; i < monitors.size(); ++i) {
        const RECT library = LibraryMonitorRect(static_cast<int>(i));
        const bool isReal = std::any_of(real.begin(), real.end(),
                                        [&](const MONITORINFO& m) { return SameRect(m.rcMonitor, library); });
        if (!SameRect(library, monitors[i]) || !isReal)
            return testing::AssertionFailure()
                   << "monitor " << i + 1 << " is " << RectText(library) << ", not " << RectText(monitors[i]);
    }
    return testing::AssertionSuccess();
}

std::vector<HWND> ShowWindows(DWORD viewerProcessId) {
    return TopLevelWindows(viewerProcessId, L"screenClass");
}

} // namespace bb
