#include "CommandLine.h"
#include "Info.h"

#include <gtest/gtest.h>

#include <climits>
#include <map>

namespace {

using Words = std::vector<std::string>;

TEST(SplitCommandLine, SeparatesQuotesAndDropsTheProgram) {
    EXPECT_EQ(qm::SplitCommandLine("quillmont.exe"), Words{});
    EXPECT_EQ(qm::SplitCommandLine("\"C:\\Program Files\\q.exe\" a.ppt 2"), (Words{"a.ppt", "2"}));
    EXPECT_EQ(qm::SplitCommandLine("q \"C:\\My Shows\\a.ppt\"\t/s"), (Words{"C:\\My Shows\\a.ppt", "/s"}));
    // Quotes may stand inside a word; a backslash before a quote is ordinary.
    EXPECT_EQ(qm::SplitCommandLine("q ab\"c d\"e C:\\dir\\\" x"), (Words{"abc de", "C:\\dir\\ x"}));
    // An empty quoted word is no word; control characters separate like blanks.
    EXPECT_EQ(qm::SplitCommandLine("q \"\" a\x01\x1f"
                                   "b \"\"\"\"c"),
              (Words{"a", "b", "c"}));
    // An unterminated quote runs to the end.
    EXPECT_EQ(qm::SplitCommandLine("q \"a b"), (Words{"a b"}));
}

TEST(WordExtension, IsTakenAfterTheLastSeparator) {
    EXPECT_EQ(qm::WordExtension("show.ppt"), ".ppt");
    EXPECT_EQ(qm::WordExtension("C:\\a.b\\show"), "");
    EXPECT_EQ(qm::WordExtension("C:show"), "");
    EXPECT_EQ(qm::WordExtension("x.tar.qlmv"), ".qlmv");
    EXPECT_EQ(qm::WordExtension("D:.ppt"), ".ppt");
}

// Runs the command line with settings files served from a map instead of the disk.
struct Parsed {
    qm::TInfo info;
    int32_t instance = 0;
    int viewerReads = 0;
    std::vector<std::string> loaded;
    qm::CommandLineOutcome outcome;

    explicit Parsed(const Words& words, std::map<std::string, qm::TInfo> files = {}) {
        info.StartMonitor = 1;
        qm::CommandLineSources sources;
        sources.storedViewer = [this] {
            ++viewerReads;
            return std::wstring(L"C:\\stored\\pptview.exe");
        };
        sources.loadSettings = [this, files](const std::string& name, qm::TInfo& target) {
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
    Parsed run({"/L", "/S", "/N", "5", "Show.PPT", "show.ppt", "Week.QLMV", "-l", "/load"});
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
    EXPECT_EQ(Parsed({"a.ppt", "b.ppt"}).info.List, std::vector<std::wstring>{L"a.ppt"});
    Parsed twoShows({"a.ppt", "2", "b.pps"});
    EXPECT_EQ(twoShows.info.List, (std::vector<std::wstring>{L"a.ppt", L"b.pps"}));
    EXPECT_EQ(twoShows.info.StartMonitor, 1);
    EXPECT_EQ(Parsed({"a.ppt", "3"}).info.StartMonitor, 3);
    EXPECT_EQ(Parsed({"a.ppt", "0"}).info.StartMonitor, 1);
    EXPECT_EQ(Parsed({"a.ppt", "-2"}).info.StartMonitor, -2);
    EXPECT_EQ(Parsed({"a.ppt", "$A"}).info.StartMonitor, 10);
    EXPECT_EQ(Parsed({"a.ppt", " 0x1f"}).info.StartMonitor, 31);
    EXPECT_EQ(Parsed({"a.ppt", "2x"}).info.StartMonitor, 1);
    EXPECT_EQ(Parsed({"a.ppt", "99999999999"}).info.StartMonitor, 1);
    // Hexadecimal numbers too must lie within the signed 32-bit range.
    EXPECT_EQ(Parsed({"a.ppt", "-$80000000"}).info.StartMonitor, INT32_MIN);
    // The library is handed a negative index for it, as for every start monitor below 1.
    EXPECT_EQ(qm::MonitorIndex(INT32_MIN), INT32_MIN);
    EXPECT_EQ(Parsed({"a.ppt", "0x00000007FFFFFFF"}).info.StartMonitor, INT32_MAX);
    for (const char* outside : {"-$80000001", "$80000000", "$FFFFFFFF", "-$FFFFFFFF", "4294967295"})
        EXPECT_EQ(Parsed({"a.ppt", outside}).info.StartMonitor, 1) << outside;
    Parsed closeSwitch({"a.ppt", "/s"});
    EXPECT_FALSE(closeSwitch.info.CloseAfterShow);
    Parsed loadOnly({"a.ppt", "/l"});
    EXPECT_FALSE(loadOnly.outcome.loadOnly);
    Parsed settings({"a.ppt", "x.qlmv"});
    EXPECT_TRUE(settings.loaded.empty());
    for (const char* ext : {".pps", ".pptx", ".pptm", ".ppsx", ".ppsm"})
        EXPECT_EQ(Parsed({std::string("a") + ext}).info.List.size(), 1u) << ext;
}

TEST(ApplyCommandLine, InstanceNumberRule) {
    EXPECT_EQ(Parsed({"/n", "5", "/n", "7"}).instance, 7);
    EXPECT_EQ(Parsed({"/n"}).instance, 0);
    EXPECT_EQ(Parsed({"/n", "5", "/n", "$FFFFFFFF"}).instance, 5);
    // A word that is no number is consumed and leaves the number as it was.
    Parsed notANumber({"/n", "5", "/n", "a.ppt"});
    EXPECT_EQ(notANumber.instance, 5);
    EXPECT_TRUE(notANumber.info.List.empty());
}

TEST(ApplyCommandLine, SettingsFilesLoadInOrderAndTheViewerIsReadEveryPass) {
    qm::TInfo x;
    x.List = {L"x1.ppt", L"x2.ppt"};
    x.ViewerFileName = L"C:\\file\\viewer.exe";
    x.StartMonitor = 2;
    std::map<std::string, qm::TInfo> files{{"x.qlmv", x}};

    Parsed only({"x.qlmv"}, files);
    EXPECT_EQ(only.info.List, x.List);
    EXPECT_EQ(only.info.ViewerFileName, x.ViewerFileName);
    EXPECT_EQ(only.info.StartMonitor, 2);

    Parsed then({"x.qlmv", "c.ppt"}, files);
    EXPECT_EQ(then.info.List, (std::vector<std::wstring>{L"x1.ppt", L"x2.ppt", L"c.ppt"}));
    EXPECT_EQ(then.info.ViewerFileName, L"C:\\stored\\pptview.exe");
    EXPECT_EQ(then.info.StartMonitor, 1);

    Parsed twice({"x.qlmv", "x.qlmv"}, files);
    EXPECT_EQ(twice.info.List.size(), 4u);
    EXPECT_EQ(twice.loaded, (std::vector<std::string>{"x.qlmv", "x.qlmv"}));

    // A file without "Start Monitor" leaves 0: only a presentation's number turns 0 into 1.
    Parsed missing({"missing.qlmv"});
    EXPECT_EQ(missing.info.StartMonitor, 0);
    EXPECT_EQ(missing.info.List, std::vector<std::wstring>{L""});
}

} // namespace
