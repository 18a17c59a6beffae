#include "Registry.h"

#include <vector>

namespace qmlib {

namespace {

class Key {
public:
    Key() = default;
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
    ~Key() {
        if (key_)
            RegCloseKey(key_);
    }
    HKEY* Out() { return &key_; }
    HKEY Get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

std::wstring UpToNul(const wchar_t* data, size_t size) {
    std::wstring text(data, size);
    if (size_t nul = text.find(L'\0'); nul != std::wstring::npos)
        text.resize(nul);
    return text;
}

} // namespace

std::optional<std::wstring> ReadText(HKEY root, const std::wstring& subKey, const std::wstring& valueName,
                                     bool expand, REGSAM extraAccess) {
    Key key;
    if (RegOpenKeyExW(root, subKey.c_str(), 0, KEY_QUERY_VALUE | extraAccess, key.Out()) != ERROR_SUCCESS)
        return std::nullopt;
    // The value may grow between the question for its size and the reading; ask again then.
    std::vector<wchar_t> data;
    DWORD type = REG_NONE;
    for (int attempt = 0;; ++attempt) {
        DWORD size = 0;
        LONG status = RegQueryValueExW(key.Get(), valueName.c_str(), nullptr, &type, nullptr, &size);
        if (status != ERROR_SUCCESS)
            return std::nullopt;
        // Sizes are in bytes, and a foreign value may hold an odd number of them.
        data.assign(size / sizeof(wchar_t) + 2, L'\0');
        status = RegQueryValueExW(key.Get(), valueName.c_str(), nullptr, &type,
                                  reinterpret_cast<BYTE*>(data.data()), &size);
        if (status == ERROR_SUCCESS) {
            data.resize(size / sizeof(wchar_t));
            break;
        }
        if (status != ERROR_MORE_DATA || attempt == 4)
            return std::nullopt;
    }
    if (type == REG_SZ)
        return UpToNul(data.data(), data.size());
    if (type != REG_EXPAND_SZ || !expand)
        return std::nullopt;
    std::wstring raw = UpToNul(data.data(), data.size());
    DWORD needed = ExpandEnvironmentStringsW(raw.c_str(), nullptr, 0);
    if (needed == 0)
        return raw;
    std::vector<wchar_t> expanded(needed + 1, L'\0');
    if (ExpandEnvironmentStringsW(raw.c_str(), expanded.data(), needed + 1) == 0)
        return raw;
    return std::wstring(expanded.data());
}

bool WriteText(HKEY root, const std::wstring& subKey, const std::wstring& valueName,
               const std::wstring& text) {
    Key key;
    if (RegCreateKeyExW(root, subKey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr,
                        key.Out(), nullptr) != ERROR_SUCCESS)
        return false;
    std::wstring stored = UpToNul(text.data(), text.size());
    return RegSetValueExW(key.Get(), valueName.c_str(), 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(stored.c_str()),
                          static_cast<DWORD>((stored.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

} // namespace qmlib
