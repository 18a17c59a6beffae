#pragma once
// Language files for the tests: encoders for the byte forms a file may take, and loading a
// temporary folder into the Localizer's global table.
#include "AnsiText.h"
#include "Localizer.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace l10ntest {

inline std::string Utf16(const std::wstring& text, bool bigEndian, bool withMark = true) {
    std::string bytes = withMark ? (bigEndian ? "\xFE\xFF" : "\xFF\xFE") : "";
    for (wchar_t c : text) {
        char high = static_cast<char>((c >> 8) & 0xFF), low = static_cast<char>(c & 0xFF);
        bytes += bigEndian ? std::string{high, low} : std::string{low, high};
    }
    return bytes;
}

inline std::string Utf8(const std::wstring& text, bool withMark = true) {
    std::string bytes = withMark ? "\xEF\xBB\xBF" : "";
    for (wchar_t wc : text) {
        auto c = static_cast<unsigned>(wc);
        if (c < 0x80) {
            bytes += static_cast<char>(c);
        } else if (c < 0x800) {
            bytes += static_cast<char>(0xC0 | (c >> 6));
            bytes += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            bytes += static_cast<char>(0xE0 | (c >> 12));
            bytes += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            bytes += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return bytes;
}

// Writes a language file in UTF-16 little-endian with its mark.
inline void WriteLanguage(const qmtest::TempDir& dir, const std::wstring& name, const std::wstring& text) {
    qmtest::WriteBytes(dir.File(name), Utf16(text, false));
}

inline void LoadFolder(const qmtest::TempDir& dir) {
    qm::LoadL10NResources(dir.Path());
}

// Every test starts and ends with no language loaded and the escape table filled.
class LocalizerTest : public ::testing::Test {
protected:
    void SetUp() override {
        qm::L10NResources.clear();
        qm::InitializeLocalizer();
    }
    void TearDown() override { qm::L10NResources.clear(); }
};

} // namespace l10ntest
