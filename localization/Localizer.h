#pragma once
// The Localizer unit: language files (*.lcl) loaded once at start-up, the choice of a language
// for a language identifier, the translation of a window's control tree and the lookup of
// messages by key. Sections and keys are ANSI text of the system code page, texts UTF-16.
//
// This header does not include <windows.h>.
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tk {
class Control;
class Form;
} // namespace tk

namespace qm {

// One entry line of a language file.
struct TStringResource {
    std::string Section;
    std::string Key;
    std::wstring Text;
    std::wstring Hint;
};

// One language: the identifier read from the file name and the entries in file order.
struct TL10NResource {
    uint32_t ID = 0;
    std::vector<TStringResource> Entries;
};

// The loaded languages in load order.
using TL10NResources = std::vector<std::unique_ptr<TL10NResource>>;

struct TReplacePatterns {
    std::wstring Pattern;
    std::wstring Replacement;
};

extern TL10NResources L10NResources;
extern std::array<TReplacePatterns, 4> ReplacePatterns;

// Both run on their own with the program's static initialization and destruction, as the
// unit's initialization and finalization; calling them again is harmless.
void InitializeLocalizer();
void FinalizeLocalizer();

// Loads every language file "*.lcl" of the folder whose base name is a non-zero hexadecimal
// number into L10NResources. Files that cannot be read are skipped; nothing is reported.
void LoadL10NResources(const std::wstring& dir);
// Reads one language file; its ID is left 0. Returns null when the file cannot be opened or
// read, or does not fit in memory.
std::unique_ptr<TL10NResource> LoadL10NFile(const std::wstring& fileName);

// Appends the pieces of line between occurrences of separator to fields, keeping at most
// maxPieces of them (the rest are dropped unsplit).
void SplitString(std::wstring_view line, std::wstring_view separator, std::vector<std::wstring>& fields,
                 std::size_t maxPieces = SIZE_MAX);
// Builds an entry from the fields of one entry line (at least three; missing ones count as empty).
TStringResource ParseStringResource(const std::vector<std::wstring>& fields);
// Resolves the escapes "<1310>", "<13>", "<10>" and "<9>" in place.
void ApplyReplacePatterns(std::wstring& value);
// The name without its folder and without its extension.
std::string GetFileBaseName(const std::string& fileName);

std::unique_ptr<TL10NResource> NewL10NResource();
void FreeL10NResource(std::unique_ptr<TL10NResource> language);

// The first loaded language whose ID equals langId, else the last whose ID equals its primary
// language (langId & 0x3FF); null when none fits.
const TL10NResource* FindL10NResource(uint32_t langId);
// True when the language has an entry for section and key (case-sensitive); then text and hint
// receive its texts, otherwise both are left untouched.
bool FindStringResource(const TL10NResource& language, const std::string& section, const std::string& key,
                        std::wstring& text, std::wstring& hint);

// Sets caption and hint of the control, if an entry names it and its kind takes texts, then
// walks into its children.
void LocalizeControl(const std::string& formName, tk::Control& control, const TL10NResource& language);
// Translates the window (key "<DEFAULT>" of its own section) and every control inside it.
void LocalizeForm(tk::Form& form, uint32_t langId);

// The message of section "<SP>" for key, or the default text with its escapes resolved.
std::wstring LocalizeMessage(uint32_t langId, const std::string& key, const std::wstring& defaultText);
// LocalizeMessage with every "%s1%" replaced by value1 and every "%s2%" by value2, in one pass
// from left to right: the values themselves are not searched for placeholders.
std::wstring LocalizeMessageFmt(uint32_t langId, const std::string& key, const std::wstring& defaultText,
                                const std::wstring& value1, const std::wstring& value2);

} // namespace qm
