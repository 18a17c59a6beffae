#include "PathFit.h"

namespace qm {

namespace {

bool IsHighSurrogate(wchar_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}

bool IsLowSurrogate(wchar_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

// The path with `kept` characters of its folder part left, split between its two ends, the cuts
// moved off the middle of surrogate pairs.
std::wstring Shortened(std::wstring_view folder, std::wstring_view name, size_t kept) {
    size_t headEnd = (kept + 1) / 2;
    size_t tailStart = folder.size() - kept / 2;
    if (headEnd > 0 && IsHighSurrogate(folder[headEnd - 1]))
        --headEnd;
    if (tailStart < folder.size() && IsLowSurrogate(folder[tailStart]))
        ++tailStart;
    std::wstring line(folder.substr(0, headEnd));
    line += L"...";
    line += folder.substr(tailStart);
    line += name;
    return line;
}

} // namespace

std::wstring FitPath(const std::wstring& path, const std::function<bool(std::wstring_view line)>& fits) {
    if (fits(path))
        return path;
    const size_t separator = path.find_last_of(L"\\/:");
    const size_t nameStart = separator == std::wstring::npos ? 0 : separator;
    const std::wstring_view folder = std::wstring_view(path).substr(0, nameStart);
    const std::wstring_view name = std::wstring_view(path).substr(nameStart);
    if (folder.empty())
        return path;
    // The longest shortening that fits, found by halving: fewer characters kept never widen the line.
    size_t low = 0, high = folder.size() - 1;
    while (low < high) {
        const size_t middle = (low + high + 1) / 2;
        if (fits(Shortened(folder, name, middle)))
            low = middle;
        else
            high = middle - 1;
    }
    return Shortened(folder, name, low);
}

} // namespace qm
