// A show asked for on the command line that fails one of the checks before the launch: the box
// that says why, no viewer and no list file, and the main window once the box is closed.
#include "BlackBoxFixture.h"

namespace bb {
namespace {

class LaunchCheckTest : public BlackBoxTest {
protected:
    void ExpectRefused(const std::wstring& presentation, const std::wstring& arguments,
                       const std::wstring& expectedText) {
        ViewerLog log = NewViewerLog();
        ProgramDriver& program = Start(arguments, ShowEnvironment(log));
        HWND box = program.WaitForMessageBox();
        ASSERT_NE(box, nullptr) << "no message box";
        EXPECT_EQ(MessageBoxText(box), expectedText);
        EXPECT_EQ(WindowText(box), L"Brindlecort Quillmont");
        EXPECT_TRUE(MessageBoxHasIcon(box));
        EXPECT_EQ(GetWindow(box, GW_OWNER), program.MainWindow())
            << "the box is not owned by the main window";
        EXPECT_FALSE(program.MainWindowVisible()) << "the main window shows before the box is closed";

        ASSERT_TRUE(PressMessageBoxButton(box, L"OK"));
        HWND main = program.WaitForMainWindow();
        ASSERT_NE(main, nullptr) << "the main window does not come after the box";
        EXPECT_TRUE(program.MessageBoxes().empty());
        HWND list = FindChildOfClass(main, L"ListBox");
        ASSERT_NE(list, nullptr);
        EXPECT_EQ(ListBoxItems(list), std::vector<std::wstring>{presentation});

        EXPECT_FALSE(log.Exists()) << "a viewer was started";
        EXPECT_TRUE(TempFolderFiles().empty()) << "a list file was written";
        EXPECT_TRUE(program.Running());
        Click(FindChild(main, L"E&xit", L"Button"));
        EXPECT_EQ(program.WaitForExit(), std::optional<DWORD>(0));
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

} // namespace
} // namespace bb
