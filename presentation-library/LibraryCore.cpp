#include "LibraryCore.h"

#include <algorithm>

namespace qmlib {

bool IsQuotablePath(std::wstring_view path) {
    return !path.empty() &&
           std::none_of(path.begin(), path.end(), [](wchar_t c) { return c == L'"' || c < L' '; });
}

namespace {

// The program name ends at the next quote whatever stands before it, so it is quoted as it is.
std::wstring QuotedProgramName(std::wstring_view path) {
    return L"\"" + std::wstring(path) + L"\"";
}

// In an argument, backslashes right before the closing quote would escape it; doubled, they stay
// plain backslashes. Backslashes anywhere else are taken literally.
std::wstring QuotedArgument(std::wstring_view path) {
    std::wstring quoted = L"\"" + std::wstring(path);
    size_t trailing = path.size() - (path.find_last_not_of(L'\\') + 1);
    quoted.append(trailing, L'\\');
    quoted += L'"';
    return quoted;
}

wchar_t UpperAscii(wchar_t c) {
    return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c;
}

} // namespace

std::optional<std::wstring> ViewerCommandLine(std::wstring_view viewerPath, std::wstring_view listFilePath) {
    if (!IsQuotablePath(viewerPath) || !IsQuotablePath(listFilePath))
        return std::nullopt;
    return QuotedProgramName(viewerPath) + L" /L " + QuotedArgument(listFilePath);
}

std::optional<unsigned long> DisplayNumber(std::wstring_view deviceName) {
    constexpr std::wstring_view prefix = L"\\\\.\\DISPLAY";
    if (deviceName.size() <= prefix.size())
        return std::nullopt;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (UpperAscii(deviceName[i]) != prefix[i])
            return std::nullopt;
    unsigned long number = 0;
    for (wchar_t c : deviceName.substr(prefix.size())) {
        if (c < L'0' || c > L'9')
            return std::nullopt;
        if (number > 99999999)
            return std::nullopt;
        number = number * 10 + static_cast<unsigned long>(c - L'0');
    }
    return number;
}

std::vector<size_t> DisplayOrder(const std::vector<std::wstring>& deviceNames) {
    std::vector<std::optional<unsigned long>> numbers;
    for (const std::wstring& name : deviceNames)
        numbers.push_back(DisplayNumber(name));
    std::vector<size_t> order(deviceNames.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        if (!numbers[b])
            return numbers[a].has_value();
        return numbers[a] && *numbers[a] < *numbers[b];
    });
    return order;
}

} // namespace qmlib
