#include "ProfileInteger.h"

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

bool IsDecimalDigit(char c) {
    return c >= '0' && c <= '9';
}

char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// The characters that the profile functions trim around key names.
bool IsKeyBlank(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r') || c == '\x1a';
}

} // namespace

std::optional<int32_t> ParseProfileInteger(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';

    std::string_view rest = text.substr(i);
    size_t prefixLength = 0;
    if (rest.starts_with('$') || rest.starts_with('x') || rest.starts_with('X'))
        prefixLength = 1;
    else if (rest.starts_with("0x") || rest.starts_with("0X"))
        prefixLength = 2;

    if (prefixLength > 0) {
        std::string_view digits = rest.substr(prefixLength);
        if (digits.empty())
            return std::nullopt;
        uint32_t value = 0;
        int significant = 0;
        for (char c : digits) {
            int digit = HexDigit(c);
            if (digit < 0)
                return std::nullopt;
            if (value == 0 && digit == 0)
                continue;
            if (++significant > 8)
                return std::nullopt;
            value = value << 4 | static_cast<uint32_t>(digit);
        }
        // Unsigned arithmetic wraps, so "-$80000000" stays the lowest value instead of overflowing.
        if (negative)
            value = 0u - value;
        return static_cast<int32_t>(value);
    }

    if (rest.empty())
        return std::nullopt;
    const uint64_t limit = negative ? uint64_t{1} << 31 : (uint64_t{1} << 31) - 1;
    uint64_t value = 0;
    for (char c : rest) {
        if (!IsDecimalDigit(c))
            return std::nullopt;
        value = value * 10 + static_cast<uint64_t>(c - '0');
        if (value > limit)
            return std::nullopt;
    }
    return static_cast<int32_t>(negative ? -static_cast<int64_t>(value) : static_cast<int64_t>(value));
}

int32_t CandidateKeyPosition(std::string_view keyName, std::string_view prefix, int32_t limit) {
    while (!keyName.empty() && IsKeyBlank(keyName.front()))
        keyName.remove_prefix(1);
    while (!keyName.empty() && IsKeyBlank(keyName.back()))
        keyName.remove_suffix(1);

    size_t digitsStart = keyName.size();
    while (digitsStart > 0 && IsDecimalDigit(keyName[digitsStart - 1]))
        --digitsStart;
    std::string_view digits = keyName.substr(digitsStart);
    if (digits.empty() || digits.front() == '0')
        return 0;
    int64_t position = 0;
    for (char c : digits) {
        position = position * 10 + (c - '0');
        if (position > limit)
            return 0;
    }

    std::string_view head = keyName.substr(0, digitsStart);
    bool asciiOnly = true;
    for (char c : head)
        asciiOnly = asciiOnly && static_cast<unsigned char>(c) < 0x80;
    if (asciiOnly) {
        if (head.size() != prefix.size())
            return 0;
        for (size_t k = 0; k < head.size(); ++k)
            if (AsciiLower(head[k]) != AsciiLower(prefix[k]))
                return 0;
    }
    return static_cast<int32_t>(position);
}

} // namespace qm
