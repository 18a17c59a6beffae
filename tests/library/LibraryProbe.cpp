// Calls one export of Quillmont.dll from a process of its own and writes the result to a file.
//   libraryprobe <out file> get <application> <section> <key> <default>
//   libraryprobe <out file> save <application> <section> <key> <value>
//   libraryprobe <out file> getviewer <application>
//   libraryprobe <out file> setviewer <application> <path>
// Texts after the command are given in hexadecimal, so that any bytes cross the command line.
#include "PresentationLibrary.h"

#include <shellapi.h>

#include <optional>
#include <string>
#include <vector>

namespace {

std::optional<std::string> FromHex(std::wstring_view hex) {
    auto digit = [](wchar_t c) -> int {
        if (c >= L'0' && c <= L'9')
            return c - L'0';
        if (c >= L'a' && c <= L'f')
            return c - L'a' + 10;
        if (c >= L'A' && c <= L'F')
            return c - L'A' + 10;
        return -1;
    };
    if (hex.size() % 2 != 0)
        return std::nullopt;
    std::string bytes;
    for (size_t i = 0; i < hex.size(); i += 2) {
        int high = digit(hex[i]), low = digit(hex[i + 1]);
        if (high < 0 || low < 0)
            return std::nullopt;
        bytes += static_cast<char>(high * 16 + low);
    }
    return bytes;
}

bool WriteResult(const std::wstring& path, const std::string& bytes) {
    HANDLE file =
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
              written == bytes.size();
    CloseHandle(file);
    return ok;
}

} // namespace

int wmain() {
    int count = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!argv || count < 4)
        return 2;
    std::wstring outFile = argv[1], command = argv[2];
    std::vector<qm::ShortString> texts;
    for (int i = 3; i < count; ++i) {
        std::optional<std::string> text = FromHex(argv[i]);
        if (!text)
            return 2;
        texts.emplace_back(*text);
    }
    LocalFree(argv);

    qm::ShortString result;
    if (command == L"get" && texts.size() == 4) {
        GetSetting(&texts[0], &texts[1], &texts[2], &texts[3], &result);
    } else if (command == L"save" && texts.size() == 4) {
        SaveSetting(&texts[0], &texts[1], &texts[2], &texts[3]);
    } else if (command == L"getviewer" && texts.size() == 1) {
        GetPowerPointViewer2003Executable(&texts[0], &result);
    } else if (command == L"setviewer" && texts.size() == 2) {
        SetPowerPointViewer2003Executable(&texts[0], &texts[1]);
    } else {
        return 2;
    }
    return WriteResult(outFile, result.str()) ? 0 : 1;
}
