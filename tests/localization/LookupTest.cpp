#include "L10NTestSupport.h"

using l10ntest::LoadFolder;
using l10ntest::LocalizerTest;
using l10ntest::WriteLanguage;

namespace {

// Adds a language with one message entry that tells the languages apart.
const qm::TL10NResource* AddLanguage(uint32_t id, const std::wstring& marker) {
    auto language = qm::NewL10NResource();
    language->ID = id;
    language->Entries.push_back({"<SP>", "Which", marker, L""});
    qm::L10NResources.push_back(std::move(language));
    return qm::L10NResources.back().get();
}

std::wstring Chosen(uint32_t langId) {
    const qm::TL10NResource* language = qm::FindL10NResource(langId);
    return language ? language->Entries[0].Text : L"none";
}

std::wstring Fmt(const std::string& key, const std::wstring& defaultText, const std::wstring& value1,
                 const std::wstring& value2 = L"") {
    return qm::LocalizeMessageFmt(0x0409, key, defaultText, value1, value2);
}

TEST_F(LocalizerTest, FirstExactMatchWinsOverEveryPrimaryLanguageMatch) {
    AddLanguage(0x0009, L"english");
    AddLanguage(0x0409, L"us 1");
    AddLanguage(0x0409, L"us 2");
    AddLanguage(0x0009, L"english 2");
    EXPECT_EQ(Chosen(0x0409), L"us 1");
    EXPECT_EQ(Chosen(0x0009), L"english");
}

TEST_F(LocalizerTest, WithoutExactMatchTheLastPrimaryLanguageWins) {
    AddLanguage(0x0007, L"german 1");
    AddLanguage(0x0009, L"english 1");
    AddLanguage(0x0407, L"germany");
    AddLanguage(0x0009, L"english 2");
    AddLanguage(0x0007, L"german 2");
    EXPECT_EQ(Chosen(0x0809), L"english 2");
    EXPECT_EQ(Chosen(0x0C07), L"german 2");
    // The primary language is the low ten bits.
    EXPECT_EQ(Chosen(0xFC07), L"german 2");
    EXPECT_EQ(Chosen(0x0507), L"none");
}

TEST_F(LocalizerTest, ALanguageOfAnotherSublanguageIsNeverChosen) {
    EXPECT_EQ(Chosen(0x0409), L"none");
    AddLanguage(0x0409, L"us");
    AddLanguage(0x10409, L"high bits");
    EXPECT_EQ(Chosen(0x0809), L"none");
    EXPECT_EQ(Chosen(0x0009), L"none");
    EXPECT_EQ(Chosen(0x10409), L"high bits");
}

TEST_F(LocalizerTest, EntryLookupIsExactAndTheFirstEntryWins) {
    auto language = qm::NewL10NResource();
    language->Entries = {{"MainForm", "AddButtonW", L"first", L"hint 1"},
                         {"MainForm", "AddButtonW", L"second", L"hint 2"},
                         {"MainForm", "Exit", L"exit", L""}};
    std::wstring text = L"kept", hint = L"kept too";
    EXPECT_TRUE(qm::FindStringResource(*language, "MainForm", "AddButtonW", text, hint));
    EXPECT_EQ(text, L"first");
    EXPECT_EQ(hint, L"hint 1");
    EXPECT_TRUE(qm::FindStringResource(*language, "MainForm", "Exit", text, hint));
    EXPECT_EQ(hint, L"");

    text = L"kept";
    hint = L"kept too";
    for (auto [section, key] : {std::pair{"mainform", "AddButtonW"}, std::pair{"MainForm", "addbuttonw"},
                                std::pair{"MainForm ", "AddButtonW"}, std::pair{"MainForm", "AddButton"},
                                std::pair{"MainForm", "ExitButton"}, std::pair{"<ALL>", "AddButtonW"}}) {
        EXPECT_FALSE(qm::FindStringResource(*language, section, key, text, hint)) << section << key;
    }
    EXPECT_EQ(text, L"kept");
    EXPECT_EQ(hint, L"kept too");
}

TEST_F(LocalizerTest, MessagesWithoutLanguageAreTheirDefaultsWithEscapesAndValues) {
    EXPECT_EQ(qm::LocalizeMessageFmt(0x0409, "MainForm:MonitorCountMulti", L"This system has %s1% monitors.",
                                     L"3", L""),
              L"This system has 3 monitors.");
    EXPECT_EQ(qm::LocalizeMessage(0x0409, "MainForm:X", L"a<13>b<1310>c<9>"), L"a\rb\r\nc\t");
    AddLanguage(0x0407, L"german");
    EXPECT_EQ(qm::LocalizeMessage(0x0409, "Which", L"default<10>"), L"default\n");
}

TEST_F(LocalizerTest, MessagesComeFromSectionSpOfTheChosenLanguageOnly) {
    qmtest::TempDir dir;
    WriteLanguage(dir, L"0409.lcl",
                  L"<ALL>~MainForm:A~\"from all\"\r\n"
                  L"MainForm~MainForm:A~\"from form\"\r\n"
                  L"MainForm~MainForm:B~\"from form\"\r\n"
                  L"<SP>~MainForm:B~\"Line 1<13><10>line 2\"~\"ignored hint\"\r\n"
                  L"<SP>~MainForm:Empty~\"\"\r\n"
                  L"<SP>~MainForm:Empty~\"second\"\r\n");
    WriteLanguage(dir, L"0007.lcl", L"<SP>~MainForm:C~\"only german\"\r\n");
    LoadFolder(dir);
    ASSERT_EQ(qm::L10NResources.size(), 2u);

    EXPECT_EQ(qm::LocalizeMessage(0x0409, "MainForm:A", L"default A"), L"default A");
    EXPECT_EQ(qm::LocalizeMessage(0x0409, "MainForm:B", L"default B"), L"Line 1\r\nline 2");
    EXPECT_EQ(qm::LocalizeMessage(0x0409, "MainForm:Empty", L"default"), L"");
    EXPECT_EQ(qm::LocalizeMessage(0x0409, "MainForm:C", L"default C"), L"default C");
    // The chosen language lacks the key: its default still has its escapes resolved.
    EXPECT_EQ(qm::LocalizeMessage(0x0409, "MainForm:C", L"a<13>b<1310>c<9>"), L"a\rb\r\nc\t");
    EXPECT_EQ(qm::LocalizeMessage(0x0C07, "MainForm:C", L"default C"), L"only german");
    EXPECT_EQ(qm::LocalizeMessage(0x0809, "MainForm:B", L"default B"), L"default B");
}

TEST_F(LocalizerTest, StoredTextsAreNotResolvedAgain) {
    auto language = qm::NewL10NResource();
    language->ID = 0x0409;
    language->Entries.push_back({"<SP>", "Raw", L"keep <13> as written", L""});
    qm::L10NResources.push_back(std::move(language));
    EXPECT_EQ(qm::LocalizeMessage(0x0409, "Raw", L"default"), L"keep <13> as written");
}

TEST_F(LocalizerTest, PlaceholdersAreFilledFromLeftToRight) {
    EXPECT_EQ(Fmt("K", L"%s1% and %s1%", L"x"), L"x and x");
    EXPECT_EQ(Fmt("K", L"<%s1%>", L"%s1%"), L"<%s1%>");
    EXPECT_EQ(Fmt("K", L"%S1% %s1", L"x"), L"%S1% %s1");
    EXPECT_EQ(Fmt("K", L"a%s2%b", L"x"), L"ab");
    EXPECT_EQ(Fmt("K", L"%s2%-%s1%", L"1", L"2"), L"2-1");
    // A value is put in as it stands, even when it holds a placeholder.
    EXPECT_EQ(Fmt("K", L"PowerPoint Viewer %s1% does not exist.", L"C:\\a%s2%b\\pptview.exe"),
              L"PowerPoint Viewer C:\\a%s2%b\\pptview.exe does not exist.");
    EXPECT_EQ(Fmt("K", L"%s1%s2%", L"%", L"2"), L"%s2%");
    EXPECT_EQ(Fmt("K", L"%s1%%s1%1%", L"%"), L"%%1%");
}

TEST_F(LocalizerTest, TranslatedMessagesTakeTheValuesToo) {
    auto language = qm::NewL10NResource();
    language->ID = 0x0409;
    language->Entries = {{"<SP>", "MainForm:NoMonitor", L"Kein Monitor %s1% (%S1%) %s2%", L""},
                         {"<SP>", "MainForm:ClearConfirmation", L"Alle %s1% leeren?", L""}};
    qm::L10NResources.push_back(std::move(language));
    EXPECT_EQ(Fmt("MainForm:NoMonitor", L"This system does not have monitor %s1%", L"3"),
              L"Kein Monitor 3 (%S1%) ");
    EXPECT_EQ(qm::LocalizeMessage(0x0409, "MainForm:ClearConfirmation", L"Clear?"), L"Alle %s1% leeren?");
}

} // namespace
