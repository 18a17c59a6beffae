#include "FileTests.h"

#include <windows.h>

namespace qm {

bool FileExists(const std::wstring& path) {
    // Windows file names hold no wildcards; searching with one would find some other file.
    // The "?" of the prefix "\\?\" (and "\\?\UNC\") is none.
    std::wstring_view name = path;
    if (name.starts_with(L"\\\\?\\"))
        name.remove_prefix(4);
    if (name.find_first_of(L"*?") != std::wstring_view::npos)
        return false;
    // The attributes give the answer that a directory search for the path gives, without
    // the search, which costs a scan of the folder on some file systems.
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
