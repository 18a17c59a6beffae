#include "LocalizerCore.h"

namespace qm {

const TL10NResource* FindL10NResource(uint32_t langId) {
    const uint32_t primary = langId & 0x3FF;
    const TL10NResource* candidate = nullptr;
    for (const auto& language : L10NResources) {
        if (language->ID == langId)
            return language.get();
        if (language->ID == primary)
            candidate = language.get();
    }
    return candidate;
}

bool FindStringResource(const TL10NResource& language, const std::string& section, const std::string& key,
                        std::wstring& text, std::wstring& hint) {
    for (const auto& entry : language.Entries) {
        if (entry.Section == section && entry.Key == key) {
            text = entry.Text;
            hint = entry.Hint;
            return true;
        }
    }
    return false;
}

std::wstring LocalizeMessage(uint32_t langId, const std::string& key, const std::wstring& defaultText) {
    std::wstring result = defaultText;
    ApplyReplacePatterns(result);
    if (const TL10NResource* language = FindL10NResource(langId)) {
        std::wstring hint;
        FindStringResource(*language, "<SP>", key, result, hint);
    }
    return result;
}

std::wstring LocalizeMessageFmt(uint32_t langId, const std::string& key, const std::wstring& defaultText,
                                const std::wstring& value1, const std::wstring& value2) {
    const std::wstring text = LocalizeMessage(langId, key, defaultText);
    // One pass for both placeholders, so that a value (a path, say) is never searched for them.
    std::wstring result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const std::wstring_view rest = std::wstring_view(text).substr(i);
        if (rest.starts_with(L"%s1%") || rest.starts_with(L"%s2%")) {
            result += rest[2] == L'1' ? value1 : value2;
            i += 4;
        } else {
            result += text[i++];
        }
    }
    return result;
}

} // namespace qm
