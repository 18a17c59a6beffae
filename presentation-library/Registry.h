#pragma once
// Text values of the registry, read and written in UTF-16, the form in which the registry keeps
// them: only the caller decides what a value that the ANSI code page lacks becomes.
#include <windows.h>

#include <optional>
#include <string>

namespace qmlib {

// The text of a string value, up to its first NUL character; nothing when the key or the value
// is missing or the value is of another type. REG_EXPAND_SZ counts only when expand is set, and
// then its environment references are expanded. extraAccess selects a registry view.
std::optional<std::wstring> ReadText(HKEY root, const std::wstring& subKey, const std::wstring& valueName,
                                     bool expand = false, REGSAM extraAccess = 0);

// Stores text (up to its first NUL character) as a REG_SZ value, creating the key as needed.
bool WriteText(HKEY root, const std::wstring& subKey, const std::wstring& valueName,
               const std::wstring& text);

} // namespace qmlib
