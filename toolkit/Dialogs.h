#pragma once
#include <windows.h>
// For the OFN_* option flags.
#include <commdlg.h>

#include <functional>
#include <string>
#include <string_view>

namespace tk {

// A common open or save dialog. One object serves its window for life and keeps the file
// name, the filter index and the initial folder from one run to the next.
class FileDialog {
public:
    enum class Kind { Open, Save };

    FileDialog(Kind kind, std::string name);

    const std::string& Name() const { return name_; }

    std::wstring Title;
    // Pairs of description and pattern separated by "|": "Text files|*.txt|All files|*.*".
    std::wstring Filter;
    std::wstring DefaultExt;
    std::wstring FileName;
    std::wstring InitialDir;
    // OFN_* flags.
    DWORD Options = 0;
    int FilterIndex = 1;

    // Shows the dialog modally; true when a file was chosen, whose full path FileName then
    // holds. Throws when the dialog cannot be shown.
    bool Execute(HWND owner);

private:
    Kind kind_;
    std::string name_;
};

// Shows a message box over the owner and returns the button pressed (IDOK, IDYES, ...).
int ShowMessageBox(HWND owner, const std::wstring& text, const std::wstring& caption, UINT style);

// Whether a line of text fits on one line of a message box.
using LineFits = std::function<bool(std::wstring_view line)>;

// A message box whose text is made for the width of its lines: `compose` makes it first for lines
// as wide as the owner's screen allows, then again, before the box shows, for the width that the
// box has taken; the box then takes the height of that text, so that no line wraps.
int ShowFittedMessageBox(HWND owner, const std::function<std::wstring(const LineFits&)>& compose,
                         const std::wstring& caption, UINT style);

} // namespace tk
