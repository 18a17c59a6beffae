#pragma once
// Reading the command line: words, extensions, and what the words ask for. No Win32 here.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace qm {

struct TInfo;

// Splits a whole process command line into words and drops the first (the program).
// Blanks and control characters separate words outside double quotes; quotes are removed;
// pairs of double quotes at the start of a word are dropped; a backslash is ordinary.
std::vector<std::wstring> SplitCommandLine(std::wstring_view commandLine);

// The extension of a word as typed: from the last "." after the last "\" and ":" to the end.
std::wstring WordExtension(std::wstring_view word);

struct CommandLineOutcome {
    bool loadOnly = false;
};

// What the command line reads from outside the record.
struct CommandLineSources {
    // The viewer path stored by the presentation library, widened.
    std::function<std::wstring()> storedViewer;
    // Reads a settings file into the record.
    std::function<void(const std::wstring& fileName, TInfo& info)> loadSettings;
};

// Turns the words into the record's contents and the instance number, in word order.
// The caller has set info.StartMonitor to 1 and stops before this when there are no words.
CommandLineOutcome ApplyCommandLine(const std::vector<std::wstring>& words, TInfo& info,
                                    int32_t& instanceNumber, const CommandLineSources& sources);

} // namespace qm
