#include "ListFile.h"

namespace qm {

std::wstring ListFileName(const std::wstring& folder, int number) {
    return folder + L"quillmont" + std::to_wstring(number) + L".txt";
}

std::string ListFileBytes(const std::vector<std::wstring>& entries) {
    std::string bytes = "\xFF\xFE";
    auto put = [&bytes](wchar_t unit) {
        auto value = static_cast<unsigned>(static_cast<char16_t>(unit));
        bytes.push_back(static_cast<char>(value & 0xFF));
        bytes.push_back(static_cast<char>((value >> 8) & 0xFF));
    };
    for (const std::wstring& entry : entries) {
        for (wchar_t unit : entry)
            put(unit);
        put(L'\r');
        put(L'\n');
    }
    return bytes;
}

} // namespace qm
