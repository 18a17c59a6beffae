#include "FileTests.h"

#include <windows.h>

namespace qm {

bool FileExists(const std::wstring& path) {
    // Windows file names hold no wildcards, so a path with one names no file; the "?" of the
    // prefix "\\?\" (and "\\?\UNC\") is none.
    std::wstring_view name = path;
    if (name.starts_with(L"\\\\?\\"))
        name.remove_prefix(4);
    if (name.find_first_of(L"*?") != std::wstring_view::npos)
        return false;
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool FolderExists(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string FolderPart(const std::string& fileName) {
    size_t last = fileName.find_last_of("\\:");
    return last == std::string::npos ? std::string() : fileName.substr(0, last + 1);
}

} // namespace qm
