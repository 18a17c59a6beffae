#pragma once
// What every black-box test sets up around the program: a private folder for presentations,
// settings files, language files, the viewer's log and the program's temporary folder; the
// installation folder in the registry; the viewer path stored through the presentation library.
#include "ProgramDriver.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace bb {

// The log that the test viewer appends to, one line per event.
class ViewerLog {
public:
    explicit ViewerLog(std::wstring path) : path_(std::move(path)) {}

    const std::wstring& Path() const { return path_; }
    bool Exists() const { return qmtest::FileExists(path_); }
    std::vector<std::string> Lines() const;
    // Lines that begin with the word, followed by a blank or ending there.
    std::vector<std::string> LinesOf(const std::string& word) const;
    size_t Count(const std::string& word) const { return LinesOf(word).size(); }
    bool Has(const std::string& word) const { return Count(word) > 0; }
    std::vector<DWORD> ProcessIds() const;
    // The list file that the viewer was given after "/L".
    std::optional<std::wstring> ListFile() const;

private:
    std::wstring path_;
};

class BlackBoxTest : public testing::Test {
protected:
    BlackBoxTest();
    ~BlackBoxTest() override;

    const qmtest::TempDir& Dir() const { return dir_; }
    // The program's temporary folder (TMP and TEMP), where its list files go; trailing backslash.
    const std::wstring& TempFolder() const { return tempFolder_; }
    std::vector<std::wstring> TempFolderFiles() const;

    // A fresh log for the next viewer.
    ViewerLog NewViewerLog();
    // TMP, TEMP and the viewer's log; QM_TESTVIEWER_MODE and QM_TESTVIEWER_SECONDS as given,
    // removed otherwise.
    EnvironmentChanges ShowEnvironment(const ViewerLog& log, const std::wstring& mode = {},
                                       std::optional<int> seconds = std::nullopt) const;
    // The program runs until the test ends it or the fixture kills it.
    ProgramDriver& Start(const std::wstring& arguments, const EnvironmentChanges& environment,
                         const std::wstring& currentFolder = {});
    // Starts the program and waits for its visible main window (null when none came).
    ProgramDriver& StartShown(const std::wstring& arguments, const EnvironmentChanges& environment,
                              HWND& mainWindow);

    // A file with a presentation's name in the private folder; the test viewer does not read it.
    std::wstring Presentation(const std::wstring& name);
    // Nested folders below the base folder, made so that the path, final backslash included, is
    // exactly this long.
    static std::wstring DeepFolder(std::wstring folder, size_t length);

    void StoreViewer(const std::wstring& path);
    std::wstring StoredViewer() const;
    void SetInstallPath(const std::wstring& path, DWORD type = REG_SZ);
    void DeleteInstallPath();

    // Viewer processes named in a log, held so that none outlives the test.
    ProcessGuard& Guard(DWORD processId);

private:
    qmtest::TempDir dir_;
    std::wstring tempFolder_;
    int logs_ = 0;
    std::vector<std::wstring> logPaths_;
    std::vector<std::unique_ptr<ProcessGuard>> guards_;
    std::vector<std::unique_ptr<ProgramDriver>> programs_;
};

std::wstring Quoted(const std::wstring& text);
// The names of the files (not folders) in a folder.
std::vector<std::wstring> FilesIn(const std::wstring& folder);
std::wstring Widen(const std::string& utf8);
std::string Narrow(const std::wstring& text);
// The bytes that a list file of these paths holds: the UTF-16 LE mark, then each path and CR LF.
std::string ListFileBytes(const std::vector<std::wstring>& paths);
std::string Hex(const std::string& bytes);

// The monitors as Windows enumerates them, and the rectangle that the presentation library
// gives for a zero-based monitor index.
std::vector<MONITORINFO> DisplayMonitors();
RECT LibraryMonitorRect(int index);
// The monitors that a run on a display of its own names in QM_TEST_MONITORS, in the library's
// order ("WIDTHxHEIGHT+X+Y ..."); empty on the shared display.
std::vector<RECT> NamedMonitors();
// Windows and the presentation library report exactly these monitors.
testing::AssertionResult ReportsMonitors(const std::vector<RECT>& monitors);

// The show windows ("screenClass") of a viewer process, in EnumWindows order.
std::vector<HWND> ShowWindows(DWORD viewerProcessId);

} // namespace bb
