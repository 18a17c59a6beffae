#pragma once
// Text values of the registry, read and written as ANSI strings.
#include <windows.h>

#include <optional>
#include <string>

namespace qmlib {

// The text of a string value, up to its first NUL character; nothing when the key or the value
// is missing or the value is of another type. REG_EXPAND_SZ counts only when expand is set, and
// then its environment references are expanded. extraAccess selects a registry view.
std::optional<std::string> ReadText(HKEY root, const std::string& subKey, const std::string& valueName,
                                    bool expand = false, REGSAM extraAccess = 0);

// Stores text (up to its first NUL character) as a REG_SZ value, creating the key as needed.
bool WriteText(HKEY root, const std::string& subKey, const std::string& valueName, const std::string& text);

} // namespace qmlib
