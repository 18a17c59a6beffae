// A show asked for on the command line that fails one of the checks before the launch: the box
// that says why, no viewer and no list file, and the main window once the box is closed.
#include "AnsiText.h"
#include "BlackBoxFixture.h"

#include <regex>

namespace bb {
namespace {

// A regular expression that matches exactly this text.
std::wstring Literal(const std::wstring& text) {
    static const std::wregex special(LR"([.^$|()\[\]{}*+?\\])");
    return std::regex_replace(text, special, L"\\$&");
}

// Where a refused launch could leave a list file, and how its box differs from a check's.
struct Refusal {
    // Added to the show's environment.
    EnvironmentChanges environment;
    // The program's temporary folder, when the environment gives it another.
    std::wstring tempFolder;
    // The general error box has no owner while the main window is hidden.
    bool ownedByMainWindow = true;
};

class LaunchCheckTest : public BlackBoxTest {
protected:
    void ExpectRefused(const std::wstring& presentation, const std::wstring& arguments,
                       const std::wstring& expectedText) {
        ExpectRefusedBox(presentation, arguments, Literal(expectedText), {});
    }

    // The box's text must match the pattern in full.
    void ExpectRefusedBox(const std::wstring& presentation, const std::wstring& arguments,
                          const std::wstring& pattern, const Refusal& refusal) {
        ViewerLog log = NewViewerLog();
        EnvironmentChanges environment = ShowEnvironment(log);
        environment.insert(environment.end(), refusal.environment.begin(), refusal.environment.end());
        const std::wstring temp = refusal.tempFolder.empty() ? TempFolder() : refusal.tempFolder;
        const std::vector<std::wstring> filesBefore = FilesIn(temp);
        ProgramDriver& program = Start(arguments, environment);
        HWND box = program.WaitForMessageBox();
        ASSERT_NE(box, nullptr) << "no message box";
        EXPECT_TRUE(std::regex_match(MessageBoxText(box), std::wregex(pattern)))
            << Narrow(MessageBoxText(box));
        EXPECT_EQ(WindowText(box), L"Brindlecort Quillmont");
        EXPECT_TRUE(MessageBoxHasIcon(box));
        if (refusal.ownedByMainWindow) {
            EXPECT_EQ(GetWindow(box, GW_OWNER), program.MainWindow())
                << "the box is not owned by the main window";
        }
        EXPECT_FALSE(program.MainWindowVisible()) << "the main window shows before the box is closed";

        ASSERT_TRUE(PressMessageBoxButton(box, L"OK"));
        HWND main = program.WaitForMainWindow();
        ASSERT_NE(main, nullptr) << "the main window does not come after the box";
        EXPECT_TRUE(program.MessageBoxes().empty());
        // The keyboard user goes on where the box left off.
        HWND focus = nullptr;
        EXPECT_TRUE(qmtest::WaitFor([&] {
            focus = FocusedWindow(main);
            return IsChild(main, focus) != FALSE;
        })) << "no control has the focus after the box";
        EXPECT_TRUE(SendKeyChord({VK_TAB}) && qmtest::WaitFor([&] {
                        const HWND now = FocusedWindow(main);
                        return now != focus && IsChild(main, now);
                    }))
            << "Tab does not move the focus";
        HWND list = FindChildOfClass(main, L"ListBox");
        ASSERT_NE(list, nullptr);
        EXPECT_EQ(ListBoxItems(list), std::vector<std::wstring>{presentation});

        EXPECT_FALSE(log.Exists()) << "a viewer was started";
        EXPECT_EQ(FilesIn(temp), filesBefore) << "a list file was written";
        EXPECT_TRUE(program.Running());
        Click(FindChild(main, L"E&xit", L"Button"));
        EXPECT_EQ(program.WaitForExit(), std::optional<DWORD>(0));
    }

    // Where U+0100 best-fits to A, a path holding it names its look-alike once converted.
    static testing::AssertionResult BestFitsMacronToA() {
        char bestFit[4] = {};
        WideCharToMultiByte(CP_ACP, 0, L"\u0100", 1, bestFit, 3, nullptr, nullptr);
        if (std::string(bestFit) == "A")
            return testing::AssertionSuccess();
        return testing::AssertionFailure() << "the code page " << GetACP() << " has no best fit for U+0100";
    }

    // The monitor checks are made against the display these tests run on: two monitors, the
    // second smaller than the primary.
    bool HasTwoMonitorsOfDifferentSize() {
        std::vector<MONITORINFO> monitors = DisplayMonitors();
        if (monitors.size() != 2)
            return false;
        auto size = [](const RECT& r) { return std::pair(r.right - r.left, r.bottom - r.top); };
        return size(monitors[0].rcMonitor) != size(monitors[1].rcMonitor);
    }
};

TEST_F(LaunchCheckTest, RefusesAMissingViewer) {
    const std::wstring viewer = Dir().File(L"Viewer\\pptview.exe");
    StoreViewer(viewer);
    const std::wstring show = Presentation(L"a.ppt");
    ExpectRefused(show, Quoted(show) + L" 1", L"PowerPoint Viewer " + viewer + L" does not exist.");
}

// A settings file on the command line that another program holds open is named, not dropped.
TEST_F(LaunchCheckTest, ReportsASettingsFileThatCannotBeReadAndTakesTheOtherWords) {
    const std::wstring settings = Dir().File(L"held.qlmv");
    qmtest::WriteBytes(settings, "[Settings]\r\nPresentation=x.ppt\r\n");
    const HANDLE held = CreateFileW(settings.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    const std::wstring show = Presentation(L"a.ppt");
    ExpectRefused(show, Quoted(settings) + L" " + Quoted(show) + L" 1 /l",
                  L"The settings file " + settings +
                      L" cannot be read; another program may hold it open. Nothing was loaded.");
    CloseHandle(held);
}

TEST_F(LaunchCheckTest, RefusesAViewerPathThatNamesAFolder) {
    const std::wstring folder = Dir().File(L"pptview.exe");
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    StoreViewer(folder);
    const std::wstring show = Presentation(L"a.ppt");
    ExpectRefused(show, Quoted(show) + L" 1", L"PowerPoint Viewer " + folder + L" does not exist.");
}

TEST_F(LaunchCheckTest, RefusesAMonitorTheSystemDoesNotHave) {
    if (!HasTwoMonitorsOfDifferentSize())
        GTEST_SKIP() << "needs two monitors of different sizes";
    const std::wstring show = Presentation(L"a.ppt");
    ExpectRefused(show, Quoted(show) + L" 3", L"This system does not have monitor 3");
}

TEST_F(LaunchCheckTest, RefusesAMonitorWhoseResolutionDiffersFromThePrimary) {
    if (!HasTwoMonitorsOfDifferentSize())
        GTEST_SKIP() << "needs two monitors of different sizes";
    const std::wstring show = Presentation(L"a.ppt");
    ExpectRefused(
        show, Quoted(show) + L" 2",
        L"Monitor 2 does not have the same resolution as the primary monitor. Quillmont requires these "
        L"monitors to have same resolutions.");
}

// The general error box reports what stops a launch once the checks have passed; every drawn
// name stands for any number.
const std::wstring kAnyListFile = L"quillmont\\d+\\.txt";

TEST_F(LaunchCheckTest, ReportsATemporaryFolderWithoutAFreeName) {
    for (int number = 0; number < 1024; ++number)
        qmtest::WriteBytes(TempFolder() + L"quillmont" + std::to_wstring(number) + L".txt", "");
    const std::wstring show = Presentation(L"a.ppt");
    // The folder is quoted so that the closing period does not stick to its backslash.
    ExpectRefusedBox(show, Quoted(show) + L" 1",
                     Literal(L"No free name for a list file in \"" + TempFolder() + L"\""), {{}, {}, false});
}

TEST_F(LaunchCheckTest, ReportsATemporaryFolderWhereNoFileCanBeCreated) {
    const std::wstring blocker = Dir().File(L"blocker");
    qmtest::WriteBytes(blocker, "a file, not a folder");
    const std::wstring temp = blocker + L"\\temp\\";
    const std::wstring show = Presentation(L"a.ppt");
    ExpectRefusedBox(show, Quoted(show) + L" 1",
                     Literal(L"Cannot create file \"" + temp) + kAnyListFile + L"\"\\. .+",
                     {{{L"TMP", temp}, {L"TEMP", temp}}, temp, false});
}

// The folder is judged by the longest name that the draw can give: in this one only the
// four-digit names are too long, and with those taken every name the draw could give would fit.
TEST_F(LaunchCheckTest, RefusesAListFilePathTheLibraryWouldCut) {
    const std::wstring temp = DeepFolder(TempFolder(), 239);
    for (int number = 1000; number < 1024; ++number)
        qmtest::WriteBytes(temp + L"quillmont" + std::to_wstring(number) + L".txt", "");
    const std::wstring show = Presentation(L"a.ppt");
    ExpectRefusedBox(show, Quoted(show) + L" 1",
                     Literal(L"Cannot start the show: the list file path \"" + temp +
                             L"quillmont1023.txt\" is longer than 255 bytes."),
                     {{{L"TMP", temp}, {L"TEMP", temp}}, temp, false});
}

// Cut to 255 bytes, the path would name another viewer, which would then be started.
TEST_F(LaunchCheckTest, RefusesAViewerPathTheLibraryWouldCut) {
    const std::wstring viewer = DeepFolder(Dir().Path(), 244) + L"pptview.exe.exe";
    ASSERT_EQ(viewer.size(), 259u);
    for (const std::wstring& copy : {viewer, viewer.substr(0, 255)})
        ASSERT_TRUE(CopyFileW(TestViewerPath().c_str(), copy.c_str(), FALSE));
    const std::wstring show = Presentation(L"a.ppt");
    const std::wstring settings = Dir().File(L"viewer.qlmv");
    qmtest::WriteBytes(settings, "[Settings]\r\nPowerPoint Viewer=" + qm::WideToAnsi(viewer) +
                                     "\r\nStart Monitor=1\r\nTotalPresentationCount=1\r\n[Presentations]\r\n"
                                     "Presentation1=" +
                                     qm::WideToAnsi(show) + "\r\n");
    ExpectRefusedBox(
        show, Quoted(settings),
        Literal(L"Cannot start the show: the viewer path \"" + viewer + L"\" is longer than 255 bytes."),
        {{}, {}, false});

    // Exactly 255 bytes fit, and start the viewer they name.
    StoreViewer(viewer.substr(0, 255));
    ViewerLog log = NewViewerLog();
    Start(Quoted(show) + L" 1", ShowEnvironment(log));
    EXPECT_TRUE(qmtest::WaitFor([&] { return log.Has("list"); }, 15s))
        << "the viewer of 255 bytes did not start";
}

TEST_F(LaunchCheckTest, ALaunchThatStartsNoViewerLeavesNoListFile) {
    const std::wstring broken = Dir().File(L"broken.exe");
    qmtest::WriteBytes(broken, "not a program");
    StoreViewer(broken);
    const std::wstring show = Presentation(L"a.ppt");
    HWND main = nullptr;
    ProgramDriver& program = StartShown(Quoted(show) + L" 1", ShowEnvironment(NewViewerLog()), main);
    ASSERT_NE(main, nullptr) << "the main window does not come after the failed launch";
    EXPECT_TRUE(program.MessageBoxes().empty());
    EXPECT_TRUE(TempFolderFiles().empty()) << "the list file was left behind";
}

// A viewer path that the code page cannot hold is refused, never handed on as the path that
// a best-fit conversion makes of it, however well that names an existing viewer.
TEST_F(LaunchCheckTest, RefusesAViewerPathTheCodePageCannotHold) {
    ASSERT_TRUE(BestFitsMacronToA());
    const std::wstring viewer = Dir().File(L"\u0100viewer.exe");
    ASSERT_TRUE(CopyFileW(TestViewerPath().c_str(), viewer.c_str(), FALSE));
    ASSERT_TRUE(CopyFileW(TestViewerPath().c_str(), Dir().File(L"Aviewer.exe").c_str(), FALSE));
    const std::wstring show = Presentation(L"a.ppt");
    ViewerLog log = NewViewerLog();
    HWND main = nullptr;
    ProgramDriver& program = StartShown(Quoted(show) + L" 1 /l", ShowEnvironment(log), main);
    ASSERT_NE(main, nullptr);
    HWND edit = FindChild(main, TestViewerPath(), L"Edit");
    ASSERT_NE(edit, nullptr);
    SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(viewer.c_str()));
    HWND start = FindChild(main, L"&Start Show", L"Button");
    ASSERT_TRUE(qmtest::WaitFor([&] { return IsWindowEnabled(start) != FALSE; }));
    Click(start);
    HWND box = program.WaitForMessageBox();
    ASSERT_NE(box, nullptr) << "no message box";
    EXPECT_EQ(MessageBoxText(box), L"Cannot start the show: the viewer path \"" + viewer +
                                       L"\" holds characters that the system code page cannot represent.");
    ASSERT_TRUE(PressMessageBoxButton(box, L"OK"));
    EXPECT_TRUE(qmtest::WaitFor([&] { return program.MessageBoxes().empty(); }));
    EXPECT_FALSE(log.Exists()) << "a viewer was started";
    EXPECT_TRUE(TempFolderFiles().empty()) << "a list file was written";
}

// The viewer that App Paths registers, for as long as the object lives.
class RegisteredViewer {
public:
    RegisteredViewer(const std::wstring& path, DWORD type) { Set(path, type); }
    ~RegisteredViewer() { RegDeleteKeyW(HKEY_LOCAL_MACHINE, kKey); }
    RegisteredViewer(const RegisteredViewer&) = delete;
    RegisteredViewer& operator=(const RegisteredViewer&) = delete;

    void Set(const std::wstring& path, DWORD type) {
        EXPECT_EQ(RegSetKeyValueW(HKEY_LOCAL_MACHINE, kKey, nullptr, type, path.c_str(),
                                  static_cast<DWORD>((path.size() + 1) * sizeof(wchar_t))),
                  ERROR_SUCCESS);
    }

private:
    static constexpr const wchar_t* kKey =
        L"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\PPTVIEW.EXE";
};

// A stored or registered viewer path that the code page cannot hold counts as none: best-fitted,
// it would name a look-alike, which would then be started.
TEST_F(LaunchCheckTest, ALookAlikeOfAStoredOrRegisteredViewerNeverStarts) {
    ASSERT_TRUE(BestFitsMacronToA());
    ASSERT_TRUE(CreateDirectoryW(Dir().File(L"A").c_str(), nullptr));
    const std::wstring lookAlike = Dir().File(L"A\\pptview.exe"), foreign = Dir().File(L"\u0100");
    ASSERT_TRUE(CopyFileW(TestViewerPath().c_str(), lookAlike.c_str(), FALSE));
    const std::wstring stored = foreign + L"\\pptview.exe";
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\Brindlecort Quillmont",
                              L"PowerPoint Viewer 2003 Executable", REG_SZ, stored.c_str(),
                              static_cast<DWORD>((stored.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
    RegisteredViewer registered(L"%QM_VIEWER_FOLDER%\\pptview.exe", REG_EXPAND_SZ);
    const std::wstring show = Presentation(L"a.ppt");
    ExpectRefusedBox(show, Quoted(show) + L" 1", Literal(L"PowerPoint Viewer  does not exist."),
                     {{{L"QM_VIEWER_FOLDER", foreign}}, {}, true});

    registered.Set(lookAlike, REG_SZ);
    ViewerLog log = NewViewerLog();
    Start(Quoted(show) + L" 1", ShowEnvironment(log));
    EXPECT_TRUE(qmtest::WaitFor([&] { return log.Has("list"); }, 15s))
        << "the registered viewer did not start";
}

// Runs in a ctest entry of its own, in which a preloaded library lets a list file take only its
// first bytes before the disk is full; elsewhere list files are written whole and it is skipped.
TEST_F(LaunchCheckTest, AListFileWhoseWritingFailsIsDeleted) {
    const std::wstring probe = TempFolder() + L"quillmont0.txt";
    qmtest::WriteBytes(probe, std::string(64, 'x'));
    const size_t written = qmtest::ReadBytes(probe).size();
    ASSERT_TRUE(DeleteFileW(probe.c_str()));
    if (written == 64)
        GTEST_SKIP() << "list files are written whole here";
    const std::wstring show = Presentation(L"a.ppt");
    ExpectRefusedBox(show, Quoted(show) + L" 1",
                     Literal(L"Cannot write file \"" + TempFolder()) + kAnyListFile + L"\"\\. .+",
                     {{}, {}, false});
}

} // namespace
} // namespace bb
