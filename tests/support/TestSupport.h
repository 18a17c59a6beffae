#pragma once
// Helpers shared by the tests: temporary folders and files, waiting for a condition.
#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace qmtest {

// A fresh folder under the temporary folder, removed with everything in it at the end.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // Path with a trailing backslash.
    const std::wstring& Path() const { return path_; }
    std::wstring File(const std::wstring& name) const { return path_ + name; }

private:
    std::wstring path_;
};

void WriteBytes(const std::wstring& path, const std::string& bytes);
std::string ReadBytes(const std::wstring& path);
bool FileExists(const std::wstring& path);

// Polls the condition until it holds or the deadline passes; pumps this thread's messages
// meanwhile so that windows of the test process stay alive.
bool WaitFor(const std::function<bool()>& condition,
             std::chrono::milliseconds deadline = std::chrono::milliseconds(10000));

// Dispatches every waiting message of this thread.
void PumpMessages();

// Lower-case hexadecimal digits of every byte.
std::string Hex(std::string_view bytes);

// UTF-8 text for messages and logs.
std::string Utf8(std::wstring_view text);

// The folder that holds the built programs (quillmont.exe, Quillmont.dll, test programs).
std::wstring BinDir();

} // namespace qmtest
