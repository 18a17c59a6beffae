// The program as a German user starts it, with the language files that ship with it.
#include "BlackBoxFixture.h"

#include <commctrl.h>

#include <cwctype>
#include <map>

namespace bb {
namespace {

class GermanUserTest : public BlackBoxTest {
protected:
    // This test runs with LANG=de_DE.UTF-8 and with de_AT.UTF-8; the program inherits the language
    // from it. One file, named for German of any country, serves both.
    void UseShippedLanguageFiles() {
        ASSERT_EQ(PRIMARYLANGID(GetUserDefaultLangID()), LANG_GERMAN) << "Wine did not take German from LANG";
        std::wstring install = qmtest::BinDir();
        ASSERT_TRUE(qmtest::FileExists(install + L"Messages\\0007.lcl"));
        install.pop_back();
        SetInstallPath(install);
    }
};

TEST_F(GermanUserTest, ShippedGermanTextsAreChosenForTheUsersLanguage) {
    ASSERT_NO_FATAL_FAILURE(UseShippedLanguageFiles());
    HWND main = nullptr;
    ProgramDriver& program = StartShown(L"", {}, main);
    ASSERT_NE(main, nullptr);
    EXPECT_NE(FindChild(main, L"Show s&tarten", L"Button"), nullptr);
    EXPECT_NE(FindChild(main, L"&Hinzuf\u00fcgen...", L"Button"), nullptr);
    EXPECT_EQ(TabCaptions(FindChildOfClass(main, WC_TABCONTROLW)),
              (std::vector<std::wstring>{L"Pr\u00e4sentationen", L"Einstellungen"}));
    const std::wstring count =
        L"Dieses System hat " + std::to_wstring(GetSystemMetrics(SM_CMONITORS)) + L" Monitore.";
    EXPECT_TRUE(qmtest::WaitFor([&] { return FindChild(main, count, L"Static") != nullptr; }));

    // Each access key reaches one control only, so Alt+B is "&Beenden".
    std::map<wchar_t, std::wstring> keys;
    for (HWND child : ChildWindows(main)) {
        const std::wstring text = WindowText(child);
        const size_t amp = text.find(L'&');
        if (amp == std::wstring::npos || amp + 1 == text.size() ||
            (ClassName(child) != L"Button" && ClassName(child) != L"Static"))
            continue;
        const auto key = static_cast<wchar_t>(std::towlower(text[amp + 1]));
        const auto [known, added] = keys.emplace(key, text);
        EXPECT_TRUE(added) << Narrow(text) << " and " << Narrow(known->second) << " share their access key";
    }
    ASSERT_TRUE(BringToForeground(main));
    ASSERT_TRUE(SendKeyChord({VK_MENU, 'B'}));
    EXPECT_EQ(program.WaitForExit(), std::optional<DWORD>(0));
    DeleteInstallPath();
}

TEST_F(GermanUserTest, ARefusedLaunchIsToldInGerman) {
    ASSERT_NO_FATAL_FAILURE(UseShippedLanguageFiles());
    const std::wstring show = Presentation(L"a.ppt");
    // The box that answers a show on the command line with this temporary folder.
    auto refusal = [&](const std::wstring& temp) {
        EnvironmentChanges environment = ShowEnvironment(NewViewerLog());
        environment.insert(environment.end(), {{L"TMP", temp}, {L"TEMP", temp}});
        HWND box = Start(Quoted(show) + L" 1", environment).WaitForMessageBox();
        return box ? MessageBoxText(box) : L"no message box";
    };
    const std::wstring refused = L"Die Show kann nicht gestartet werden: Der Pfad ";
    const std::wstring tooLong = L"\u201c ist l\u00e4nger als 255 Bytes.";
    const std::wstring notRepresentable =
        L"\u201c enth\u00e4lt Zeichen, die die Codepage des Systems nicht darstellen kann.";
    const std::wstring deep = DeepFolder(TempFolder(), 239), foreign = Dir().File(L"\u0100\\");
    ASSERT_TRUE(CreateDirectoryW(foreign.c_str(), nullptr));
    EXPECT_EQ(refusal(deep), refused + L"der Listendatei \u201e" + deep + L"quillmont1023.txt" + tooLong);
    EXPECT_EQ(refusal(foreign),
              refused + L"der Listendatei \u201e" + foreign + L"quillmont1023.txt" + notRepresentable);
    for (int number = 0; number < 1024; ++number)
        qmtest::WriteBytes(TempFolder() + L"quillmont" + std::to_wstring(number) + L".txt", "");
    EXPECT_EQ(refusal(TempFolder()),
              L"Kein freier Name f\u00fcr eine Listendatei in \u201e" + TempFolder() + L"\u201c.");

    // Viewer paths typed into the window, which can hold what a short string cannot.
    HWND main = nullptr;
    ProgramDriver& program = StartShown(Quoted(show) + L" 1 /l", ShowEnvironment(NewViewerLog()), main);
    ASSERT_NE(main, nullptr);
    HWND edit = FindChild(main, TestViewerPath(), L"Edit"),
         start = FindChild(main, L"Show s&tarten", L"Button");
    ASSERT_TRUE(edit && start);
    ASSERT_TRUE(qmtest::WaitFor([&] { return IsWindowEnabled(start) != FALSE; }));
    auto typed = [&](const std::wstring& viewer) {
        EXPECT_TRUE(CopyFileW(TestViewerPath().c_str(), viewer.c_str(), FALSE));
        SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(viewer.c_str()));
        Click(start);
        HWND box = program.WaitForMessageBox();
        if (!box)
            return std::wstring(L"no message box");
        const std::wstring text = MessageBoxText(box);
        PressMessageBoxButton(box, L"OK");
        EXPECT_TRUE(qmtest::WaitFor([&] { return program.MessageBoxes().empty(); }));
        return text;
    };
    const std::wstring longViewer = DeepFolder(Dir().Path(), 244) + L"pptview.exe.exe";
    EXPECT_EQ(typed(longViewer), refused + L"des Viewers \u201e" + longViewer + tooLong);
    EXPECT_EQ(typed(foreign + L"pptview.exe"),
              refused + L"des Viewers \u201e" + foreign + L"pptview.exe" + notRepresentable);
    DeleteInstallPath();
}

} // namespace
} // namespace bb
