#include "CommandLine.h"
#include "Info.h"

#include <gtest/gtest.h>

#include <climits>
#include <map>

namespace {

using Words = std::vector<std::wstring>;

TEST(SplitCommandLine, SeparatesQuotesAndDropsTheProgram) {
    EXPECT_EQ(qm::SplitCommandLine(L"quillmont.exe"), Words{});
    EXPECT_EQ(qm::SplitCommandLine(L"\"C:\\Program Files\\q.exe\" a.ppt 2"), (Words{L"a.ppt", L"2"}));
    EXPECT_EQ(qm::SplitCommandLine(L"q \"C:\\My Shows\\a.ppt\"\t/s"), (Words{L"C:\\My Shows\\a.ppt", L"/s"}));
    // Quotes may stand inside a word; a backslash before a quote is ordinary.
    EXPECT_EQ(qm::SplitCommandLine(L"q ab\"c d\"e C:\\dir\\\" x"), (Words{L"abc de", L"C:\\dir\\ x"}));
    // An empty quoted word is no word; control characters separate like blanks.
    EXPECT_EQ(qm::SplitCommandLine(L"q \"\" a\x01\x1f"
                                   L"b \"\"\"\"c"),
              (Words{L"a", L"b", L"c"}));
    // An unterminated quote runs to the end.
    EXPECT_EQ(qm::SplitCommandLine(L"q \"a b"), (Words{L"a b"}));
}

TEST(WordExtension, IsTakenAfterTheLastSeparator) {
    EXPECT_EQ(qm::WordExtension(L"show.ppt"), L".ppt");
    EXPECT_EQ(qm::WordExtension(L"C:\\a.b\\show"), L"");
    EXPECT_EQ(qm::WordExtension(L"C:show"), L"");
    EXPECT_EQ(qm::WordExtension(L"x.tar.qlmv"), L".qlmv");
    EXPECT_EQ(qm::WordExtension(L"D:.ppt"), L".ppt");
}

// Runs the command line with settings files served from a map instead of the disk.
struct Parsed {
    qm::TInfo info;
    int32_t instance = 0;
    int viewerReads = 0;
    std::vector<std::wstring> loaded;
    qm::CommandLineOutcome outcome;

    explicit Parsed(const Words& words, std::map<std::wstring, qm::TInfo> files = {}) {
        info.StartMonitor = 1;
        qm::CommandLineSources sources;
        sources.storedViewer = [this] {
            ++viewerReads;
            return std::wstring(L"C:\\stored\\pptview.exe");
        };
        sources.loadSettings = [this, files](const std::wstring& name, qm::TInfo& target) {
            loaded.push_back(name);
            auto it = files.find(name);
            target.ViewerFileName = it == files.end() ? L"" : it->second.ViewerFileName;
            target.StartMonitor = it == files.end() ? 0 : it->second.StartMonitor;
            if (it == files.end())
                target.List.push_back(L"");
            else
                for (auto& entry : it->second.List)
                    target.List.push_back(entry);
        };
        outcome = qm::ApplyCommandLine(words, info, instance, sources);
    }
};

TEST(ApplyCommandLine, SwitchesIgnoreCaseAndExtensionsDoNot) {
    Parsed run({L"/L", L"/S", L"/N", L"5", L"Show.PPT", L"show.ppt", L"Week.QLMV", L"-l", L"/load"});
    EXPECT_TRUE(run.outcome.loadOnly);
    EXPECT_TRUE(run.info.CloseAfterShow);
    EXPECT_EQ(run.instance, 5);
    // "Week.QLMV" is consumed as the monitor number of show.ppt; nothing is loaded.
    EXPECT_EQ(run.info.List, std::vector<std::wstring>{L"show.ppt"});
    EXPECT_TRUE(run.loaded.empty());
    EXPECT_EQ(run.info.StartMonitor, 1);
    // One read per pass: the words consumed as numbers make no pass of their own.
    EXPECT_EQ(run.viewerReads, 7);
}

TEST(ApplyCommandLine, TheWordAfterAPresentationIsAlwaysItsMonitor) {
    EXPECT_EQ(Parsed({L"a.ppt", L"b.ppt"}).info.List, std::vector<std::wstring>{L"a.ppt"});
    Parsed twoShows({L"a.ppt", L"2", L"b.pps"});
    EXPECT_EQ(twoShows.info.List, (std::vector<std::wstring>{L"a.ppt", L"b.pps"}));
    EXPECT_EQ(twoShows.info.StartMonitor, 1);
    EXPECT_EQ(Parsed({L"a.ppt", L"3"}).info.StartMonitor, 3);
    EXPECT_EQ(Parsed({L"a.ppt", L"0"}).info.StartMonitor, 1);
    EXPECT_EQ(Parsed({L"a.ppt", L"-2"}).info.StartMonitor, -2);
    EXPECT_EQ(Parsed({L"a.ppt", L"$A"}).info.StartMonitor, 10);
    EXPECT_EQ(Parsed({L"a.ppt", L" 0x1f"}).info.StartMonitor, 31);
    EXPECT_EQ(Parsed({L"a.ppt", L"2x"}).info.StartMonitor, 1);
    EXPECT_EQ(Parsed({L"a.ppt", L"99999999999"}).info.StartMonitor, 1);
    // Hexadecimal numbers too must lie within the signed 32-bit range.
    EXPECT_EQ(Parsed({L"a.ppt", L"-$80000000"}).info.StartMonitor, INT32_MIN);
    // The library is handed a negative index for it, as for every start monitor below 1.
    EXPECT_EQ(qm::MonitorIndex(INT32_MIN), INT32_MIN);
    EXPECT_EQ(Parsed({L"a.ppt", L"0x00000007FFFFFFF"}).info.StartMonitor, INT32_MAX);
    for (const wchar_t* outside : {L"-$80000001", L"$80000000", L"$FFFFFFFF", L"-$FFFFFFFF", L"4294967295"})
        EXPECT_EQ(Parsed({L"a.ppt", outside}).info.StartMonitor, 1) << outside;
    Parsed closeSwitch({L"a.ppt", L"/s"});
    EXPECT_FALSE(closeSwitch.info.CloseAfterShow);
    Parsed loadOnly({L"a.ppt", L"/l"});
    EXPECT_FALSE(loadOnly.outcome.loadOnly);
    Parsed settings({L"a.ppt", L"x.qlmv"});
    EXPECT_TRUE(settings.loaded.empty());
    for (const wchar_t* ext : {L".pps", L".pptx", L".pptm", L".ppsx", L".ppsm"})
        EXPECT_EQ(Parsed({std::wstring(L"a") + ext}).info.List.size(), 1u) << ext;
}

TEST(ApplyCommandLine, InstanceNumberRule) {
    EXPECT_EQ(Parsed({L"/n", L"5", L"/n", L"7"}).instance, 7);
    EXPECT_EQ(Parsed({L"/n"}).instance, 0);
    EXPECT_EQ(Parsed({L"/n", L"5", L"/n", L"$FFFFFFFF"}).instance, 5);
    // A word that is no number is consumed and leaves the number as it was.
    Parsed notANumber({L"/n", L"5", L"/n", L"a.ppt"});
    EXPECT_EQ(notANumber.instance, 5);
    EXPECT_TRUE(notANumber.info.List.empty());
}

TEST(ApplyCommandLine, SettingsFilesLoadInOrderAndTheViewerIsReadEveryPass) {
    qm::TInfo x;
    x.List = {L"x1.ppt", L"x2.ppt"};
    x.ViewerFileName = L"C:\\file\\viewer.exe";
    x.StartMonitor = 2;
    std::map<std::wstring, qm::TInfo> files{{L"x.qlmv", x}};

    Parsed only({L"x.qlmv"}, files);
    EXPECT_EQ(only.info.List, x.List);
    EXPECT_EQ(only.info.ViewerFileName, x.ViewerFileName);
    EXPECT_EQ(only.info.StartMonitor, 2);

    Parsed then({L"x.qlmv", L"c.ppt"}, files);
    EXPECT_EQ(then.info.List, (std::vector<std::wstring>{L"x1.ppt", L"x2.ppt", L"c.ppt"}));
    EXPECT_EQ(then.info.ViewerFileName, L"C:\\stored\\pptview.exe");
    EXPECT_EQ(then.info.StartMonitor, 1);

    Parsed twice({L"x.qlmv", L"x.qlmv"}, files);
    EXPECT_EQ(twice.info.List.size(), 4u);
    EXPECT_EQ(twice.loaded, (std::vector<std::wstring>{L"x.qlmv", L"x.qlmv"}));

    // A file without "Start Monitor" leaves 0: only a presentation's number turns 0 into 1.
    Parsed missing({L"missing.qlmv"});
    EXPECT_EQ(missing.info.StartMonitor, 0);
    EXPECT_EQ(missing.info.List, std::vector<std::wstring>{L""});
}

} // namespace
