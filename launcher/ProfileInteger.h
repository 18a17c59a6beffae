#pragma once
// Reading numbers out of settings-file text, kept apart from the Windows calls that fetch the text.
#include <cstdint>
#include <optional>
#include <string_view>

namespace qm {

// The integer that a settings value holds: after optional leading blanks, an optionally
// signed decimal number within the signed 32-bit range, or an optionally signed
// hexadecimal number introduced by "$", "0x", "0X", "x" or "X" with at most eight
// significant digits, whose 32 bits are taken as a signed value. Nothing may follow the
// number. Any other text holds no integer.
std::optional<int32_t> ParseProfileInteger(std::string_view text);

// The position 1..limit that a key name may stand for as prefix + decimal position, or 0.
// The profile functions match key names without regard to case, so this only narrows the
// keys worth reading: a name whose prefix holds any non-ASCII byte is kept, because the
// platform's case folding may equate such a character with an ASCII letter.
int32_t CandidateKeyPosition(std::string_view keyName, std::string_view prefix, int32_t limit);

} // namespace qm
