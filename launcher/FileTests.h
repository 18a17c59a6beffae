#pragma once
#include <string>

namespace qm {

// True when the path names an existing file that is no folder. A path holding "*" or "?" after
// its "\\?\" prefix, if it has one, never names a file.
bool FileExists(const std::wstring& path);
// True when GetFileAttributesA on the path succeeds and reports a folder.
bool FolderExists(const std::string& path);

// The folder part of a file name: up to and including the last backslash or colon.
std::string FolderPart(const std::string& fileName);

} // namespace qm
