#include "L10NTestSupport.h"

#include "Form.h"
#include "PageControl.h"
#include "StdControls.h"

using l10ntest::LoadFolder;
using l10ntest::LocalizerTest;
using l10ntest::WriteLanguage;

namespace {

// A main window shaped like the program's: a page control with two tab sheets, buttons and
// labels on and off the pages, a group box with a button inside, a list box, an edit and the
// browse button.
struct MainWindow {
    tk::Form form{"MainForm", L"Quillmont", 640, 420, tk::BorderStyle::Single};
    tk::PageControl& pages =
        form.Add<tk::PageControl>(form, "QuillmontPageControlW", tk::Bounds{8, 8, 600, 320});
    tk::TabSheet& presSheet = form.Add<tk::TabSheet>(pages, "PresTabSheetW", L"Presentations");
    tk::TabSheet& settingsSheet = form.Add<tk::TabSheet>(pages, "SettingsTabSheetW", L"Settings");
    tk::Button& add = form.Add<tk::Button>(presSheet, "AddButtonW", tk::Bounds{8, 8, 75, 25}, L"&Add...");
    tk::ListBox& list = form.Add<tk::ListBox>(presSheet, "PPTFileNameListBoxW", tk::Bounds{8, 40, 300, 200});
    tk::Label& label =
        form.Add<tk::Label>(settingsSheet, "Label2W", tk::Bounds{8, 8, 120, 20}, L"Start on monitor:");
    tk::Edit& edit = form.Add<tk::Edit>(settingsSheet, "ViewerFileNameEditW", tk::Bounds{8, 40, 300, 23},
                                        L"C:\\pptview.exe");
    tk::GroupBox& group =
        form.Add<tk::GroupBox>(settingsSheet, "OptionsGroupW", tk::Bounds{8, 80, 300, 100}, L"Options");
    tk::Button& inner = form.Add<tk::Button>(group, "InnerButtonW", tk::Bounds{8, 20, 75, 25}, L"Inner");
    tk::Button& browse =
        form.Add<tk::Button>(settingsSheet, "ViewerFileNameButton", tk::Bounds{320, 40, 26, 26}, L"...");
    tk::Button& exit = form.Add<tk::Button>(form, "ExitButtonW", tk::Bounds{520, 340, 75, 25}, L"E&xit");
    tk::Label& monitors = form.Add<tk::Label>(form, "MonitorsLabelW", tk::Bounds{8, 340, 300, 20}, L"");
};

struct AboutWindow {
    tk::Form form{"AboutForm", L"About Quillmont", 300, 200, tk::BorderStyle::Dialog};
    tk::Button& ok = form.Add<tk::Button>(form, "OKButtonW", tk::Bounds{110, 150, 75, 25}, L"OK");
};

void LoadLanguage(const std::wstring& name, const std::wstring& text) {
    qmtest::TempDir dir;
    WriteLanguage(dir, name, text);
    LoadFolder(dir);
    ASSERT_EQ(qm::L10NResources.size(), 1u);
}

TEST_F(LocalizerTest, FormSectionReplacesAllSectionWhole) {
    LoadLanguage(L"0407.lcl", L"MainForm~AddButtonW~\"&Hinzuf\u00FCgen...\"\r\n"
                              L"<ALL>~AddButtonW~\"All add\"~\"All hint\"\r\n"
                              L"<ALL>~ExitButtonW~\"B&eenden\"~\"Programm beenden\"\r\n"
                              L"<ALL>~OKButtonW~\"Gut\"~\"Schlie\u00DFen\"\r\n"
                              L"MainForm~ExitButtonW~\"Form exit\"\r\n"
                              L"MainForm~AddButtonW~\"second entry\"~\"unused\"\r\n");
    MainWindow main;
    AboutWindow about;
    main.add.SetHint(L"old hint");
    qm::LocalizeForm(main.form, 0x0407);
    qm::LocalizeForm(about.form, 0x0407);

    EXPECT_EQ(main.add.Caption(), L"&Hinzuf\u00FCgen...");
    EXPECT_EQ(main.add.Hint(), L"");
    EXPECT_EQ(main.exit.Caption(), L"Form exit");
    EXPECT_EQ(main.exit.Hint(), L"");
    EXPECT_EQ(about.ok.Caption(), L"Gut");
    EXPECT_EQ(about.ok.Hint(), L"Schlie\u00DFen");
}

TEST_F(LocalizerTest, WindowTakesOnlyDefaultOfItsOwnSection) {
    LoadLanguage(L"0407.lcl", L"<ALL>~<DEFAULT>~\"Everywhere\"~\"x\"\r\n"
                              L"MainForm~<DEFAULT>~\"Quillmont DE\"~\"Start<9>tip\"\r\n");
    MainWindow main;
    AboutWindow about;
    qm::LocalizeForm(main.form, 0x0407);
    qm::LocalizeForm(about.form, 0x0407);
    EXPECT_EQ(main.form.Caption(), L"Quillmont DE");
    EXPECT_EQ(main.form.Hint(), L"Start\ttip");
    EXPECT_EQ(about.form.Caption(), L"About Quillmont");
    EXPECT_EQ(about.form.Hint(), L"");
}

TEST_F(LocalizerTest, ButtonsLabelsGroupBoxesAndTabSheetsTakeTextsAtAnyDepth) {
    LoadLanguage(L"0407.lcl", L"MainForm~PresTabSheetW~\"Pr\u00E4sentationen\"~\"Liste\"\r\n"
                              L"MainForm~Label2W~\"Start auf<13><10>Monitor:\"\r\n"
                              L"MainForm~OptionsGroupW~\"Optionen\"~\"Gruppe\"\r\n"
                              L"MainForm~InnerButtonW~\"Innen\"\r\n"
                              L"MainForm~MonitorsLabelW~\"\"~\"Monitore\"\r\n"
                              L"PresTabSheetW~AddButtonW~\"by parent\"\r\n"
                              L"QuillmontPageControlW~AddButtonW~\"by page control\"\r\n");
    MainWindow main;
    qm::LocalizeForm(main.form, 0x0407);
    EXPECT_EQ(main.presSheet.Caption(), L"Pr\u00E4sentationen");
    EXPECT_EQ(main.presSheet.Hint(), L"Liste");
    EXPECT_EQ(main.settingsSheet.Caption(), L"Settings");
    EXPECT_EQ(main.label.Caption(), L"Start auf\r\nMonitor:");
    EXPECT_EQ(main.group.Caption(), L"Optionen");
    EXPECT_EQ(main.group.Hint(), L"Gruppe");
    EXPECT_EQ(main.inner.Caption(), L"Innen");
    EXPECT_EQ(main.monitors.Caption(), L"");
    EXPECT_EQ(main.monitors.Hint(), L"Monitore");
    // The section is always the window's name, however deep the control lies.
    EXPECT_EQ(main.add.Caption(), L"&Add...");
}

TEST_F(LocalizerTest, OtherKindsAndFixedCaptionsReceiveNothingButAreWalkedInto) {
    LoadLanguage(L"0407.lcl", L"MainForm~PPTFileNameListBoxW~\"Liste\"~\"Listenhinweis\"\r\n"
                              L"<ALL>~ViewerFileNameEditW~\"D:\\other.exe\"~\"Pfad\"\r\n"
                              L"MainForm~QuillmontPageControlW~\"Seiten\"~\"Seitenhinweis\"\r\n"
                              L"MainForm~ViewerFileNameButton~\"Durchsuchen\"~\"Suchen\"\r\n"
                              L"MainForm~OptionsGroupW~\"Optionen\"\r\n"
                              L"MainForm~InnerButtonW~\"Innen\"\r\n"
                              L"MainForm~AddButtonW~\"&Hinzuf\u00FCgen...\"\r\n");
    MainWindow main;
    main.browse.SetFixedCaption(true);
    main.group.SetFixedCaption(true);
    const std::wstring listCaption = main.list.Caption();
    const std::wstring pagesCaption = main.pages.Caption();
    qm::LocalizeForm(main.form, 0x0407);
    EXPECT_EQ(main.list.Caption(), listCaption);
    EXPECT_EQ(main.list.Hint(), L"");
    EXPECT_EQ(main.edit.Text(), L"C:\\pptview.exe");
    EXPECT_EQ(main.edit.Hint(), L"");
    EXPECT_EQ(main.pages.Caption(), pagesCaption);
    EXPECT_EQ(main.pages.Hint(), L"");
    EXPECT_EQ(main.browse.Caption(), L"...");
    EXPECT_EQ(main.browse.Hint(), L"");
    EXPECT_EQ(main.group.Caption(), L"Options");
    EXPECT_EQ(main.inner.Caption(), L"Innen");
    EXPECT_EQ(main.add.Caption(), L"&Hinzuf\u00FCgen...");
}

TEST_F(LocalizerTest, NamesMatchExactlyWithCase) {
    LoadLanguage(L"0407.lcl", L"mainform~ExitButtonW~\"a\"\r\n"
                              L"MainForm~exitbuttonw~\"b\"\r\n"
                              L"MainForm ~ExitButtonW~\"c\"\r\n"
                              L"MainForm~ExitButtonW ~\"d\"\r\n"
                              L"<all>~ExitButtonW~\"e\"\r\n"
                              L"MAINFORM~<DEFAULT>~\"f\"\r\n");
    MainWindow main;
    qm::LocalizeForm(main.form, 0x0407);
    EXPECT_EQ(main.exit.Caption(), L"E&xit");
    EXPECT_EQ(main.form.Caption(), L"Quillmont");
}

TEST_F(LocalizerTest, WindowKeepsItsTextsWhenNoLanguageFits) {
    LoadLanguage(L"0409.lcl", L"MainForm~<DEFAULT>~\"US\"\r\nMainForm~ExitButtonW~\"US exit\"\r\n");
    MainWindow main;
    qm::LocalizeForm(main.form, 0x0809);
    EXPECT_EQ(main.form.Caption(), L"Quillmont");
    EXPECT_EQ(main.exit.Caption(), L"E&xit");
    qm::LocalizeForm(main.form, 0x0409);
    EXPECT_EQ(main.form.Caption(), L"US");
    EXPECT_EQ(main.exit.Caption(), L"US exit");
}

} // namespace
