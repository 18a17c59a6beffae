#pragma once
// Decisions of the library that need no operating system: the viewer's command line and the
// order of the displays.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qmlib {

// A path that can go between double quotes on a command line without ending the quotes early:
// not empty, and free of double quotes and control characters, neither of which a Windows file
// name can hold.
bool IsQuotablePath(std::wstring_view path);

// The command line that makes the viewer play a list: the viewer's path in quotes, the play-list
// switch /L and the list file's path in quotes. Nothing when a path is not quotable.
std::optional<std::wstring> ViewerCommandLine(std::wstring_view viewerPath, std::wstring_view listFilePath);

// The number in a display device name such as \\.\DISPLAY2; nothing for names of another form.
std::optional<unsigned long> DisplayNumber(std::wstring_view deviceName);

// The positions of the given device names in the order in which Windows numbers its displays:
// ascending by DisplayNumber, names without a number last, ties in the given order.
std::vector<size_t> DisplayOrder(const std::vector<std::wstring>& deviceNames);

} // namespace qmlib
