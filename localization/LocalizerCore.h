#pragma once
// The parts of the Localizer that need no operating system: from the bytes of a language file
// to its entries. Free of <windows.h>, so that they can be tested and built on their own.
#include "Localizer.h"

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace qm {

// Decodes a language file by its byte-order mark (UTF-16 LE or BE, UTF-8, else the ANSI code
// page); the text ends at its first U+0000. A malformed UTF-8 sequence empties the whole text.
std::wstring DecodeL10NBytes(std::string_view bytes);

// Calls onLine for every line of text; lines end at CR LF, CR or LF, and the text at U+0000.
void DivideL10NLines(std::wstring_view text, const std::function<void(std::wstring_view)>& onLine);

// The language record of a decoded file (ID left 0). Empty lines and comments are skipped, and
// so is an entry line of fewer than three fields, without disturbing the rest of the file.
std::unique_ptr<TL10NResource> ParseL10NText(std::wstring_view text);

// The hexadecimal number of a file's base name; 0 when it is not one or exceeds 32 bits.
uint32_t L10NIdFromBaseName(std::string_view baseName);

// Replaces every occurrence of pattern from left to right; a replacement is not searched again.
void ReplaceAll(std::wstring& text, std::wstring_view pattern, std::wstring_view replacement);

// The system conversions take int lengths; larger texts are converted piece by piece.
constexpr std::size_t kConversionPiece = std::size_t{1} << 26;
std::wstring AnsiToWideInPieces(std::string_view text, std::size_t pieceSize = kConversionPiece);
std::string WideToAnsiInPieces(std::wstring_view text, std::size_t pieceSize = kConversionPiece);

} // namespace qm
