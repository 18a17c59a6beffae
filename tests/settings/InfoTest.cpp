#include "Info.h"
#include "AnsiText.h"
#include "Application.h"
#include "Handles.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <stdexcept>

namespace {

using List = std::vector<std::wstring>;

bool NamesFile(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The plain reading that LoadInfo must agree with: one profile read for every position.
List ReadEveryPosition(const std::string& file, int32_t first, int32_t last) {
    List list;
    for (int64_t i = first; i <= last; ++i) {
        char buffer[2048];
        std::string key = "Presentation" + std::to_string(i);
        DWORD n =
            GetPrivateProfileStringA("Presentations", key.c_str(), "", buffer, sizeof buffer, file.c_str());
        std::string path(buffer, n);
        if (NamesFile(path))
            list.push_back(qm::AnsiToWide(path));
    }
    return list;
}

class SettingsFile : public ::testing::Test {
protected:
    qmtest::TempDir dir;
    std::string file = qm::WideToAnsi(dir.File(L"settings.qlmv"));

    // An existing presentation file, by its ANSI path.
    std::string Present(const std::string& name) {
        std::string path = qm::WideToAnsi(dir.Path()) + name;
        qmtest::WriteBytes(qm::AnsiToWide(path), "x");
        return path;
    }
    std::string Missing(const std::string& name) { return qm::WideToAnsi(dir.Path()) + name; }
    void WriteText(const std::string& text) { qmtest::WriteBytes(qm::AnsiToWide(file), text); }
    std::string Text() { return qmtest::ReadBytes(qm::AnsiToWide(file)); }

    std::string Value(const char* section, const char* key) {
        char buffer[8192];
        DWORD n = GetPrivateProfileStringA(section, key, "<absent>", buffer, sizeof buffer, file.c_str());
        return std::string(buffer, n);
    }

    qm::TInfo Load() {
        qm::TInfo info;
        qm::InitInfo(info);
        qm::LoadInfo(qm::AnsiToWide(file), info);
        return info;
    }
};

std::wstring W(const std::string& ansi) {
    return qm::AnsiToWide(ansi);
}

TEST(InfoRecord, InitResetsEverythingButTheViewerAndFreeEmptiesTheList) {
    qm::TInfo info{{L"a", L"b"}, L"viewer.exe", 3, true};
    qm::InitInfo(info);
    EXPECT_TRUE(info.List.empty());
    EXPECT_EQ(info.StartMonitor, 0);
    EXPECT_FALSE(info.CloseAfterShow);
    EXPECT_EQ(info.ViewerFileName, L"viewer.exe");
    info.List = {L"c"};
    qm::FreeInfo(info);
    EXPECT_TRUE(info.List.empty());
    EXPECT_EQ(info.ViewerFileName, L"viewer.exe");
}

TEST_F(SettingsFile, SavedListLoadsBackAppendedInOrder) {
    const std::string a = Present("a.ppt"), b = Present("b.pps"), c = Present("c.pptx");
    qm::TInfo saved{{W(a), W(b), W(a), W(c)}, L"C:\\Viewer\\pptview.exe", -5, false};
    qm::SaveInfo(W(file), saved);

    // A new file holds its keys in the order they are written.
    const std::string text = Text();
    size_t at = 0;
    for (const char* piece :
         {"[Settings]", "Presentation=", "PowerPoint Viewer=", "Start Monitor=-5", "TotalPresentationCount=4",
          "[Presentations]", "Presentation1=", "Presentation2=", "Presentation3=", "Presentation4="}) {
        size_t found = text.find(piece, at);
        ASSERT_NE(found, std::string::npos) << piece << " in\n" << text;
        at = found + std::strlen(piece);
    }
    EXPECT_EQ(Value("Settings", "Presentation"), a);
    EXPECT_EQ(Value("Presentations", "Presentation1"), a);

    qm::TInfo loaded{{L"earlier"}, L"other.exe", 9, true};
    qm::LoadInfo(W(file), loaded);
    EXPECT_EQ(loaded.List, (List{L"earlier", W(a), W(b), W(a), W(c)}));
    EXPECT_EQ(loaded.ViewerFileName, saved.ViewerFileName);
    EXPECT_EQ(loaded.StartMonitor, -5);
    EXPECT_TRUE(loaded.CloseAfterShow);
}

TEST_F(SettingsFile, SinglePresentationIsReadOnlyWithoutAPositiveCount) {
    const std::string listed = Present("listed.ppt"), single = Present("single.ppt");
    WriteText("[Settings]\r\nPresentation=" + single +
              "\r\nTotalPresentationCount=1\r\n[Presentations]\r\nPresentation1=" + listed + "\r\n");
    EXPECT_EQ(Load().List, List{W(listed)});

    // The single value is appended as it stands: no existence test, even when empty.
    const std::string missing = Missing("nowhere.ppt");
    for (const std::string countLine : {"TotalPresentationCount=-2\r\n", "TotalPresentationCount=many\r\n",
                                        "TotalPresentationCount=\r\n", "TotalPresentationCount=0\r\n", ""}) {
        WriteText("[Settings]\r\n" + countLine + "Presentation=" + missing +
                  "\r\n[Presentations]\r\nPresentation1=" + listed + "\r\n");
        EXPECT_EQ(Load().List, List{W(missing)}) << countLine;
    }
    WriteText("[Settings]\r\nPresentation=\r\n[Presentations]\r\nPresentation1=" + listed + "\r\n");
    EXPECT_EQ(Load().List, List{L""});
    WriteText("[Settings]\r\nStart Monitor=2\r\n");
    EXPECT_EQ(Load().List, List{L""});
}

TEST_F(SettingsFile, EntriesNamingNoFileOrAFolderAreSkipped) {
    const std::string first = Present("first.ppt"), last = Present("last.ppt");
    std::string folder = qm::WideToAnsi(dir.Path());
    folder.pop_back();
    WriteText("[Settings]\r\nTotalPresentationCount=4\r\n[Presentations]\r\nPresentation1=" + first +
              "\r\nPresentation2=" + Missing("gone.ppt") + "\r\nPresentation3=" + folder +
              "\r\nPresentation4=" + last + "\r\n");
    EXPECT_EQ(Load().List, (List{W(first), W(last)}));
}

TEST_F(SettingsFile, ShorterListLeavesOtherKeysThatLoadingIgnores) {
    WriteText("[Other]\r\nkeep=1\r\n");
    std::vector<std::string> paths;
    for (const char* name : {"1.ppt", "2.ppt", "3.ppt", "4.ppt", "5.ppt", "6.ppt", "7.ppt"})
        paths.push_back(Present(name));
    qm::SaveInfo(W(file), {{W(paths[0]), W(paths[1]), W(paths[2]), W(paths[3]), W(paths[4])}, L"", 1, false});
    qm::SaveInfo(W(file), {{W(paths[5]), W(paths[6])}, L"", 2, false});

    EXPECT_EQ(Value("Settings", "TotalPresentationCount"), "2");
    EXPECT_EQ(Value("Presentations", "Presentation1"), paths[5]);
    EXPECT_EQ(Value("Presentations", "Presentation2"), paths[6]);
    for (int i : {3, 4, 5})
        EXPECT_EQ(Value("Presentations", ("Presentation" + std::to_string(i)).c_str()), paths[i - 1]);
    EXPECT_EQ(Value("Other", "keep"), "1");
    EXPECT_EQ(Load().List, (List{W(paths[5]), W(paths[6])}));
}

TEST_F(SettingsFile, IntegersFollowTheNumberRule) {
    const std::string a = Present("a.ppt"), b = Present("b.ppt"), c = Present("c.ppt");
    const std::string presentations = "[Presentations]\r\nPresentation1=" + a + "\r\nPresentation2=" + b +
                                      "\r\nPresentation3=" + c + "\r\n";
    const std::pair<const char*, int32_t> cases[] = {{"0x2", 2},         {"$2", 2},  {"2x", 0},
                                                     {"\" 7\"", 7},      {"-3", -3}, {"2147483648", 0},
                                                     {"0x000000002", 2}, {"", 0}};
    for (auto [value, expected] : cases) {
        WriteText(std::string("[Settings]\r\nStart Monitor=") + value + "\r\n");
        EXPECT_EQ(Load().StartMonitor, expected) << value;
    }
    WriteText("[Settings]\r\nTotalPresentationCount=$2\r\nPresentation=" + c + "\r\n" + presentations);
    EXPECT_EQ(Load().List, (List{W(a), W(b)}));
    WriteText("[Settings]\r\nTotalPresentationCount=3x\r\nPresentation=" + c + "\r\n" + presentations);
    EXPECT_EQ(Load().List, List{W(c)});
}

TEST_F(SettingsFile, LongValuesAreWrittenAsTheyStandNamedAndReadBackCutTo2047Characters) {
    qm::SaveInfo(W(file), {{L"x.ppt"}, L"", 1, false});
    EXPECT_EQ(Value("Settings", "PowerPoint Viewer"), "");
    qm::TInfo loaded{{}, L"old.exe", 0, false};
    qm::LoadInfo(W(file), loaded);
    EXPECT_EQ(loaded.ViewerFileName, L"");

    const std::wstring viewer(3000, L'v'), longest(2047, L'p'), tooLong(2048, L'q');
    EXPECT_EQ(qm::SaveInfo(W(file), {{longest, tooLong}, viewer, 1, false}), (List{viewer, tooLong}));
    EXPECT_EQ(Value("Settings", "PowerPoint Viewer").size(), 3000u);
    EXPECT_EQ(Load().ViewerFileName, viewer.substr(0, 2047));
}

// The reader trims blanks at either end and takes off quotes that stand at both ends.
TEST_F(SettingsFile, ValuesTheReaderTrimsOrUnquotesAreNamed) {
    const List list{L" a.ppt", L"b.ppt\t", L"\"c.ppt\"", L"'d.ppt'", L"'e.ppt", L"f.ppt"};
    EXPECT_EQ(qm::SaveInfo(W(file), {list, L"v.exe ", 1, false}),
              (List{L" a.ppt", L"v.exe ", L"b.ppt\t", L"\"c.ppt\"", L"'d.ppt'"}));
    EXPECT_EQ(Value("Presentations", "Presentation5"), "'e.ppt");
}

TEST_F(SettingsFile, FailedWriteRaisesUnableToWriteAndKeepsNoPhantomValues) {
    const std::string unreachable = Missing("no folder\\settings.qlmv");
    try {
        qm::SaveInfo(W(unreachable), {{L"x.ppt"}, L"", 1, false});
        ADD_FAILURE() << "no error";
    } catch (const tk::Error& e) {
        EXPECT_EQ(e.Message(), L"Unable to write to " + W(unreachable));
    }
    EXPECT_EQ(GetFileAttributesA(Missing("no folder").c_str()), INVALID_FILE_ATTRIBUTES);

    // A file that another program holds open without sharing cannot be written.
    const std::string before = "[Settings]\r\nStart Monitor=3\r\nPowerPoint Viewer=kept.exe\r\n";
    WriteText(before);
    {
        tk::FileHandle held(CreateFileA(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(held);
        try {
            qm::SaveInfo(W(file), {{L"x.ppt"}, L"new.exe", 7, false});
            ADD_FAILURE() << "no error";
        } catch (const tk::Error& e) {
            EXPECT_EQ(e.Message(), L"Unable to write to " + W(file));
        }
    }
    EXPECT_EQ(Text(), before);
    // Loading afterwards sees the file as it is, not the values that could not be written.
    qm::TInfo loaded = Load();
    EXPECT_EQ(loaded.StartMonitor, 3);
    EXPECT_EQ(loaded.ViewerFileName, L"kept.exe");
}

TEST_F(SettingsFile, EmptyListFailsBeforeAnyWrite) {
    EXPECT_THROW(qm::SaveInfo(W(file), {{}, L"viewer.exe", 1, false}), std::out_of_range);
    EXPECT_EQ(GetFileAttributesA(file.c_str()), INVALID_FILE_ATTRIBUTES);
    const std::string before = "[Settings]\r\nStart Monitor=3\r\n";
    WriteText(before);
    EXPECT_THROW(qm::SaveInfo(W(file), {{}, L"viewer.exe", 1, false}), std::out_of_range);
    EXPECT_EQ(Text(), before);
}

TEST_F(SettingsFile, MissingFileGivesOneEmptyEntryAndDefaults) {
    qm::TInfo info{{L"kept.ppt"}, L"old.exe", 4, true};
    qm::LoadInfo(W(Missing("absent.qlmv")), info);
    EXPECT_EQ(info.List, (List{L"kept.ppt", L""}));
    EXPECT_EQ(info.ViewerFileName, L"");
    EXPECT_EQ(info.StartMonitor, 0);
    EXPECT_TRUE(info.CloseAfterShow);
}

// Keys that the profile functions match or miss in ways a shortcut could get wrong, after
// enough other keys that their names do not fit in one small buffer. f[9] must never load.
std::string TrickyPresentations(const std::vector<std::string>& f, const std::string& missing) {
    std::string text = "[Presentations]\r\n";
    for (int i = 0; i < 1500; ++i)
        text += "Filler" + std::to_string(i) + "=x\r\n";
    // clang-format off
    const std::pair<std::string, std::string> lines[] = {
        {"presentation3=", f[3]},          // out of order, lower case
        {"  PRESENTATION1  =", f[1]},      // blanks around the key
        {"Presentation2=", f[2]},          // the first of two equal keys counts
        {"presentation2=", f[9]},
        {"\tPreSentation4\t= ", f[4]},
        {"Presentation05=", f[5]},         // a leading zero makes another key
        {"Presentation+6=", f[6]},
        {"Presentation 7=", f[7]},
        {"Presentation8=", missing},
        {"Presentation11", ""},            // no value, before one with a value
        {"Presentation11=", f[9]},
        {";Presentation12=", f[2]},
        {"Pr\xe9sentation13=", f[3]},
        {"Presentation0=", f[9]},
        {"Presentation-1=", f[9]},
        {"Presentation14x=", f[9]},
        {"Presentation15=", f[5]},
        {"Presentation40=", f[8]},
        {"Presentation41=", f[9]},         // above the count
        {"Presentation4294967297=", f[9]},
        {"Presentation2147483647=", f[7]},
        {"[Presentations]", ""},           // a second section of the same name
        {"Presentation16=", f[6]},
        {"[ presentations ]", ""},
        {"Presentation17=", f[6]},
    };
    // clang-format on
    for (const auto& [start, value] : lines)
        text += start + value + "\r\n";
    return text;
}

TEST_F(SettingsFile, LoadingAgreesWithReadingEveryPosition) {
    std::vector<std::string> f;
    for (int i = 0; i < 10; ++i)
        f.push_back(Present("f" + std::to_string(i) + ".ppt"));
    const std::string presentations = TrickyPresentations(f, Missing("missing.ppt"));

    WriteText("[Settings]\r\nTotalPresentationCount=40\r\n" + presentations);
    const List expected = ReadEveryPosition(file, 1, 40);
    // What the platform is known to do with these keys: case and surrounding blanks do not
    // matter, the first of two equal keys wins, and position 40 is the last one read.
    ASSERT_GE(expected.size(), 5u);
    EXPECT_EQ(List(expected.begin(), expected.begin() + 4), (List{W(f[1]), W(f[2]), W(f[3]), W(f[4])}));
    EXPECT_EQ(expected.back(), W(f[8]));
    EXPECT_EQ(std::count(expected.begin(), expected.end(), W(f[9])), 0);
    EXPECT_EQ(Load().List, expected);

    // A damaged count: only the keys present cost anything, and the last position counts too.
    WriteText("[Settings]\r\nTotalPresentationCount=2147483647\r\n" + presentations);
    List whole = ReadEveryPosition(file, 1, 100);
    const List top = ReadEveryPosition(file, INT32_MAX, INT32_MAX);
    ASSERT_EQ(top, List{W(f[7])});
    whole.insert(whole.end(), top.begin(), top.end());
    EXPECT_EQ(Load().List, whole);
}

// A file name or a value that the code page lacks a character of is never turned into another
// one by a best fit: the file is the one named, and the character becomes the default one.
TEST_F(SettingsFile, ValuesAndFileNamesTheCodePageLacksAreNeverBestFitted) {
    const std::wstring named = dir.File(L"\u0141\u0100.qlmv");
    const std::string a = Present("a.ppt");
    const std::wstring odd = dir.File(L"\u0100.ppt");
    EXPECT_EQ(qm::SaveInfo(named, {{odd, W(a), odd}, L"\u0100.exe", 2, false}), (List{odd, L"\u0100.exe"}));

    ASSERT_TRUE(qmtest::FileExists(named)) << "the settings went to another file";
    const std::string text = qmtest::ReadBytes(named);
    const std::string oddAnsi = qm::WideToAnsi(dir.Path()) + "?.ppt";
    for (const std::string& line : {"Presentation=" + oddAnsi, std::string("PowerPoint Viewer=?.exe"),
                                    "Presentation1=" + oddAnsi, "Presentation3=" + oddAnsi})
        EXPECT_NE(text.find(line + "\r\n"), std::string::npos) << line << " in\n" << text;

    qm::TInfo loaded;
    qm::LoadInfo(named, loaded);
    EXPECT_EQ(loaded.List, List{W(a)});
    EXPECT_EQ(loaded.ViewerFileName, L"?.exe");
    EXPECT_EQ(loaded.StartMonitor, 2);
}

// A UTF-16 file holds every character: the paths load as they stand and are saved back so.
TEST_F(SettingsFile, Utf16FileKeepsPathsTheCodePageLacks) {
    const std::wstring polish = dir.File(L"\u0142za.ppt"), plain = W(Present("a.ppt"));
    const std::wstring viewer = L"C:\\\u0100\\pptview.exe", tooLong(2048, L'q');
    qmtest::WriteBytes(polish, "x");
    auto utf16 = [](const std::wstring& text) {
        return std::string(reinterpret_cast<const char*>(text.data()), text.size() * 2);
    };
    qmtest::WriteBytes(W(file), utf16(L"\uFEFF[Settings]\r\nTotalPresentationCount=2\r\nPowerPoint Viewer=" +
                                      viewer + L"\r\n[Presentations]\r\nPresentation1=" + polish +
                                      L"\r\nPresentation2=" + plain + L"\r\n"));
    qm::TInfo loaded = Load();
    EXPECT_EQ(loaded.List, (List{polish, plain}));
    EXPECT_EQ(loaded.ViewerFileName, viewer);

    // Only what is too long for the reader is named.
    EXPECT_EQ(qm::SaveInfo(W(file), {{plain, polish, tooLong}, viewer, 1, false}), List{tooLong});
    EXPECT_NE(Text().find(utf16(L"Presentation2=" + polish + L"\r\n")), std::string::npos);
    EXPECT_EQ(Load().List, (List{plain, polish}));
}

// Generated files of many lines in the ways a hand-edited file may hold them: keys repeated, in
// other letter case, with blanks, without "=", beyond the count, with letters beyond ASCII;
// values quoted, half quoted, blank, far too long, naming a folder or nothing.
TEST_F(SettingsFile, LoadingGeneratedFilesAgreesWithReadingEveryPosition) {
    std::vector<std::string> values;
    for (int i = 0; i < 6; ++i) {
        const std::string path = Present("g" + std::to_string(i) + ".ppt");
        for (const std::string& value :
             {path, "\"" + path + "\"", "'" + path + "'", "\"" + path, path + "'", "'" + path + "\"",
              " \t" + path + "  ", "\"  " + path + "\"", "\"\"" + path + "\"\""})
            values.push_back(value);
    }
    std::string folder = qm::WideToAnsi(dir.Path());
    values.insert(values.end(), {folder.substr(0, folder.size() - 1), Missing("none.ppt"), "", "\"", "\"\"",
                                 "'", std::string(2046, 'a'), "\"" + std::string(2047, 'b') + "\"",
                                 "'" + std::string(3000, 'c') + "'", "x=" + values[0]});
    const std::string names[] = {"Presentation",    "presentation",    "PRESENTATION",  " Presentation",
                                 "\tpresentation ", "Pr\xe9sentation", "Presentation0", "Presentatio"};

    uint32_t seed = 12345;
    auto next = [&seed](uint32_t below) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 8) % below;
    };
    for (int round = 0; round < 8; ++round) {
        const int32_t lines = 40 + static_cast<int32_t>(next(200));
        const int32_t count =
            round % 4 == 3 ? INT32_MAX : lines / 4 + static_cast<int32_t>(next(static_cast<uint32_t>(lines)));
        std::string text =
            "[Settings]\r\nTotalPresentationCount=" + std::to_string(count) + "\r\n[Presentations]\r\n";
        for (int32_t i = 0; i < lines; ++i) {
            const uint32_t kind = next(20);
            const std::string name = names[kind < 12 ? 0 : next(std::size(names))];
            const int32_t position =
                kind == 19 ? INT32_MAX : 1 + static_cast<int32_t>(next(static_cast<uint32_t>(lines)));
            text += name + std::to_string(position);
            // A NUL ends the name in the section's text, but not for the key reader.
            const std::string equals = kind == 17 ? " = " : kind == 15 ? std::string(" \0=", 3) : "=";
            if (kind == 18)
                text += "\r\n";
            else
                text += equals + values[next(static_cast<uint32_t>(values.size()))] + "\r\n";
            if (kind == 16)
                text += next(2) ? ";comment=1\r\n" : "\r\n";
        }
        // A second section of the same name, which the profile functions never read.
        text += "[Other]\r\nPresentation1=" + values[0] +
                "\r\n[presentations]\r\nPresentation1=" + values[0] + "\r\n";
        WriteText(text);
        List expected = ReadEveryPosition(file, 1, std::min(count, lines));
        if (count == INT32_MAX) {
            const List top = ReadEveryPosition(file, INT32_MAX, INT32_MAX);
            expected.insert(expected.end(), top.begin(), top.end());
        }
        ASSERT_GT(expected.size(), 0u) << round;
        EXPECT_EQ(Load().List, expected) << "round " << round << ", count " << count;
    }
}

} // namespace
