// The program as a German user starts it, with the language files that ship with it.
#include "BlackBoxFixture.h"

#include <commctrl.h>

namespace bb {
namespace {

class GermanUserTest : public BlackBoxTest {};

TEST_F(GermanUserTest, ShippedGermanTextsAreChosenForTheUsersLanguage) {
    // This test runs with LANG=de_DE.UTF-8; the program inherits the language from it.
    ASSERT_EQ(GetUserDefaultLangID(), 0x0407) << "Wine did not take German from LANG";
    std::wstring install = qmtest::BinDir();
    ASSERT_TRUE(qmtest::FileExists(install + L"Messages\\0407.lcl"));
    install.pop_back();
    SetInstallPath(install);

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
    Click(FindChild(main, L"&Beenden", L"Button"));
    EXPECT_EQ(program.WaitForExit(), std::optional<DWORD>(0));
    DeleteInstallPath();
}

} // namespace
} // namespace bb
