#include "Info.h"

#include "AnsiText.h"
#include "Application.h"
#include "ProfileInteger.h"

#include <windows.h>

#include <algorithm>
#include <stdexcept>

namespace qm {

namespace {

constexpr const char* SettingsSection = "Settings";
constexpr const char* PresentationsSection = "Presentations";
constexpr const char* PresentationKey = "Presentation";
constexpr const char* ViewerKey = "PowerPoint Viewer";
constexpr const char* StartMonitorKey = "Start Monitor";
constexpr const char* CountKey = "TotalPresentationCount";

constexpr DWORD ValueBufferSize = 2048;

// Has the system write out and drop its cached copy of the file, whatever happened before.
class ProfileFlush {
public:
    explicit ProfileFlush(const std::wstring& fileName) : fileName_(fileName) {}
    ~ProfileFlush() { WritePrivateProfileStringW(nullptr, nullptr, nullptr, fileName_.c_str()); }
    ProfileFlush(const ProfileFlush&) = delete;
    ProfileFlush& operator=(const ProfileFlush&) = delete;

private:
    const std::wstring& fileName_;
};

// The file is named by its wide path, so that no file name is altered on its way to the
// profile functions; the values stay in the file's ANSI code page.
std::string ReadString(const std::wstring& fileName, const char* section, const char* key) {
    wchar_t buffer[ValueBufferSize];
    DWORD length = GetPrivateProfileStringW(AnsiToWide(section).c_str(), AnsiToWide(key).c_str(), L"", buffer,
                                            ValueBufferSize, fileName.c_str());
    return WideToAnsi(std::wstring_view(buffer, std::min(length, ValueBufferSize - 1)));
}

int32_t ReadInteger(const std::wstring& fileName, const char* section, const char* key) {
    return ParseProfileInteger(ReadString(fileName, section, key)).value_or(0);
}

bool IsExistingFile(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::vector<std::string> ReadKeyNames(const std::wstring& fileName, const char* section) {
    std::vector<wchar_t> buffer(4096);
    DWORD length = 0;
    for (;;) {
        const auto size = static_cast<DWORD>(buffer.size());
        length = GetPrivateProfileStringW(AnsiToWide(section).c_str(), nullptr, L"", buffer.data(), size,
                                          fileName.c_str());
        // A list that does not fit comes back cut short, with a length of size - 2.
        if (length + 2 < size)
            break;
        buffer.resize(buffer.size() * 2);
    }
    std::vector<std::string> names;
    for (size_t start = 0; start < length;) {
        size_t end = start;
        while (end < length && buffer[end] != L'\0')
            ++end;
        if (end > start)
            names.push_back(WideToAnsi(std::wstring_view(buffer.data() + start, end - start)));
        start = end + 1;
    }
    return names;
}

// The positions 1..count, ascending, whose key the section may hold. Every other position
// reads as an empty value, which names no file, so reading only these gives the same list
// at a cost that follows the file's size rather than a count that may be damaged.
std::vector<int32_t> PositionsToRead(const std::wstring& fileName, int32_t count) {
    std::vector<int32_t> positions;
    for (const std::string& name : ReadKeyNames(fileName, PresentationsSection))
        if (int32_t position = CandidateKeyPosition(name, PresentationKey, count))
            positions.push_back(position);
    std::sort(positions.begin(), positions.end());
    positions.erase(std::unique(positions.begin(), positions.end()), positions.end());
    return positions;
}

} // namespace

void InitInfo(TInfo& info) {
    info.List.clear();
    info.StartMonitor = 0;
    info.CloseAfterShow = false;
}

void FreeInfo(TInfo& info) {
    std::vector<std::wstring>().swap(info.List);
}

void LoadInfo(const std::wstring& fileName, TInfo& info) {
    ProfileFlush flush(fileName);
    const int32_t count = ReadInteger(fileName, SettingsSection, CountKey);
    if (count <= 0)
        info.List.push_back(AnsiToWide(ReadString(fileName, SettingsSection, PresentationKey)));
    info.ViewerFileName = AnsiToWide(ReadString(fileName, SettingsSection, ViewerKey));
    info.StartMonitor = ReadInteger(fileName, SettingsSection, StartMonitorKey);
    if (count <= 0)
        return;
    for (int32_t position : PositionsToRead(fileName, count)) {
        const std::string key = PresentationKey + std::to_string(position);
        std::string path = ReadString(fileName, PresentationsSection, key.c_str());
        if (IsExistingFile(path))
            info.List.push_back(AnsiToWide(path));
    }
}

void LoadInfo(const std::string& fileName, TInfo& info) {
    LoadInfo(AnsiToWide(fileName), info);
}

std::vector<std::wstring> SaveInfo(const std::wstring& fileName, const TInfo& info) {
    ProfileFlush flush(fileName);
    if (info.List.empty())
        throw std::out_of_range("List index out of bounds (0)");
    std::vector<std::wstring> altered;
    // A value goes into the file as its ANSI form gives it back, so that the system's own
    // conversion on writing changes nothing more; a value that this alters is reported.
    auto stored = [&](const std::wstring& value) {
        std::wstring exact = AnsiToWide(WideToAnsi(value));
        if (exact != value && std::find(altered.begin(), altered.end(), value) == altered.end())
            altered.push_back(value);
        return exact;
    };
    auto write = [&](const char* section, const std::string& key, const std::wstring& value) {
        if (!WritePrivateProfileStringW(AnsiToWide(section).c_str(), AnsiToWide(key).c_str(), value.c_str(),
                                        fileName.c_str()))
            throw tk::Error(L"Unable to write to " + fileName);
    };
    write(SettingsSection, PresentationKey, stored(info.List.front()));
    write(SettingsSection, ViewerKey, stored(info.ViewerFileName));
    write(SettingsSection, StartMonitorKey, std::to_wstring(info.StartMonitor));
    write(SettingsSection, CountKey, std::to_wstring(info.List.size()));
    for (size_t i = 0; i < info.List.size(); ++i)
        write(PresentationsSection, PresentationKey + std::to_string(i + 1), stored(info.List[i]));
    return altered;
}

std::vector<std::wstring> SaveInfo(const std::string& fileName, const TInfo& info) {
    return SaveInfo(AnsiToWide(fileName), info);
}

} // namespace qm
