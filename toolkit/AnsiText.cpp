#include "AnsiText.h"

#include <windows.h>

namespace qm {

namespace {

// The UTF-8 code page refuses the best-fit flag, and has no best fit to refuse.
DWORD NoBestFitFlags() {
    return GetACP() == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
}

} // namespace

std::wstring AnsiToWide(std::string_view text) {
    if (text.empty())
        return {};
    int n = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
    return out;
}

std::string WideToAnsi(std::wstring_view text) {
    if (text.empty())
        return {};
    const DWORD flags = NoBestFitFlags();
    int n = WideCharToMultiByte(CP_ACP, flags, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, flags, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr,
                        nullptr);
    return out;
}

std::optional<std::string> ExactAnsi(std::wstring_view text) {
    std::string ansi = WideToAnsi(text);
    if (AnsiToWide(ansi) != text)
        return std::nullopt;
    return ansi;
}

} // namespace qm
