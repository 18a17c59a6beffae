#include "Info.h"

#include "AnsiText.h"
#include "Application.h"
#include "FileTests.h"
#include "Handles.h"
#include "ProfileInteger.h"

#include <windows.h>

#include <algorithm>
#include <cwctype>
#include <map>
#include <optional>
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

// The profile functions look a bare file name up in the Windows folder; the user means the current
// folder, as every other file function takes it, so they are handed the full path.
std::wstring ProfilePath(const std::wstring& fileName) {
    const DWORD size = GetFullPathNameW(fileName.c_str(), 0, nullptr, nullptr);
    if (size == 0)
        return fileName;
    std::wstring path(size, L'\0');
    const DWORD length = GetFullPathNameW(fileName.c_str(), size, path.data(), nullptr);
    if (length == 0 || length >= size)
        return fileName;
    path.resize(length);
    return path;
}

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

// Values are read wide, so that a UTF-16 file gives them exactly; the system widens the text of an
// ANSI file through the code page.
std::wstring ReadString(const std::wstring& fileName, const char* section, const char* key) {
    wchar_t buffer[ValueBufferSize];
    DWORD length = GetPrivateProfileStringW(AnsiToWide(section).c_str(), AnsiToWide(key).c_str(), L"", buffer,
                                            ValueBufferSize, fileName.c_str());
    return std::wstring(buffer, std::min(length, ValueBufferSize - 1));
}

int32_t ReadInteger(const std::wstring& fileName, const char* section, const char* key) {
    return ParseProfileInteger(WideToAnsi(ReadString(fileName, section, key))).value_or(0);
}

// The file's first bytes (fewer when it is shorter), or nothing when it cannot be opened for reading.
std::optional<std::string> FileStart(const std::wstring& fileName, DWORD count) {
    tk::FileHandle file(CreateFileW(fileName.c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return std::nullopt;
    std::string bytes(count, '\0');
    DWORD read = 0;
    if (count > 0 && !ReadFile(file.Get(), bytes.data(), count, &read, nullptr))
        return std::nullopt;
    bytes.resize(read);
    return bytes;
}

// The lines of a section as the profile functions keep them: "name=value", or "name" for a line
// without "=", in the file's order.
std::vector<std::wstring> ReadSectionLines(const std::wstring& fileName, const char* section) {
    std::vector<wchar_t> buffer(65536);
    DWORD length = 0;
    for (;;) {
        const auto size = static_cast<DWORD>(buffer.size());
        length =
            GetPrivateProfileSectionW(AnsiToWide(section).c_str(), buffer.data(), size, fileName.c_str());
        // A section that does not fit comes back cut short, with a length of size - 2.
        if (length + 2 < size)
            break;
        buffer.resize(buffer.size() * 2);
    }
    std::vector<std::wstring> lines;
    for (size_t start = 0; start < length;) {
        size_t end = start;
        while (end < length && buffer[end] != L'\0')
            ++end;
        if (end > start)
            lines.emplace_back(buffer.data() + start, end - start);
        start = end + 1;
    }
    return lines;
}

// A value that the profile reader is known to give back as it stands: no quote at its start, which
// it may take off with one at the end, no blank or control character at either end, which it trims,
// and far shorter than the reading buffer. Any other value is for the platform to judge.
bool ReadsBackAsIs(std::wstring_view value) {
    auto trimmable = [](wchar_t c) { return c <= L' ' || iswspace(c); };
    return value.size() < ValueBufferSize / 2 &&
           (value.empty() || (value.front() != L'"' && value.front() != L'\'' && !trimmable(value.front()) &&
                              !trimmable(value.back())));
}

// A key name of ASCII letters and digits only. One that needed trimming, or that holds a control
// character or a letter beyond ASCII, may show in the section otherwise than the key reader
// compares it: a NUL ends the name in the section's text, but not for the key reader.
bool IsBareName(std::wstring_view name) {
    return std::all_of(name.begin(), name.end(), [](wchar_t c) {
        return (c >= L'0' && c <= L'9') || (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z');
    });
}

// The values of positions 1..count, ascending, from one reading of the section; the profile
// reader's answer for any other position is empty, which names no file. A value is taken from
// the section where the profile reader is known to give it unchanged: the first key of the
// position, its name bare, its value one that reads back as it stands. Any other position is read
// on its own, so the platform's rules for quotes, cuts, blanks and letters beyond ASCII decide it.
std::vector<std::wstring> ReadPresentations(const std::wstring& fileName, int32_t count) {
    std::map<int32_t, std::optional<std::wstring>> values;
    for (const std::wstring& line : ReadSectionLines(fileName, PresentationsSection)) {
        const size_t equals = line.find(L'=');
        const std::wstring_view name = std::wstring_view(line).substr(0, equals);
        const int32_t position = CandidateKeyPosition(name, PresentationKey, count);
        if (position == 0 || values.count(position))
            continue;
        const std::wstring value = equals == std::wstring::npos ? std::wstring() : line.substr(equals + 1);
        const bool plain = IsBareName(name) && ReadsBackAsIs(value);
        values.emplace(position, plain ? std::optional<std::wstring>(value) : std::nullopt);
    }
    std::vector<std::wstring> presentations;
    presentations.reserve(values.size());
    for (const auto& [position, value] : values) {
        if (value) {
            presentations.push_back(*value);
        } else {
            const std::string key = PresentationKey + std::to_string(position);
            presentations.push_back(ReadString(fileName, PresentationsSection, key.c_str()));
        }
    }
    return presentations;
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

bool LoadInfo(const std::wstring& name, TInfo& info) {
    const std::wstring fileName = ProfilePath(name);
    // The profile functions read a file that they cannot open as an empty one.
    if (FileExists(fileName) && !FileStart(fileName, 0))
        return false;
    ProfileFlush flush(fileName);
    const int32_t count = ReadInteger(fileName, SettingsSection, CountKey);
    if (count <= 0)
        info.List.push_back(ReadString(fileName, SettingsSection, PresentationKey));
    info.ViewerFileName = ReadString(fileName, SettingsSection, ViewerKey);
    info.StartMonitor = ReadInteger(fileName, SettingsSection, StartMonitorKey);
    if (count <= 0)
        return true;
    for (std::wstring& path : ReadPresentations(fileName, count))
        if (FileExists(path))
            info.List.push_back(std::move(path));
    return true;
}

std::vector<std::wstring> SaveInfo(const std::wstring& name, const TInfo& info) {
    const std::wstring fileName = ProfilePath(name);
    ProfileFlush flush(fileName);
    if (info.List.empty())
        throw std::out_of_range("List index out of bounds (0)");
    // The profile functions keep an existing UTF-16 file in UTF-16, any other in the ANSI code page.
    const bool wideFile = FileStart(fileName, 2) == "\xFF\xFE";
    std::vector<std::wstring> altered;
    auto write = [&](const char* section, const std::string& key, const std::wstring& value) {
        if (!WritePrivateProfileStringW(AnsiToWide(section).c_str(), AnsiToWide(key).c_str(), value.c_str(),
                                        fileName.c_str()))
            throw tk::Error(L"Unable to write to " + name);
    };
    // A value goes into an ANSI file as its ANSI form gives it back, so that the system's own
    // conversion on writing changes nothing more. A value that this alters, or that the reader
    // gives back otherwise (trimmed, unquoted, cut), is reported.
    auto writePath = [&](const char* section, const std::string& key, const std::wstring& value) {
        const std::wstring written = wideFile ? value : AnsiToWide(WideToAnsi(value));
        write(section, key, written);
        const bool readsBack = written == value && (ReadsBackAsIs(written) ||
                                                    ReadString(fileName, section, key.c_str()) == value);
        if (!readsBack && std::find(altered.begin(), altered.end(), value) == altered.end())
            altered.push_back(value);
    };
    writePath(SettingsSection, PresentationKey, info.List.front());
    writePath(SettingsSection, ViewerKey, info.ViewerFileName);
    write(SettingsSection, StartMonitorKey, std::to_wstring(info.StartMonitor));
    write(SettingsSection, CountKey, std::to_wstring(info.List.size()));
    for (size_t i = 0; i < info.List.size(); ++i)
        writePath(PresentationsSection, PresentationKey + std::to_string(i + 1), info.List[i]);
    return altered;
}

} // namespace qm
