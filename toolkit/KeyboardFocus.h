#pragma once
// The keyboard and focus rules of the toolkit's forms, all in one place.
//
// Keys. A key pressed in a form goes first to the form's OnShortCut. Ctrl+Tab then turns to the
// next page and Ctrl+Shift+Tab to the previous one, round at either end, of the page control that
// holds the focus (or else the form's first page control), unless the focused control wants the key
// itself. Every other key goes to the dialog manager, which moves the focus with Tab and the arrows,
// follows Alt+letter accelerators, presses the default button on Enter (asked for with DM_GETDEFID,
// which the form answers), and on Esc presses the form's cancel button, or closes a modal form that
// has none; only keys the dialog manager leaves go to their window.
//
// Saving. After every message and at every idle moment the form notes which of its controls has the
// focus. When the form is activated or given the focus itself, or shown while it is active already,
// the focus goes back to the control noted last, or, when that one is gone, hidden or disabled, to
// the first control in tab order, or, when there is none, to the form. A modal form starts with the
// focus on its default button.
//
// Default frame. Set once, from the focus as it is noted after the message, and again when a button
// becomes or stops being the default button: the focused push button shows the default frame; while
// the focus is on any other control, the default button shows it.
//
// Handing on. The focus never stays on a control that the user cannot see or use: when a page goes
// out of sight with the focus on it, the focus goes to its page control's tab strip; before a focused
// control is disabled, the focus goes to the heir that the control names, or, when it has none that
// can take it, to the next control in tab order.
#include <windows.h>

namespace tk {

class Form;

class KeyboardFocus {
public:
    explicit KeyboardFocus(Form& form) : form_(form) {}

    // Page turning and dialog keys for a message of the form's windows; true when used up.
    bool TranslateKey(MSG& msg);
    // Notes the focus as it is now, and frames the button that goes with it.
    void Note(HWND focus);
    // Gives the focus back, as on activation.
    void Restore();
    // Puts the focus on the default button of a modal form that starts.
    void StartModal();
    // Esc: presses the cancel button, or closes a modal form that has none.
    void Cancel();
    // Frames the buttons anew after the default button has changed.
    void Reframe() { Frame(last_); }

private:
    bool TurnPage(const MSG& msg);
    void Frame(HWND focus);

    Form& form_;
    HWND last_ = nullptr;
    // The dialog manager has moved the default frame by rules of its own since the last note.
    bool frameMoved_ = false;
};

// After windows inside the container were hidden: when the focus was on one of them, it moves to
// the fallback window (the system may have moved it to the container meanwhile).
void KeepFocusInSight(HWND focusBefore, HWND container, HWND fallback);
// Before a control is disabled: its focus moves to its heir when the heir can take it, else to the
// next control of its form in tab order.
void HandOnFocusBeforeDisabling(HWND form, HWND control, HWND heir);

} // namespace tk
