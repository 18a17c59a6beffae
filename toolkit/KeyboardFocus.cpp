#include "KeyboardFocus.h"

#include "Form.h"
#include "PageControl.h"
#include "StdControls.h"

namespace tk {

namespace {

// The page control that holds the focus (its tab strip answers for it), else the form's first.
PageControl* PageControlForKeys(const Form& form) {
    for (HWND window = GetFocus(); window && window != form.Handle(); window = GetParent(window)) {
        Control* control = Control::FromHandle(window);
        if (control && control->Kind() == ControlKind::PageControl)
            return static_cast<PageControl*>(control);
    }
    return static_cast<PageControl*>(
        form.FindDescendant([](Control& control) { return control.Kind() == ControlKind::PageControl; }));
}

} // namespace

bool KeyboardFocus::TranslateKey(MSG& msg) {
    if (!TurnPage(msg) && !IsDialogMessageW(form_.Handle(), &msg))
        return false;
    // The note after this message frames the buttons again even where the focus stayed.
    if (msg.message == WM_KEYDOWN)
        frameMoved_ = true;
    return true;
}

void KeyboardFocus::Note(HWND focus) {
    if (focus == last_ && !frameMoved_)
        return;
    last_ = focus;
    frameMoved_ = false;
    Frame(focus);
}

void KeyboardFocus::Frame(HWND focus) {
    Control* focused = Control::FromHandle(focus);
    Button* framed = focused && focused->Kind() == ControlKind::Button ? static_cast<Button*>(focused)
                                                                       : form_.DefaultButton();
    // A match that never holds makes the one walk over the tree visit every control.
    form_.FindDescendant([framed](Control& control) {
        if (control.Kind() == ControlKind::Button)
            static_cast<Button&>(control).ShowDefaultFrame(&control == framed);
        return false;
    });
}

void KeyboardFocus::Restore() {
    const HWND form = form_.Handle();
    if (!IsWindowVisible(form) || IsIconic(form))
        return;
    HWND target = last_;
    if (!target || !IsChild(form, target) || !IsWindowVisible(target) || !IsWindowEnabled(target))
        target = GetNextDlgTabItem(form, nullptr, FALSE);
    SetFocus(target ? target : form);
}

void KeyboardFocus::StartModal() {
    if (Button* def = form_.DefaultButton())
        SetFocus(def->Handle());
}

void KeyboardFocus::Cancel() {
    if (Button* cancel = form_.CancelButton())
        cancel->Click();
    else if (form_.IsModal())
        form_.Close();
}

bool KeyboardFocus::TurnPage(const MSG& msg) {
    if (msg.message != WM_KEYDOWN || msg.wParam != VK_TAB || !(GetKeyState(VK_CONTROL) & 0x8000))
        return false;
    if (SendMessageW(msg.hwnd, WM_GETDLGCODE, msg.wParam, reinterpret_cast<LPARAM>(&msg)) & DLGC_WANTMESSAGE)
        return false;
    PageControl* pages = PageControlForKeys(form_);
    if (!pages || pages->PageCount() == 0)
        return false;
    const int count = pages->PageCount();
    const int step = (GetKeyState(VK_SHIFT) & 0x8000) ? count - 1 : 1;
    pages->SetActivePage((pages->ActivePageIndex() + step) % count);
    return true;
}

void KeepFocusInSight(HWND focusBefore, HWND container, HWND fallback) {
    if (focusBefore && IsChild(container, focusBefore) && !IsWindowVisible(focusBefore))
        SetFocus(fallback);
}

void HandOnFocusBeforeDisabling(HWND form, HWND control, HWND heir) {
    if (!form || GetFocus() != control)
        return;
    const HWND next = heir && IsWindowVisible(heir) && IsWindowEnabled(heir)
                          ? heir
                          : GetNextDlgTabItem(form, control, FALSE);
    if (next && next != control)
        SetFocus(next);
}

} // namespace tk
