// Writes the user's default language identifier, as four hexadecimal digits, to the file named
// by its argument: what a program started with the same environment would see.
#include <windows.h>

#include <cstdio>

int wmain(int argc, wchar_t** argv) {
    if (argc < 2)
        return 2;
    char text[8];
    int n = std::snprintf(text, sizeof(text), "%04x", static_cast<unsigned>(GetUserDefaultLangID()));
    HANDLE file =
        CreateFileW(argv[1], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    DWORD written = 0;
    BOOL ok = WriteFile(file, text, static_cast<DWORD>(n), &written, nullptr);
    CloseHandle(file);
    return ok ? 0 : 1;
}
