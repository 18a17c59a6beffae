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

std::string UpToNul(const char* data, size_t size) {
    std::string text(data, size);
    if (size_t nul = text.find('\0'); nul != std::string::npos)
        text.resize(nul);
    return text;
}

} // namespace

std::optional<std::string> ReadText(HKEY root, const std::string& subKey, const std::string& valueName,
                                    bool expand, REGSAM extraAccess) {
    Key key;
    if (RegOpenKeyExA(root, subKey.c_str(), 0, KEY_QUERY_VALUE | extraAccess, key.Out()) != ERROR_SUCCESS)
        return std::nullopt;
    // The value may grow between the question for its size and the reading; ask again then.
    std::vector<char> data;
    DWORD type = REG_NONE;
    for (int attempt = 0;; ++attempt) {
        DWORD size = 0;
        LONG status = RegQueryValueExA(key.Get(), valueName.c_str(), nullptr, &type, nullptr, &size);
        if (status != ERROR_SUCCESS)
            return std::nullopt;
        data.assign(size + 1, '\0');
        status = RegQueryValueExA(key.Get(), valueName.c_str(), nullptr, &type,
                                  reinterpret_cast<BYTE*>(data.data()), &size);
        if (status == ERROR_SUCCESS) {
            data.resize(size);
            break;
        }
        if (status != ERROR_MORE_DATA || attempt == 4)
            return std::nullopt;
    }
    if (type == REG_SZ)
        return UpToNul(data.data(), data.size());
    if (type != REG_EXPAND_SZ || !expand)
        return std::nullopt;
    std::string raw = UpToNul(data.data(), data.size());
    DWORD needed = ExpandEnvironmentStringsA(raw.c_str(), nullptr, 0);
    if (needed == 0)
        return raw;
    std::vector<char> expanded(needed + 1, '\0');
    if (ExpandEnvironmentStringsA(raw.c_str(), expanded.data(), needed + 1) == 0)
        return raw;
    return std::string(expanded.data());
}

bool WriteText(HKEY root, const std::string& subKey, const std::string& valueName, const std::string& text) {
    Key key;
    if (RegCreateKeyExA(root, subKey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr,
                        key.Out(), nullptr) != ERROR_SUCCESS)
        return false;
    std::string stored = UpToNul(text.data(), text.size());
    return RegSetValueExA(key.Get(), valueName.c_str(), 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(stored.c_str()),
                          static_cast<DWORD>(stored.size() + 1)) == ERROR_SUCCESS;
}

} // namespace qmlib
