#pragma once
// Reading numbers out of settings-file text and other written text, kept apart from the Windows
// calls that fetch the text.
#include <cstdint>
#include <optional>
#include <string_view>

namespace qm {

// A number as written: after optional leading blanks (any of the given characters), an
// optional "+" or "-", then decimal digits, or hexadecimal digits (either case) after "$",
// "x", "X", "0x" or "0X", and nothing after them. Magnitudes beyond 2^32 are capped at 2^33.
struct WrittenNumber {
    bool negative = false;
    bool hexadecimal = false;
    uint64_t magnitude = 0;
};
std::optional<WrittenNumber> ReadWrittenNumber(std::string_view text, std::string_view blanks);

// The number's value when it lies within the signed 32-bit range.
std::optional<int32_t> SignedValue(const WrittenNumber& number);

// The integer that a settings value holds: after optional leading blanks, an optionally
// signed decimal number within the signed 32-bit range, or an optionally signed
// hexadecimal number introduced by "$", "0x", "0X", "x" or "X" with at most eight
// significant digits, whose 32 bits are taken as a signed value. Nothing may follow the
// number. Any other text holds no integer.
std::optional<int32_t> ParseProfileInteger(std::string_view text);

// The position 1..limit that a key name may stand for as prefix + decimal position, or 0.
// The profile functions match key names without regard to case, so this only narrows the
// keys worth reading: a name whose prefix holds any non-ASCII byte is kept, because the
// platform's case folding may equate such a character with an ASCII letter. The prefix is ASCII.
int32_t CandidateKeyPosition(std::wstring_view keyName, std::string_view prefix, int32_t limit);

} // namespace qm
