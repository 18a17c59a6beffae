// Language files in the folder "Messages" below the installation folder that the registry names.
#include "BlackBoxFixture.h"

#include <commctrl.h>

#include <cstdio>
#include <iomanip>
#include <iostream>

namespace bb {
namespace {

class LanguageTest : public BlackBoxTest {
protected:
    // German for the program: LANG as a German user has it, and no LC_ALL that would outweigh it.
    EnvironmentChanges GermanEnvironment(const ViewerLog& log) const {
        EnvironmentChanges environment = ShowEnvironment(log);
        environment.emplace_back(L"LANG", L"de_DE.UTF-8");
        environment.emplace_back(L"LC_ALL", std::nullopt);
        environment.emplace_back(L"LC_MESSAGES", std::nullopt);
        return environment;
    }

    // The language identifier that a process started with this environment receives.
    LANGID ProbeLanguage(const EnvironmentChanges& environment) {
        const std::wstring out = Dir().File(L"langid.txt");
        std::optional<DWORD> code = RunToEnd(qmtest::BinDir() + L"langprobe.exe", Quoted(out), environment);
        EXPECT_EQ(code, std::optional<DWORD>(0)) << "the language probe did not run";
        if (code != std::optional<DWORD>(0))
            return 0;
        return static_cast<LANGID>(std::stoul(qmtest::ReadBytes(out), nullptr, 16));
    }

    void WriteLanguageFile(const std::wstring& folder, LANGID language, const std::string& lines) {
        wchar_t name[16];
        std::swprintf(name, 16, L"%04x.lcl", static_cast<unsigned>(language));
        qmtest::WriteBytes(folder + name, "\xEF\xBB\xBF" + lines);
    }
};

TEST_F(LanguageTest, TextsComeFromTheLanguageFileOfTheUsersLanguage) {
    ViewerLog log = NewViewerLog();
    const EnvironmentChanges environment = GermanEnvironment(log);
    const LANGID language = ProbeLanguage(environment);
    ASSERT_NE(language, 0);
    if (language != 0x0407) {
        // Wine takes a process's language from the process that started it, not from LANG.
        std::cout << "note: a process started with LANG=de_DE.UTF-8 gets language " << std::hex
                  << std::setw(4) << std::setfill('0') << language << std::dec
                  << ", not 0407; the file is named for that language\n";
        RecordProperty("ProbedLanguage", static_cast<int>(language));
    }

    const std::wstring messages = Dir().File(L"Messages\\");
    ASSERT_TRUE(CreateDirectoryW(messages.c_str(), nullptr));
    const std::string texts = "; test texts\r\n"
                              "MainForm~<DEFAULT>~\"Quillmont DE\"\r\n"
                              "MainForm~StartShowButtonW~\"Show s&tarten\"\r\n"
                              "MainForm~PresTabSheetW~\"Pr\xC3\xA4sentationen\"\r\n"
                              "<SP>~MainForm:MonitorCountOne~\"Dieses System hat 1 Monitor.\"\r\n"
                              "<SP>~MainForm:MonitorCountMulti~\"Dieses System hat %s1% Monitore.\"\r\n";
    WriteLanguageFile(messages, language, texts);
    // A folder whose name holds an environment reference, for an expandable value used as it stands.
    const std::wstring unexpanded = Dir().File(L"%SystemRoot%\\");
    ASSERT_TRUE(CreateDirectoryW(unexpanded.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW((unexpanded + L"Messages").c_str(), nullptr));
    WriteLanguageFile(unexpanded + L"Messages\\", language, texts);
    // A folder whose name the code page cannot hold, beside its look-alike with other texts.
    const std::wstring polish = Dir().File(L"\u0141ang\\"), lookAlike = Dir().File(L"Lang\\");
    for (const std::wstring& folder : {polish, lookAlike}) {
        ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
        ASSERT_TRUE(CreateDirectoryW((folder + L"Messages").c_str(), nullptr));
    }
    WriteLanguageFile(polish + L"Messages\\", language, texts);
    WriteLanguageFile(lookAlike + L"Messages\\", language, "MainForm~<DEFAULT>~\"Quillmont other\"\r\n");
    // A file for another language is not used.
    const LANGID other = PRIMARYLANGID(language) == LANG_ITALIAN ? 0x0419 : 0x0410;
    WriteLanguageFile(messages, other,
                      "MainForm~<DEFAULT>~\"Quillmont other\"\r\nMainForm~StartShowButtonW~\"Other\"\r\n");

    const int monitors = GetSystemMetrics(SM_CMONITORS);
    const std::wstring germanCount = monitors == 1
                                         ? std::wstring(L"Dieses System hat 1 Monitor.")
                                         : L"Dieses System hat " + std::to_wstring(monitors) + L" Monitore.";
    std::wstring installFolder = Dir().Path();
    installFolder.pop_back();

    // The installation folder is given without and with its final backslash, unexpanded, and
    // with a letter that the code page lacks.
    const std::pair<std::wstring, DWORD> installs[] = {{installFolder, REG_SZ},
                                                       {installFolder + L"\\", REG_SZ},
                                                       {unexpanded, REG_EXPAND_SZ},
                                                       {polish, REG_SZ}};
    for (const auto& [install, type] : installs) {
        SCOPED_TRACE(Narrow(install));
        SetInstallPath(install, type);
        HWND main = nullptr;
        ProgramDriver& program = StartShown(L"", environment, main);
        ASSERT_NE(main, nullptr);
        EXPECT_EQ(WindowText(main), L"Quillmont DE");
        EXPECT_NE(FindChild(main, L"Show s&tarten", L"Button"), nullptr);
        EXPECT_EQ(FindChild(main, L"&Start Show", L"Button"), nullptr);
        // Controls without an entry keep their texts.
        HWND exit = FindChild(main, L"E&xit", L"Button");
        EXPECT_NE(exit, nullptr);
        EXPECT_EQ(TabCaptions(FindChildOfClass(main, WC_TABCONTROLW)),
                  (std::vector<std::wstring>{L"Pr\u00e4sentationen", L"Settings"}));
        EXPECT_TRUE(qmtest::WaitFor([&] { return FindChild(main, germanCount, L"Static") != nullptr; }))
            << "the monitor label is not translated";
        Click(exit);
        EXPECT_EQ(program.WaitForExit(), std::optional<DWORD>(0));
    }

    // Without an installation folder nothing is loaded, not even from a folder "Messages" in the
    // current folder.
    DeleteInstallPath();
    HWND main = nullptr;
    ProgramDriver& program = StartShown(L"", environment, main);
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(WindowText(main), L"Quillmont");
    EXPECT_NE(FindChild(main, L"&Start Show", L"Button"), nullptr);
    EXPECT_EQ(TabCaptions(FindChildOfClass(main, WC_TABCONTROLW)),
              (std::vector<std::wstring>{L"Presentations", L"Settings"}));
    Click(FindChild(main, L"E&xit", L"Button"));
    EXPECT_EQ(program.WaitForExit(), std::optional<DWORD>(0));
}

} // namespace
} // namespace bb
