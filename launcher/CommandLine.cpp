#include "CommandLine.h"

#include "Info.h"
#include "ProfileInteger.h"

#include <optional>

namespace qm {

namespace {

bool IsSeparator(wchar_t c) {
    return c >= 1 && c <= 32;
}

std::wstring LowerAsciiLetters(std::wstring_view word) {
    std::wstring low(word);
    for (wchar_t& c : low)
        if (c >= L'A' && c <= L'Z')
            c = static_cast<wchar_t>(c - L'A' + L'a');
    return low;
}

bool IsPresentationExtension(const std::wstring& ext) {
    for (const wchar_t* known : {L".ppt", L".pps", L".pptx", L".pptm", L".ppsx", L".ppsm"})
        if (ext == known)
            return true;
    return false;
}

// The number that a word after "/n" or after a presentation stands for. Unlike a settings
// value, a hexadecimal number must lie within the signed 32-bit range too: "$FFFFFFFF" is none.
// Numbers are written in ASCII; a word with any other character is none.
std::optional<int32_t> ParseCommandLineInteger(std::wstring_view word) {
    std::string ascii;
    for (wchar_t c : word) {
        if (c >= 0x80)
            return std::nullopt;
        ascii += static_cast<char>(c);
    }
    std::optional<WrittenNumber> number = ReadWrittenNumber(ascii, " ");
    return number ? SignedValue(*number) : std::nullopt;
}

} // namespace

std::vector<std::wstring> SplitCommandLine(std::wstring_view line) {
    std::vector<std::wstring> words;
    size_t p = 0;
    const size_t n = line.size();
    auto at = [&](size_t i) { return i < n ? line[i] : L'\0'; };
    for (;;) {
        for (;;) {
            while (p < n && at(p) != L'\0' && IsSeparator(at(p)))
                ++p;
            if (at(p) == L'"' && at(p + 1) == L'"')
                p += 2;
            else
                break;
        }
        if (p >= n || at(p) == L'\0')
            break;
        std::wstring word;
        while (p < n && at(p) != L'\0' && !IsSeparator(at(p))) {
            if (at(p) == L'"') {
                ++p;
                while (p < n && at(p) != L'\0' && at(p) != L'"')
                    word += line[p++];
                if (at(p) == L'"')
                    ++p;
            } else {
                word += line[p++];
            }
        }
        // A lone opening quote at the end leaves an empty word: there are no more words.
        if (word.empty())
            break;
        words.push_back(std::move(word));
    }
    if (!words.empty())
        words.erase(words.begin());
    return words;
}

std::wstring WordExtension(std::wstring_view word) {
    size_t dot = word.find_last_of(L'.');
    if (dot == std::wstring_view::npos)
        return {};
    size_t separator = word.find_last_of(L"\\:");
    if (separator != std::wstring_view::npos && separator > dot)
        return {};
    return std::wstring(word.substr(dot));
}

CommandLineOutcome ApplyCommandLine(const std::vector<std::wstring>& words, TInfo& info,
                                    int32_t& instanceNumber, const CommandLineSources& sources) {
    CommandLineOutcome outcome;
    const size_t count = words.size();
    for (size_t i = 0; i < count; ++i) {
        info.ViewerFileName = sources.storedViewer();
        const std::wstring& word = words[i];
        const std::wstring low = LowerAsciiLetters(word);
        if (low == L"/l") {
            outcome.loadOnly = true;
        } else if (low == L"/n") {
            if (i + 1 < count) {
                ++i;
                // A word that is no number is consumed and leaves the number as it was.
                if (auto value = ParseCommandLineInteger(words[i]))
                    instanceNumber = *value;
            }
        } else if (low == L"/s") {
            info.CloseAfterShow = true;
        } else {
            const std::wstring ext = WordExtension(word);
            if (ext == L".qlmv") {
                sources.loadSettings(word, info);
            } else if (IsPresentationExtension(ext)) {
                info.List.push_back(word);
                info.StartMonitor = 1;
                if (i + 1 < count) {
                    ++i;
                    info.StartMonitor = ParseCommandLineInteger(words[i]).value_or(1);
                    if (info.StartMonitor == 0)
                        info.StartMonitor = 1;
                }
            }
        }
    }
    return outcome;
}

} // namespace qm
