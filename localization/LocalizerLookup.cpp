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
    std::wstring result = LocalizeMessage(langId, key, defaultText);
    ReplaceAll(result, L"%s1%", value1);
    ReplaceAll(result, L"%s2%", value2);
    return result;
}

} // namespace qm
