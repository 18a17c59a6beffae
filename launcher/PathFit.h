#pragma once
// Showing a long path on one line of limited width. No Win32 here.
#include <functional>
#include <string>
#include <string_view>

namespace qm {

// The path as it fits on one line, as `fits` judges a line: whole when it fits, else with the middle of its
// folder part replaced by "...", keeping as much of both ends as fits. The file name is always kept whole,
// even when it alone does not fit, and no surrogate pair is cut in two.
std::wstring FitPath(const std::wstring& path, const std::function<bool(std::wstring_view line)>& fits);

} // namespace qm
