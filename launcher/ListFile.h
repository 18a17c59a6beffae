#pragma once
// The temporary list file that the viewer plays: its name and its bytes. No Win32 here.
#include <string>
#include <vector>

namespace qm {

// The number of names the pattern can give: numbers 0 to 1023.
constexpr int kListFileNames = 1024;

// "%squillmont%d.txt" filled with the folder (ending in a backslash) and the number.
std::wstring ListFileName(const std::wstring& folder, int number);

// UTF-16 little-endian with its byte-order mark; every entry followed by CR LF.
std::string ListFileBytes(const std::vector<std::wstring>& entries);

} // namespace qm
