#include "ProfileInteger.h"

#include <algorithm>

namespace qm {

namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

template <typename Char> bool IsDecimalDigit(Char c) {
    return c >= '0' && c <= '9';
}

wchar_t AsciiLower(wchar_t c) {
    return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

// The characters that the profile functions trim around key names.
bool IsKeyBlank(wchar_t c) {
    return c == L' ' || (c >= L'\t' && c <= L'\r') || c == L'\x1a';
}

} // namespace

std::optional<WrittenNumber> ReadWrittenNumber(std::string_view text, std::string_view blanks) {
    size_t i = 0;
    while (i < text.size() && blanks.find(text[i]) != std::string_view::npos)
        ++i;
    WrittenNumber number;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        number.negative = text[i++] == '-';

    std::string_view digits = text.substr(i);
    size_t prefixLength = 0;
    if (digits.starts_with('$') || digits.starts_with('x') || digits.starts_with('X'))
        prefixLength = 1;
    else if (digits.starts_with("0x") || digits.starts_with("0X"))
        prefixLength = 2;
    number.hexadecimal = prefixLength > 0;
    digits.remove_prefix(prefixLength);
    if (digits.empty())
        return std::nullopt;

    // Past 2^32 the exact magnitude no longer matters, and capping it keeps it from overflowing.
    constexpr uint64_t beyond = uint64_t{1} << 33;
    for (char c : digits) {
        int digit = number.hexadecimal ? HexDigit(c) : IsDecimalDigit(c) ? c - '0' : -1;
        if (digit < 0)
            return std::nullopt;
        number.magnitude = std::min(
            number.magnitude * (number.hexadecimal ? 16 : 10) + static_cast<uint64_t>(digit), beyond);
    }
    return number;
}

std::optional<int32_t> SignedValue(const WrittenNumber& number) {
    const uint64_t limit = number.negative ? uint64_t{1} << 31 : (uint64_t{1} << 31) - 1;
    if (number.magnitude > limit)
        return std::nullopt;
    const auto magnitude = static_cast<int64_t>(number.magnitude);
    return static_cast<int32_t>(number.negative ? -magnitude : magnitude);
}

std::optional<int32_t> ParseProfileInteger(std::string_view text) {
    std::optional<WrittenNumber> number = ReadWrittenNumber(text, " \t");
    if (!number)
        return std::nullopt;
    if (!number->hexadecimal)
        return SignedValue(*number);
    if (number->magnitude > UINT32_MAX)
        return std::nullopt;
    // Unsigned arithmetic wraps, so "-$80000000" stays the lowest value instead of overflowing.
    auto value = static_cast<uint32_t>(number->magnitude);
    if (number->negative)
        value = 0u - value;
    return static_cast<int32_t>(value);
}

int32_t CandidateKeyPosition(std::wstring_view keyName, std::string_view prefix, int32_t limit) {
    while (!keyName.empty() && IsKeyBlank(keyName.front()))
        keyName.remove_prefix(1);
    while (!keyName.empty() && IsKeyBlank(keyName.back()))
        keyName.remove_suffix(1);

    size_t digitsStart = keyName.size();
    while (digitsStart > 0 && IsDecimalDigit(keyName[digitsStart - 1]))
        --digitsStart;
    std::wstring_view digits = keyName.substr(digitsStart);
    if (digits.empty() || digits.front() == L'0')
        return 0;
    int64_t position = 0;
    for (wchar_t c : digits) {
        position = position * 10 + (c - L'0');
        if (position > limit)
            return 0;
    }

    std::wstring_view head = keyName.substr(0, digitsStart);
    bool asciiOnly = true;
    for (wchar_t c : head)
        asciiOnly = asciiOnly && c < 0x80;
    if (asciiOnly) {
        if (head.size() != prefix.size())
            return 0;
        for (size_t k = 0; k < head.size(); ++k)
            if (AsciiLower(head[k]) != AsciiLower(static_cast<wchar_t>(prefix[k])))
                return 0;
    }
    return static_cast<int32_t>(position);
}

} // namespace qm
