#include "TestSupport.h"

#include <cstdlib>
#include <stdexcept>
#include <thread>
#include <vector>

namespace qmtest {

TempDir::TempDir() {
    wchar_t base[MAX_PATH + 1];
    GetTempPathW(MAX_PATH + 1, base);
    static unsigned counter = 0;
    for (;;) {
        std::wstring candidate = std::wstring(base) + L"qmtest" + std::to_wstring(GetCurrentProcessId()) +
                                 L"_" + std::to_wstring(++counter) + L"\\";
        if (CreateDirectoryW(candidate.c_str(), nullptr)) {
            path_ = candidate;
            return;
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS)
            throw std::runtime_error("cannot create temp dir");
    }
}

namespace {

// The path, below its volume, that the system resolves the name to; empty when it cannot be opened.
std::wstring ResolvedPath(const std::wstring& path) {
    HANDLE file =
        CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return {};
    std::vector<char> buffer(sizeof(FILE_NAME_INFO) + 65536);
    auto* info = reinterpret_cast<FILE_NAME_INFO*>(buffer.data());
    const BOOL ok = GetFileInformationByHandleEx(file, FileNameInfo, info, static_cast<DWORD>(buffer.size()));
    CloseHandle(file);
    return ok ? std::wstring(info->FileName, info->FileNameLength / sizeof(wchar_t)) : std::wstring();
}

bool SamePath(const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()),
                                TRUE) == CSTR_EQUAL;
}

// Deletes a folder with everything in it, touching only names found inside it. A link is never
// followed: opened as itself, it is removed as itself; a link that the system follows even so (Wine
// does, and deleting it there deletes its target) resolves outside its own place, and is left where
// it is, with the folders that hold it.
void RemoveTree(const std::wstring& folder) {
    const std::wstring resolvedFolder = ResolvedPath(folder);
    WIN32_FIND_DATAW entry;
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &entry);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = entry.cFileName;
            if (name == L"." || name == L"..")
                continue;
            const std::wstring path = folder + L"\\" + name;
            if (resolvedFolder.empty() || !SamePath(ResolvedPath(path), resolvedFolder + L"\\" + name))
                continue;
            const DWORD attributes = entry.dwFileAttributes;
            if ((attributes & FILE_ATTRIBUTE_DIRECTORY) && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
                RemoveTree(path);
            } else if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveDirectoryW(path.c_str());
            } else {
                SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(path.c_str());
            }
        } while (FindNextFileW(find, &entry));
        FindClose(find);
    }
    RemoveDirectoryW(folder.c_str());
}

} // namespace

TempDir::~TempDir() {
    // The process's current folder cannot be removed, and a file dialog leaves it where a file
    // was chosen: move it out first.
    std::wstring currentFolder(GetCurrentDirectoryW(0, nullptr), L'\0');
    currentFolder.resize(
        GetCurrentDirectoryW(static_cast<DWORD>(currentFolder.size()), currentFolder.data()));
    if (currentFolder.empty() || currentFolder.back() != L'\\')
        currentFolder += L'\\';
    if (currentFolder.size() >= path_.size() && SamePath(currentFolder.substr(0, path_.size()), path_)) {
        const std::wstring parent = path_.substr(0, path_.find_last_of(L'\\', path_.size() - 2) + 1);
        SetCurrentDirectoryW(parent.c_str());
    }
    // The "\\?\" form reaches past MAX_PATH. The shell's delete does not (under Wine it then empties
    // the current folder instead), nor does std::filesystem::remove_all of MinGW's library.
    RemoveTree(L"\\\\?\\" + path_.substr(0, path_.size() - 1));
}

void WriteBytes(const std::wstring& path, const std::string& bytes) {
    HANDLE file =
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        throw std::runtime_error("cannot create file");
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

std::string ReadBytes(const std::wstring& path) {
    HANDLE file =
        CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        throw std::runtime_error("cannot open file");
    std::string bytes;
    char buffer[65536];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof(buffer), &read, nullptr) && read > 0)
        bytes.append(buffer, read);
    CloseHandle(file);
    return bytes;
}

bool FileExists(const std::wstring& path) {
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void PumpMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds deadline) {
    auto end = std::chrono::steady_clock::now() + deadline;
    for (;;) {
        PumpMessages();
        if (condition())
            return true;
        if (std::chrono::steady_clock::now() >= end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

std::string Hex(std::string_view bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (unsigned char b : bytes) {
        out += digits[b >> 4];
        out += digits[b & 15];
    }
    return out;
}

std::string Utf8(std::wstring_view text) {
    if (text.empty())
        return {};
    int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr,
                        nullptr);
    return out;
}

std::wstring BinDir() {
    wchar_t path[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring dir(path, n);
    return dir.substr(0, dir.find_last_of(L"\\/") + 1);
}

} // namespace qmtest
