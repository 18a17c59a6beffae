#include "LocalizerCore.h"

#include "AnsiText.h"

#include <algorithm>
#include <initializer_list>

namespace qm {

TL10NResources L10NResources;
std::array<TReplacePatterns, 4> ReplacePatterns;

namespace {

// The unit's initialization and finalization, bound to the lifetime of the globals above.
struct LocalizerLifetime {
    LocalizerLifetime() { InitializeLocalizer(); }
    ~LocalizerLifetime() { FinalizeLocalizer(); }
    LocalizerLifetime(const LocalizerLifetime&) = delete;
    LocalizerLifetime& operator=(const LocalizerLifetime&) = delete;
} localizerLifetime;

std::wstring DecodeUtf16(std::string_view bytes, bool bigEndian) {
    std::wstring text(bytes.size() / 2, L'\0');
    for (std::size_t i = 0; i < text.size(); ++i) {
        auto first = static_cast<unsigned char>(bytes[2 * i]);
        auto second = static_cast<unsigned char>(bytes[2 * i + 1]);
        text[i] = static_cast<wchar_t>(bigEndian ? (first << 8) | second : (second << 8) | first);
    }
    return text;
}

// One code unit per sequence of one to three bytes; any broken sequence empties the text.
std::wstring DecodeUtf8(std::string_view bytes) {
    std::wstring text;
    text.reserve(bytes.size());
    const std::size_t size = bytes.size();
    auto trail = [&](std::size_t at, unsigned& bits) {
        if (at >= size)
            return false;
        auto byte = static_cast<unsigned char>(bytes[at]);
        if ((byte & 0xC0) != 0x80)
            return false;
        bits = byte & 0x3F;
        return true;
    };
    for (std::size_t i = 0; i < size;) {
        auto lead = static_cast<unsigned char>(bytes[i]);
        unsigned first = 0, second = 0;
        if (lead < 0x80) {
            text.push_back(static_cast<wchar_t>(lead));
            i += 1;
        } else if (!(lead & 0x20)) {
            if (!trail(i + 1, first))
                return {};
            text.push_back(static_cast<wchar_t>(((lead & 0x1Fu) << 6) | first));
            i += 2;
        } else {
            if (!trail(i + 1, first) || !trail(i + 2, second))
                return {};
            text.push_back(static_cast<wchar_t>(((lead & 0x0Fu) << 12) | (first << 6) | second));
            i += 3;
        }
    }
    return text;
}

bool StartsWith(std::string_view bytes, std::initializer_list<unsigned char> mark) {
    if (bytes.size() < mark.size())
        return false;
    return std::equal(mark.begin(), mark.end(), bytes.begin(),
                      [](unsigned char m, char b) { return m == static_cast<unsigned char>(b); });
}

// A text between two delimiter characters, such as double quotes.
std::wstring Delimited(const std::wstring& field) {
    return field.size() < 3 ? std::wstring() : field.substr(1, field.size() - 2);
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

} // namespace

void InitializeLocalizer() {
    ReplacePatterns = {{
        {L"<1310>", L"\r\n"},
        {L"<13>", L"\r"},
        {L"<10>", L"\n"},
        {L"<9>", L"\t"},
    }};
}

void FinalizeLocalizer() {
    L10NResources.clear();
    ReplacePatterns = {};
}

std::wstring AnsiToWideInPieces(std::string_view text, std::size_t pieceSize) {
    if (text.size() <= pieceSize || pieceSize == 0)
        return AnsiToWide(text);
    std::wstring out;
    out.reserve(text.size());
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = std::min(text.size(), start + pieceSize);
        if (end < text.size()) {
            // A byte below 0x40 is never part of a multi-byte character of a Windows code
            // page, so a piece that ends after one splits no character.
            std::size_t cut = end;
            while (cut > start && static_cast<unsigned char>(text[cut - 1]) >= 0x40)
                --cut;
            if (cut > start)
                end = cut;
        }
        out += AnsiToWide(text.substr(start, end - start));
        start = end;
    }
    return out;
}

std::string WideToAnsiInPieces(std::wstring_view text, std::size_t pieceSize) {
    if (text.size() <= pieceSize || pieceSize == 0)
        return WideToAnsi(text);
    std::string out;
    out.reserve(text.size());
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = std::min(text.size(), start + pieceSize);
        // Keep a surrogate pair in one piece.
        if (end < text.size() && end - start > 1 && text[end - 1] >= 0xD800 && text[end - 1] <= 0xDBFF)
            --end;
        out += WideToAnsi(text.substr(start, end - start));
        start = end;
    }
    return out;
}

std::wstring DecodeL10NBytes(std::string_view bytes) {
    std::wstring text;
    if (StartsWith(bytes, {0xFF, 0xFE}))
        text = DecodeUtf16(bytes.substr(2), false);
    else if (StartsWith(bytes, {0xFE, 0xFF}))
        text = DecodeUtf16(bytes.substr(2), true);
    else if (StartsWith(bytes, {0xEF, 0xBB, 0xBF}))
        text = DecodeUtf8(bytes.substr(3));
    else
        text = AnsiToWideInPieces(bytes);
    if (auto end = text.find(L'\0'); end != std::wstring::npos)
        text.resize(end);
    return text;
}

void DivideL10NLines(std::wstring_view text, const std::function<void(std::wstring_view)>& onLine) {
    const std::size_t size = text.size();
    std::size_t pos = 0;
    while (pos < size && text[pos] != L'\0') {
        std::size_t end = pos;
        while (end < size && text[end] != L'\r' && text[end] != L'\n' && text[end] != L'\0')
            ++end;
        onLine(text.substr(pos, end - pos));
        pos = end;
        if (pos < size && text[pos] == L'\r')
            ++pos;
        if (pos < size && text[pos] == L'\n')
            ++pos;
    }
}

void SplitString(std::wstring_view line, std::wstring_view separator, std::vector<std::wstring>& fields,
                 std::size_t maxPieces) {
    std::size_t pieces = 0;
    std::size_t start = 0;
    // An empty separator would be found everywhere without advancing.
    std::size_t found = separator.empty() ? std::wstring_view::npos : line.find(separator);
    while (found != std::wstring_view::npos && pieces < maxPieces) {
        fields.emplace_back(line.substr(start, found - start));
        ++pieces;
        start = found + separator.size();
        found = line.find(separator, start);
    }
    if (pieces < maxPieces)
        fields.emplace_back(line.substr(start));
}

TStringResource ParseStringResource(const std::vector<std::wstring>& fields) {
    TStringResource entry;
    if (fields.size() > 0)
        entry.Section = WideToAnsiInPieces(fields[0]);
    if (fields.size() > 1)
        entry.Key = WideToAnsiInPieces(fields[1]);
    if (fields.size() > 2)
        entry.Text = Delimited(fields[2]);
    if (fields.size() > 3)
        entry.Hint = Delimited(fields[3]);
    ApplyReplacePatterns(entry.Text);
    ApplyReplacePatterns(entry.Hint);
    return entry;
}

void ReplaceAll(std::wstring& text, std::wstring_view pattern, std::wstring_view replacement) {
    if (pattern.empty())
        return;
    std::size_t found = text.find(pattern);
    if (found == std::wstring::npos)
        return;
    // Built anew rather than replaced in place, which would be quadratic in long texts.
    std::wstring result;
    result.reserve(text.size());
    std::size_t start = 0;
    while (found != std::wstring::npos) {
        result.append(text, start, found - start);
        result.append(replacement);
        start = found + pattern.size();
        found = text.find(pattern, start);
    }
    result.append(text, start);
    text = std::move(result);
}

void ApplyReplacePatterns(std::wstring& value) {
    for (const auto& pair : ReplacePatterns)
        ReplaceAll(value, pair.Pattern, pair.Replacement);
}

std::string GetFileBaseName(const std::string& fileName) {
    std::size_t separator = fileName.find_last_of("\\:");
    std::string name = separator == std::string::npos ? fileName : fileName.substr(separator + 1);
    if (std::size_t dot = name.rfind('.'); dot != std::string::npos)
        name.resize(dot);
    return name;
}

uint32_t L10NIdFromBaseName(std::string_view baseName) {
    if (baseName.empty())
        return 0;
    uint64_t value = 0;
    for (char c : baseName) {
        int digit = HexDigit(c);
        if (digit < 0)
            return 0;
        value = value * 16 + static_cast<uint64_t>(digit);
        if (value > 0xFFFFFFFFu)
            return 0;
    }
    return static_cast<uint32_t>(value);
}

std::unique_ptr<TL10NResource> NewL10NResource() {
    return std::make_unique<TL10NResource>();
}

void FreeL10NResource(std::unique_ptr<TL10NResource> language) {
    language.reset();
}

std::unique_ptr<TL10NResource> ParseL10NText(std::wstring_view text) {
    auto language = NewL10NResource();
    std::vector<std::wstring> fields;
    DivideL10NLines(text, [&](std::wstring_view line) {
        if (line.empty() || line.front() == L';')
            return;
        fields.clear();
        // Fields from the fifth on are ignored, so they are not cut apart either.
        SplitString(line, L"~", fields, 4);
        if (fields.size() < 3)
            return;
        language->Entries.push_back(ParseStringResource(fields));
    });
    return language;
}

} // namespace qm
