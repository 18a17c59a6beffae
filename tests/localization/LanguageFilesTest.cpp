#include "L10NTestSupport.h"
#include "LocalizerCore.h"

#include <chrono>
#include <map>
#include <set>

using l10ntest::LoadFolder;
using l10ntest::LocalizerTest;
using l10ntest::Utf16;
using l10ntest::Utf8;
using l10ntest::WriteLanguage;

using namespace std::string_literals;

namespace {

std::vector<std::wstring> Lines(std::wstring_view text) {
    std::vector<std::wstring> lines;
    qm::DivideL10NLines(text, [&](std::wstring_view line) { lines.emplace_back(line); });
    return lines;
}

std::vector<std::wstring> Split(std::wstring_view line, std::wstring_view separator = L"~") {
    std::vector<std::wstring> fields;
    qm::SplitString(line, separator, fields);
    return fields;
}

std::vector<qm::TStringResource> Entries(std::wstring_view text) {
    return qm::ParseL10NText(text)->Entries;
}

std::wstring Escaped(std::wstring text) {
    qm::ApplyReplacePatterns(text);
    return text;
}

bool SameEntries(const std::vector<qm::TStringResource>& a, const std::vector<qm::TStringResource>& b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i].Section != b[i].Section || a[i].Key != b[i].Key || a[i].Text != b[i].Text ||
            a[i].Hint != b[i].Hint)
            return false;
    }
    return true;
}

// The names of a folder's "*.lcl" files in the order the platform's search returns them.
std::vector<std::string> SearchOrder(const qmtest::TempDir& dir) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found{};
    HANDLE search = FindFirstFileA((qm::WideToAnsi(dir.Path()) + "*.lcl").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do
        names.push_back(found.cFileName);
    while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

// Each file names itself in its one entry, so that a loaded language shows where it came from.
void WriteNamedLanguage(const qmtest::TempDir& dir, const std::wstring& name) {
    WriteLanguage(dir, name, L"File~Name~\"" + name + L"\"\r\n");
}

std::string Origin(const qm::TL10NResource& language) {
    return language.Entries.empty() ? std::string() : qm::WideToAnsi(language.Entries[0].Text);
}

double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

TEST_F(LocalizerTest, FileNamesAreHexadecimalLanguageIdentifiers) {
    qmtest::TempDir dir;
    const std::map<std::wstring, uint32_t> languages = {{L"0409.lcl", 0x0409},
                                                        {L"409.lcl", 0x0409},
                                                        {L"7.lcl", 7},
                                                        {L"0007.lcl", 7},
                                                        {L"De.lcl", 0xDE},
                                                        {L"0000000409.lcl", 0x0409},
                                                        {L"FFFFFFFF.lcl", 0xFFFFFFFF}};
    const std::vector<std::wstring> others = {
        L"en.lcl",        L"0409-old.lcl", L"0409.bak.lcl", L".lcl",     L"0.lcl",    L"00000000.lcl",
        L"100000000.lcl", L"0x409.lcl",    L" 409.lcl",     L"+409.lcl", L"0409.txt", L"0409.lcl.txt"};
    for (const auto& [name, id] : languages)
        WriteNamedLanguage(dir, name);
    for (const auto& name : others)
        WriteNamedLanguage(dir, name);

    LoadFolder(dir);

    std::vector<std::string> expectedOrder;
    for (const auto& name : SearchOrder(dir))
        if (languages.count(qm::AnsiToWide(name)))
            expectedOrder.push_back(name);
    std::vector<std::string> loadedOrder;
    for (const auto& language : qm::L10NResources) {
        std::string origin = Origin(*language);
        loadedOrder.push_back(origin);
        auto known = languages.find(qm::AnsiToWide(origin));
        ASSERT_NE(known, languages.end()) << origin << " gave a language";
        EXPECT_EQ(language->ID, known->second) << origin;
    }
    EXPECT_EQ(loadedOrder, expectedOrder);
}

TEST(FileBaseName, FolderAndExtensionAreRemoved) {
    EXPECT_EQ(qm::GetFileBaseName("C:\\Program Files\\Q\\Messages\\0409.lcl"), "0409");
    EXPECT_EQ(qm::GetFileBaseName("0409.bak.lcl"), "0409.bak");
    EXPECT_EQ(qm::GetFileBaseName("C:\\dir.d\\name"), "name");
    EXPECT_EQ(qm::GetFileBaseName("C:7.lcl"), "7");
    EXPECT_EQ(qm::GetFileBaseName(".lcl"), "");
    EXPECT_EQ(qm::GetFileBaseName("plain"), "plain");
}

TEST(FileBaseName, OnlyPlainHexadecimalNumbersWithin32BitsAreIdentifiers) {
    EXPECT_EQ(qm::L10NIdFromBaseName("0c0A"), 0x0C0Au);
    EXPECT_EQ(qm::L10NIdFromBaseName("000000000000ffffffff"), 0xFFFFFFFFu);
    for (const char* invalid : {"", "100000000", "0x1", "-1", "1 ", " 1", "g", "04.09"})
        EXPECT_EQ(qm::L10NIdFromBaseName(invalid), 0u) << invalid;
}

TEST_F(LocalizerTest, DirectoriesAreSkippedAndFilesOfAnyAttributeLoad) {
    qmtest::TempDir dir;
    ASSERT_TRUE(CreateDirectoryW(dir.File(L"0408.lcl").c_str(), nullptr));
    WriteNamedLanguage(dir, L"0405.lcl");
    WriteNamedLanguage(dir, L"0406.lcl");
    WriteNamedLanguage(dir, L"0407.lcl");
    const std::map<std::wstring, DWORD> attributes = {{L"0405.lcl", FILE_ATTRIBUTE_HIDDEN},
                                                      {L"0406.lcl", FILE_ATTRIBUTE_READONLY},
                                                      {L"0407.lcl", FILE_ATTRIBUTE_SYSTEM}};
    for (const auto& [name, attribute] : attributes)
        SetFileAttributesW(dir.File(name).c_str(), attribute);

    LoadFolder(dir);

    for (const auto& [name, attribute] : attributes)
        SetFileAttributesW(dir.File(name).c_str(), FILE_ATTRIBUTE_NORMAL);
    std::set<uint32_t> ids;
    for (const auto& language : qm::L10NResources)
        ids.insert(language->ID);
    EXPECT_EQ(ids, (std::set<uint32_t>{0x0405, 0x0406, 0x0407}));
}

TEST_F(LocalizerTest, FolderIsFoundWithOrWithoutClosingBackslash) {
    qmtest::TempDir dir;
    WriteNamedLanguage(dir, L"0409.lcl");
    std::wstring path = dir.Path();
    path.pop_back();
    qm::LoadL10NResources(path);
    ASSERT_EQ(qm::L10NResources.size(), 1u);
    EXPECT_EQ(qm::L10NResources[0]->ID, 0x0409u);

    qm::LoadL10NResources(L"");
    qm::LoadL10NResources(path + L"\\missing");
    EXPECT_EQ(qm::L10NResources.size(), 1u);
}

TEST_F(LocalizerTest, FileThatCannotBeOpenedIsSkippedAndTheOthersLoad) {
    qmtest::TempDir dir;
    WriteNamedLanguage(dir, L"0409.lcl");
    WriteNamedLanguage(dir, L"0407.lcl");
    HANDLE held = CreateFileW(dir.File(L"0409.lcl").c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_EQ(qm::LoadL10NFile(dir.File(L"0409.lcl")), nullptr);
    LoadFolder(dir);
    CloseHandle(held);
    ASSERT_EQ(qm::L10NResources.size(), 1u);
    EXPECT_EQ(qm::L10NResources[0]->ID, 0x0407u);
}

TEST_F(LocalizerTest, LinesOfFewerThanThreeFieldsAreSkippedAndTheRestOfTheFileLoads) {
    qmtest::TempDir dir;
    WriteLanguage(dir, L"0409.lcl",
                  L"no tilde\r\none~tilde\r\n   \r\nS~K~\"ok\"\r\n~~\r\nS~K2~\"after\"\r\n");
    LoadFolder(dir);
    ASSERT_EQ(qm::L10NResources.size(), 1u);
    const auto& entries = qm::L10NResources[0]->Entries;
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].Text, L"ok");
    EXPECT_TRUE(entries[1].Section.empty() && entries[1].Key.empty() && entries[1].Text.empty());
    EXPECT_EQ(entries[2].Text, L"after");
}

TEST_F(LocalizerTest, EveryEncodingGivesTheSameEntries) {
    const std::wstring text = L"MainForm~AddButtonW~\"&Hinzuf\u00FCgen...\"~\"Pr\u00E4sentation\"\r\n"
                              L"<SP>~MainForm:NoMonitor~\"Kein Monitor %s1%\"\r\n";
    if (qm::AnsiToWide(qm::WideToAnsi(text)) != text)
        GTEST_SKIP() << "the ANSI code page lacks umlauts";
    const std::vector<std::pair<std::wstring, std::string>> files = {{L"1.lcl", Utf16(text, false)},
                                                                     {L"2.lcl", Utf16(text, true)},
                                                                     {L"3.lcl", Utf8(text)},
                                                                     {L"4.lcl", qm::WideToAnsi(text)}};
    qmtest::TempDir dir;
    for (const auto& [name, bytes] : files)
        qmtest::WriteBytes(dir.File(name), bytes);
    LoadFolder(dir);

    ASSERT_EQ(qm::L10NResources.size(), 4u);
    const auto& first = qm::L10NResources[0]->Entries;
    ASSERT_EQ(first.size(), 2u);
    EXPECT_EQ(first[0].Section, "MainForm");
    EXPECT_EQ(first[0].Key, "AddButtonW");
    EXPECT_EQ(first[0].Text, L"&Hinzuf\u00FCgen...");
    EXPECT_EQ(first[0].Hint, L"Pr\u00E4sentation");
    EXPECT_EQ(first[1].Key, "MainForm:NoMonitor");
    for (const auto& language : qm::L10NResources)
        EXPECT_TRUE(SameEntries(language->Entries, first)) << std::hex << language->ID;
}

TEST(Decoding, Utf16MarksOddBytesAndNul) {
    const std::wstring text = L"a\u0416\u20AC";
    EXPECT_EQ(qm::DecodeL10NBytes(Utf16(text, false)), text);
    EXPECT_EQ(qm::DecodeL10NBytes(Utf16(text, true)), text);
    EXPECT_EQ(qm::DecodeL10NBytes(Utf16(text, false) + "X"), text);
    EXPECT_EQ(qm::DecodeL10NBytes(Utf16(text, true) + "X"), text);
    EXPECT_EQ(qm::DecodeL10NBytes("\xFF\xFE"), L"");
    EXPECT_EQ(qm::DecodeL10NBytes("\xFE\xFF"
                                  "A"),
              L"");
    EXPECT_EQ(qm::DecodeL10NBytes(Utf16(std::wstring(L"ab\0cd", 5), false)), L"ab");
}

TEST(Decoding, Utf8SequencesAndBrokenSequences) {
    const std::wstring text = L"A\u00E9\u0416\u20AC\uFFFD";
    EXPECT_EQ(qm::DecodeL10NBytes(Utf8(text)), text);
    EXPECT_EQ(qm::DecodeL10NBytes("\xEF\xBB\xBF"), L"");
    // A broken sequence anywhere, even behind a NUL, empties the whole text.
    for (const std::string& broken : {"ok\xC3"s, "ok\xE2\x82"s,
                                      "ok\xC3"
                                      "A"s,
                                      "ok\xE2\x82"
                                      "A"s,
                                      "ok\0x\xC3"s})
        EXPECT_EQ(qm::DecodeL10NBytes("\xEF\xBB\xBF" + broken), L"") << broken;
    // A character outside the Basic Multilingual Plane cannot be written.
    EXPECT_EQ(qm::DecodeL10NBytes("\xEF\xBB\xBF"
                                  "ok\xF0\x9F\x98\x80"),
              L"");
    EXPECT_EQ(qm::DecodeL10NBytes(std::string("\xEF\xBB\xBF"
                                              "ab\0cd",
                                              8)),
              L"ab");
}

TEST(Decoding, TextWithoutMarkIsAnsi) {
    const std::string utf8 = "Gr\xC3\xB6\xC3\x9F"
                             "e~x";
    std::wstring decoded = qm::DecodeL10NBytes(utf8);
    EXPECT_EQ(decoded, qm::AnsiToWide(utf8));
    EXPECT_EQ(decoded.substr(0, 2), L"Gr");
    EXPECT_EQ(decoded.substr(decoded.size() - 3), L"e~x");
    EXPECT_EQ(qm::DecodeL10NBytes(std::string("ab\0cd", 5)), L"ab");
    EXPECT_EQ(qm::DecodeL10NBytes("\xFF"), qm::AnsiToWide("\xFF"));
    EXPECT_EQ(qm::DecodeL10NBytes("\xEF\xBB"), qm::AnsiToWide("\xEF\xBB"));
}

TEST(Decoding, ConversionInPiecesMatchesConversionWhole) {
    std::string ansi;
    for (int i = 0; i < 300; ++i)
        ansi += static_cast<char>(i % 3 == 0 ? ' ' + i % 32 : 0x40 + (i * 7) % 0xBF);
    ansi += std::string(40, 'x') + "tail";
    for (std::size_t piece : {3u, 7u, 16u, 64u})
        EXPECT_EQ(qm::AnsiToWideInPieces(ansi, piece), qm::AnsiToWide(ansi)) << piece;

    const std::wstring wide = L"ab\xD83D\xDE00"
                              L"cd\u00E9\xD83D\xDE01";
    for (std::size_t piece : {2u, 3u, 4u, 5u})
        EXPECT_EQ(qm::WideToAnsiInPieces(wide, piece), qm::WideToAnsi(wide)) << piece;
}

TEST(Lines, CrLfLfAndCrEndLinesAndLfCrIsTwoEnds) {
    using V = std::vector<std::wstring>;
    EXPECT_EQ(Lines(L"a\r\nb\nc\rd"), (V{L"a", L"b", L"c", L"d"}));
    EXPECT_EQ(Lines(L"a\n\rb"), (V{L"a", L"", L"b"}));
    EXPECT_EQ(Lines(L"a\r\r\nb\r\n"), (V{L"a", L"", L"b"}));
    EXPECT_EQ(Lines(L"\r\n\n"), (V{L"", L""}));
    EXPECT_EQ(Lines(L""), V{});
    EXPECT_EQ(Lines(std::wstring_view(L"a\nb\0c\nd", 7)), (V{L"a", L"b"}));
}

TEST(Lines, MixedLineEndsGiveTheSameEntries) {
    const std::wstring crlf = L"S~A~\"1\"\r\nS~B~\"2\"\r\nS~C~\"3\"\r\n";
    EXPECT_TRUE(SameEntries(Entries(L"S~A~\"1\"\nS~B~\"2\"\rS~C~\"3\""), Entries(crlf)));
    EXPECT_TRUE(SameEntries(Entries(L"S~A~\"1\"\n\rS~B~\"2\"\n\r\n\rS~C~\"3\"\n"), Entries(crlf)));
    EXPECT_EQ(Entries(crlf).size(), 3u);
}

TEST(Fields, TildesCutLinesIntoFields) {
    using V = std::vector<std::wstring>;
    EXPECT_EQ(Split(L"a~~b"), (V{L"a", L"", L"b"}));
    EXPECT_EQ(Split(L"a~"), (V{L"a", L""}));
    EXPECT_EQ(Split(L"~"), (V{L"", L""}));
    EXPECT_EQ(Split(L"a"), V{L"a"});
    EXPECT_EQ(Split(L""), V{L""});
    EXPECT_EQ(Split(L"a::b:c::", L"::"), (V{L"a", L"b:c", L""}));
    EXPECT_EQ(Split(L"a~b", L""), V{L"a~b"});

    V fields{L"kept"};
    qm::SplitString(L"x~y", L"~", fields);
    EXPECT_EQ(fields, (V{L"kept", L"x", L"y"}));
    fields.clear();
    qm::SplitString(L"a~b~c~d~e~f", L"~", fields, 4);
    EXPECT_EQ(fields, (V{L"a", L"b", L"c", L"d"}));
}

TEST(Entries, TextAndHintLoseTheirFirstAndLastCharacter) {
    auto entries = Entries(L"S~K~\"Caption\"\n"
                           L"S~K~\"Caption\" \n"
                           L"S~K~\"\"~\"x\"\n"
                           L"S~K~x~\n"
                           L"S~K~\n"
                           L" S ~ K ~'padded'\n"
                           L"S~K~\"Open the~file\"~\"tip\"\n"
                           L"S~K~\"t\"~\"h\"~\"five\"~\"six\"\n");
    ASSERT_EQ(entries.size(), 8u);
    EXPECT_EQ(entries[0].Text, L"Caption");
    EXPECT_EQ(entries[0].Hint, L"");
    EXPECT_EQ(entries[1].Text, L"Caption\"");
    EXPECT_EQ(entries[2].Text, L"");
    EXPECT_EQ(entries[2].Hint, L"x");
    EXPECT_EQ(entries[3].Text, L"");
    EXPECT_EQ(entries[4].Text, L"");
    EXPECT_EQ(entries[5].Section, " S ");
    EXPECT_EQ(entries[5].Key, " K ");
    EXPECT_EQ(entries[5].Text, L"padded");
    EXPECT_EQ(entries[6].Text, L"Open th");
    EXPECT_EQ(entries[6].Hint, L"ile");
    EXPECT_EQ(entries[7].Hint, L"h");
}

TEST(Entries, CommentsAreJudgedByTheFirstCharacterOnly) {
    auto entries = Entries(L";MainForm~x~\"y\"\n ;MainForm~x~\"y\"\n;\nS~K~\"first\"\nS~K~\"second\"\n");
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].Section, " ;MainForm");
    EXPECT_EQ(entries[1].Text, L"first");
    EXPECT_EQ(entries[2].Text, L"second");
}

TEST(Escapes, FourEscapesAreResolvedInTextAndHintOnly) {
    EXPECT_EQ(Escaped(L"a<1310>b<13><10>c"), L"a\r\nb\r\nc");
    EXPECT_EQ(Escaped(L"<13>|<10>|<9>"), L"\r|\n|\t");
    EXPECT_EQ(Escaped(L"<11><9<1310<T13>"), L"<11><9<1310<T13>");
    EXPECT_EQ(Escaped(L"<<9>9>"), L"<\t9>");

    auto entries = Entries(L"<9>S~<13>K~\"a<9>b\"~\"<1310>\"\nS~K~\"a<1~3>b\"\n");
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].Section, "<9>S");
    EXPECT_EQ(entries[0].Key, "<13>K");
    EXPECT_EQ(entries[0].Text, L"a\tb");
    EXPECT_EQ(entries[0].Hint, L"\r\n");
    EXPECT_EQ(entries[1].Text, L"a<");
    EXPECT_EQ(entries[1].Hint, L">b");
}

TEST(Escapes, FinalizationEmptiesTheTablesAndInitializationRefillsThem) {
    qm::L10NResources.push_back(qm::NewL10NResource());
    qm::FinalizeLocalizer();
    EXPECT_TRUE(qm::L10NResources.empty());
    EXPECT_EQ(Escaped(L"a<13>"), L"a<13>");
    qm::InitializeLocalizer();
    EXPECT_EQ(Escaped(L"a<13>"), L"a\r");
}

TEST_F(LocalizerTest, MalformedFilesLoadWithoutHarmToTheOthers) {
    qmtest::TempDir dir;
    std::string junk;
    uint32_t seed = 12345;
    for (int i = 0; i < (1 << 20); ++i) {
        seed = seed * 1103515245u + 12345u;
        junk += static_cast<char>(seed >> 24);
    }
    const std::vector<std::pair<std::wstring, std::string>> files = {
        {L"1.lcl", junk},
        {L"2.lcl", "\xFF\xFE" + junk},
        {L"3.lcl", "\xFE\xFF" + junk},
        {L"4.lcl", "\xEF\xBB\xBF" + junk},
        {L"5.lcl", "\xFF\xFE"
                   "S"},
        {L"6.lcl", Utf8(L"S~K~\"ok\"\r\n") + "\xC3"},
        {L"7.lcl", std::string(100000, '\0') + "S~K~\"hidden\"\r\n"},
        {L"8.lcl", std::string(1 << 20, '~') + "\r\n" + std::string(1 << 20, '\n')},
        {L"9.lcl", ""},
    };
    for (const auto& [name, bytes] : files)
        qmtest::WriteBytes(dir.File(name), bytes);
    WriteLanguage(dir, L"0409.lcl", L"S~K~\"ok\"\r\n");

    auto start = std::chrono::steady_clock::now();
    LoadFolder(dir);
    EXPECT_LT(SecondsSince(start), 30.0);

    std::map<uint32_t, std::size_t> entryCounts;
    for (const auto& language : qm::L10NResources)
        entryCounts[language->ID] = language->Entries.size();
    EXPECT_EQ(entryCounts.size(), files.size() + 1);
    EXPECT_EQ(entryCounts[5], 0u);
    EXPECT_EQ(entryCounts[6], 0u);
    EXPECT_EQ(entryCounts[7], 0u);
    EXPECT_EQ(entryCounts[8], 1u);
    EXPECT_EQ(entryCounts[9], 0u);
    EXPECT_EQ(entryCounts[0x0409], 1u);
}

TEST_F(LocalizerTest, HugeLinesLoadInLinearTime) {
    constexpr std::size_t kSize = 50u << 20;
    qmtest::TempDir dir;
    qmtest::WriteBytes(dir.File(L"1.lcl"), "S~K~\"" + std::string(kSize, 'x') + "\"~\"h\"\r\nS~K2~\"b\"\r\n");
    qmtest::WriteBytes(dir.File(L"2.lcl"), std::string(kSize, '~'));
    qmtest::WriteBytes(dir.File(L"3.lcl"), std::string(kSize, 'y'));
    std::wstring escapes = L"S~K~\"";
    for (int i = 0; i < (1 << 20); ++i)
        escapes += L"<13><10><9>";
    qmtest::WriteBytes(dir.File(L"4.lcl"), Utf16(escapes + L"\"", false));

    auto start = std::chrono::steady_clock::now();
    LoadFolder(dir);
    EXPECT_LT(SecondsSince(start), 60.0);

    std::map<uint32_t, const qm::TL10NResource*> byId;
    for (const auto& language : qm::L10NResources)
        byId[language->ID] = language.get();
    ASSERT_EQ(byId.size(), 4u);
    ASSERT_EQ(byId[1]->Entries.size(), 2u);
    EXPECT_EQ(byId[1]->Entries[0].Text.size(), kSize);
    EXPECT_EQ(byId[1]->Entries[0].Hint, L"h");
    EXPECT_EQ(byId[1]->Entries[1].Text, L"b");
    ASSERT_EQ(byId[2]->Entries.size(), 1u);
    EXPECT_TRUE(byId[2]->Entries[0].Section.empty() && byId[2]->Entries[0].Hint.empty());
    EXPECT_TRUE(byId[3]->Entries.empty());
    ASSERT_EQ(byId[4]->Entries.size(), 1u);
    const std::wstring& text = byId[4]->Entries[0].Text;
    ASSERT_EQ(text.size(), 3u << 20);
    EXPECT_EQ(text.substr(text.size() - 6), L"\r\n\t\r\n\t");
}

} // namespace
