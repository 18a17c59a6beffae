#pragma once
// The one place where text crosses between UTF-16 and the system ANSI code page.
#include <optional>
#include <string>
#include <string_view>

namespace qm {

// Converts with the code page that GetACP reports, never with a best-fit mapping: a
// character the code page lacks becomes the code page's default character, so a path can
// turn into an invalid one but never into another existing path.
std::wstring AnsiToWide(std::string_view text);
std::string WideToAnsi(std::wstring_view text);

// The ANSI form of a text when the code page holds it exactly (it converts back unchanged).
std::optional<std::string> ExactAnsi(std::wstring_view text);

// A short string: one length byte and at most 255 bytes of ANSI text, the form in
// which text crosses into the presentation library.
struct ShortString {
    unsigned char length = 0;
    char chars[255] = {};

    ShortString() = default;
    explicit ShortString(std::string_view ansi) { Assign(ansi); }

    void Assign(std::string_view ansi) {
        length = static_cast<unsigned char>(ansi.size() > 255 ? 255 : ansi.size());
        for (unsigned i = 0; i < length; ++i)
            chars[i] = ansi[i];
    }
    std::string str() const { return std::string(chars, length); }

    // The first 255 characters of a wide text, converted and cut to 255 bytes.
    static ShortString FromWide(std::wstring_view wide) {
        return ShortString(WideToAnsi(wide.substr(0, 255)));
    }
    // The wide text uncut and unaltered, or nothing when a short string cannot hold it so.
    static std::optional<ShortString> Exact(std::wstring_view wide) {
        std::optional<std::string> ansi = ExactAnsi(wide);
        if (!ansi || ansi->size() > 255)
            return std::nullopt;
        return ShortString(*ansi);
    }
};
static_assert(sizeof(ShortString) == 256);

} // namespace qm
