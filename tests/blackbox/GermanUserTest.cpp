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
    for (int number = 0; number < 1024; ++number)
        qmtest::WriteBytes(TempFolder() + L"quillmont" + std::to_wstring(number) + L".txt", "");
    const std::wstring show = Presentation(L"a.ppt");
    HWND box = Start(Quoted(show) + L" 1", ShowEnvironment(NewViewerLog())).WaitForMessageBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MessageBoxText(box),
              L"Kein freier Name f\u00fcr eine Listendatei in \u201e" + TempFolder() + L"\u201c.");
    DeleteInstallPath();
}

} // namespace
} // namespace bb
