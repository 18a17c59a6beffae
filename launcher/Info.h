#pragma once
// The launch settings record and the settings files (.qlmv) it is saved to and loaded from.
#include <cstdint>
#include <string>
#include <vector>

namespace qm {

struct TInfo {
    // Presentation paths in show order; duplicates and empty entries are kept.
    std::vector<std::wstring> List;
    std::wstring ViewerFileName;
    // 1-based monitor number; the presentation library is handed MonitorIndex(StartMonitor).
    int32_t StartMonitor = 0;
    // Set only by the "/s" switch and never stored in a settings file.
    bool CloseAfterShow = false;
};

// The presentation library's 0-based index of a start monitor: StartMonitor - 1, and for the
// lowest start monitor, whose index 32 bits cannot hold, the lowest index, negative as well.
constexpr int32_t MonitorIndex(int32_t startMonitor) {
    return startMonitor == INT32_MIN ? INT32_MIN : startMonitor - 1;
}

// Empties the list and resets StartMonitor and CloseAfterShow; ViewerFileName is left alone.
void InitInfo(TInfo& info);
// Releases the list's storage.
void FreeInfo(TInfo& info);

// Replaces ViewerFileName and StartMonitor by the file's values (or empty and 0) and appends
// the file's presentations to List; a missing file reads as defaults. Returns false, with the
// record untouched, when the file exists but cannot be read (another program holds it open
// without sharing, say). A relative file name is taken relative to the current folder.
bool LoadInfo(const std::wstring& fileName, TInfo& info);

// Writes the record into the file, leaving every other key of the file as it was. Throws
// tk::Error "Unable to write to <fileName>" when a write fails, and an index error, before
// writing anything, when List is empty. An existing UTF-16 file takes the values as they stand,
// any other file as the ANSI code page holds them (a character it lacks becomes its default
// character). A relative file name is taken relative to the current folder. The paths that will not
// read back as they stand, altered so, trimmed or unquoted by the reader or longer than the 2047
// characters that it takes, are returned, each once, in the order written.
std::vector<std::wstring> SaveInfo(const std::wstring& fileName, const TInfo& info);

} // namespace qm
