#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

TEST(TempDir, RemovesADeepTreeOfLongNamesAndNothingBesideIt) {
    // A delete that goes astray empties the current folder: make that a scratch folder of the test's
    // own, which holds the temporary folder as well.
    qmtest::TempDir scratch;
    struct Restore {
        wchar_t current[MAX_PATH] = {};
        wchar_t temp[MAX_PATH] = {};
        ~Restore() {
            SetCurrentDirectoryW(current);
            SetEnvironmentVariableW(L"TMP", temp[0] ? temp : nullptr);
        }
    } restore;
    GetCurrentDirectoryW(MAX_PATH, restore.current);
    GetEnvironmentVariableW(L"TMP", restore.temp, MAX_PATH);
    ASSERT_TRUE(SetCurrentDirectoryW(scratch.Path().c_str()));
    SetEnvironmentVariableW(L"TMP", scratch.Path().c_str());
    const std::wstring beside = scratch.File(L"beside.txt");
    qmtest::WriteBytes(beside, "stays");

    std::wstring removed;
    std::wstring deepest;
    {
        qmtest::TempDir dir;
        removed = dir.Path();
        deepest = dir.Path();
        for (wchar_t letter : {L'a', L'b', L'c'}) {
            deepest += std::wstring(200, letter) + L"\\";
            ASSERT_TRUE(CreateDirectoryW((L"\\\\?\\" + deepest).c_str(), nullptr));
            qmtest::WriteBytes(L"\\\\?\\" + deepest + L"file.txt", "x");
        }
    }
    EXPECT_EQ(removed.rfind(scratch.Path(), 0), 0u);
    EXPECT_GT(deepest.size(), 600u);
    EXPECT_EQ(GetFileAttributesW(removed.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(qmtest::FileExists(beside));
}

// The Unix name of a path under Wine; empty elsewhere.
std::wstring UnixName(const std::wstring& path) {
    using Convert = char*(CDECL*)(const wchar_t*);
    const auto convert = reinterpret_cast<Convert>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name"));
    char* name = convert ? convert(path.c_str()) : nullptr;
    if (!name)
        return {};
    std::wstring wide(name, name + strlen(name));
    HeapFree(GetProcessHeap(), 0, name);
    return wide;
}

// Starts a Unix program of the machine that Wine runs on; the caller waits for what it does.
bool RunUnix(const std::wstring& program, const std::vector<std::wstring>& arguments) {
    std::wstring command = program;
    for (const std::wstring& argument : arguments)
        command += L" \"" + argument + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    const std::wstring path = L"Z:\\bin\\" + program;
    if (!CreateProcessW(path.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

// Makes a symbolic link. Wine's CreateSymbolicLinkW reports success and makes nothing: there the
// link is made on the Unix side, as a user of the prefix would make it.
bool MakeLink(const std::wstring& link, const std::wstring& target, bool folder) {
    const DWORD flags =
        (folder ? SYMBOLIC_LINK_FLAG_DIRECTORY : 0) | SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE;
    if (CreateSymbolicLinkW(link.c_str(), target.c_str(), flags) &&
        GetFileAttributesW(link.c_str()) != INVALID_FILE_ATTRIBUTES)
        return true;
    return RunUnix(L"ln", {L"-s", UnixName(target), UnixName(link)}) &&
           qmtest::WaitFor([&] { return GetFileAttributesW(link.c_str()) != INVALID_FILE_ATTRIBUTES; });
}

TEST(TempDir, NeverDeletesWhatALinkInsideItPointsTo) {
    qmtest::TempDir outside;
    const std::wstring file = outside.File(L"kept.txt");
    qmtest::WriteBytes(file, "kept");
    // An empty folder, which a removal of the folder through its link would take away.
    const std::wstring folder = outside.File(L"folder");
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    std::wstring left;
    {
        qmtest::TempDir dir;
        left = dir.Path();
        ASSERT_TRUE(MakeLink(dir.File(L"file link"), file, false));
        ASSERT_TRUE(MakeLink(dir.File(L"folder link"), folder, true));
        qmtest::WriteBytes(dir.File(L"own.txt"), "x");
    }
    EXPECT_TRUE(qmtest::FileExists(file)) << "the target of a link to a file was deleted";
    EXPECT_NE(GetFileAttributesW(folder.c_str()), INVALID_FILE_ATTRIBUTES)
        << "the target of a link to a folder was deleted";
    // Wine has no way to remove a Unix link but through its target: the Unix side removes it.
    if (GetFileAttributesW(left.c_str()) != INVALID_FILE_ATTRIBUTES) {
        EXPECT_FALSE(qmtest::FileExists(left + L"own.txt"));
        RunUnix(L"rm", {L"-r", UnixName(left)});
        EXPECT_TRUE(
            qmtest::WaitFor([&] { return GetFileAttributesW(left.c_str()) == INVALID_FILE_ATTRIBUTES; }));
    }
}

TEST(TempDir, RemovesTheFolderThatAFileDialogLeftCurrent) {
    wchar_t before[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, before);
    std::wstring removed;
    {
        qmtest::TempDir dir;
        removed = dir.Path();
        ASSERT_TRUE(CreateDirectoryW(dir.File(L"Shows").c_str(), nullptr));
        ASSERT_TRUE(SetCurrentDirectoryW(dir.File(L"Shows").c_str()));
    }
    SetCurrentDirectoryW(before);
    EXPECT_EQ(GetFileAttributesW(removed.c_str()), INVALID_FILE_ATTRIBUTES);
}

} // namespace
