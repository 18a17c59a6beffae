#include "CommandLine.h"

#include "AnsiText.h"
#include "Info.h"
#include "ProfileInteger.h"

namespace qm {

namespace {

bool IsSeparator(char c) {
    auto u = static_cast<unsigned char>(c);
    return u >= 1 && u <= 32;
}

std::string LowerAsciiLetters(std::string_view word) {
    std::string low(word);
    for (char& c : low)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return low;
}

bool IsPresentationExtension(const std::string& ext) {
    for (const char* known : {".ppt", ".pps", ".pptx", ".pptm", ".ppsx", ".ppsm"})
        if (ext == known)
            return true;
    return false;
}

// The number that a word after "/n" or after a presentation stands for. Unlike a settings
// value, a hexadecimal number must lie within the signed 32-bit range too: "$FFFFFFFF" is none.
std::optional<int32_t> ParseCommandLineInteger(std::string_view word) {
    std::optional<WrittenNumber> number = ReadWrittenNumber(word, " ");
    return number ? SignedValue(*number) : std::nullopt;
}

} // namespace

std::vector<std::string> SplitCommandLine(std::string_view line) {
    std::vector<std::string> words;
    size_t p = 0;
    const size_t n = line.size();
    auto at = [&](size_t i) { return i < n ? line[i] : '\0'; };
    for (;;) {
        for (;;) {
            while (p < n && at(p) != '\0' && IsSeparator(at(p)))
                ++p;
            if (at(p) == '"' && at(p + 1) == '"')
                p += 2;
            else
                break;
        }
        if (p >= n || at(p) == '\0')
            break;
        std::string word;
        while (p < n && at(p) != '\0' && !IsSeparator(at(p))) {
            if (at(p) == '"') {
                ++p;
                while (p < n && at(p) != '\0' && at(p) != '"')
                    word += line[p++];
                if (at(p) == '"')
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

std::string WordExtension(std::string_view word) {
    size_t dot = word.find_last_of('.');
    if (dot == std::string_view::npos)
        return {};
    size_t separator = word.find_last_of("\\:");
    if (separator != std::string_view::npos && separator > dot)
        return {};
    return std::string(word.substr(dot));
}

CommandLineOutcome ApplyCommandLine(const std::vector<std::string>& words, TInfo& info,
                                    int32_t& instanceNumber, const CommandLineSources& sources) {
    CommandLineOutcome outcome;
    const size_t count = words.size();
    for (size_t i = 0; i < count; ++i) {
        info.ViewerFileName = sources.storedViewer();
        const std::string& word = words[i];
        const std::string low = LowerAsciiLetters(word);
        if (low == "/l") {
            outcome.loadOnly = true;
        } else if (low == "/n") {
            if (i + 1 < count) {
                ++i;
                // A word that is no number is consumed and leaves the number as it was.
                if (auto value = ParseCommandLineInteger(words[i]))
                    instanceNumber = *value;
            }
        } else if (low == "/s") {
            info.CloseAfterShow = true;
        } else {
            const std::string ext = WordExtension(word);
            if (ext == ".qlmv") {
                sources.loadSettings(word, info);
            } else if (IsPresentationExtension(ext)) {
                info.List.push_back(AnsiToWide(word));
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
