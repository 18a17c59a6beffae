#include "Control.h"

#include "Form.h"

#include <commctrl.h>

#include <algorithm>

namespace tk {

namespace {
const wchar_t kControlProperty[] = L"tk.Control";
}

Control::Control(ControlKind kind, std::string name, Control* parent, bool windowed)
    : kind_(kind), name_(std::move(name)), parent_(parent), windowed_(windowed) {
    if (parent_) {
        parent_->children_.push_back(this);
        form_ = parent_->form_;
        id_ = form_ ? form_->NextControlId() : 0;
    }
}

Control::~Control() {
    if (parent_) {
        auto& siblings = parent_->children_;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
    }
    // A form has destroyed its window already; the window of any other control goes with it.
    if (const HWND hwnd = hwnd_) {
        DetachHandle();
        if (kind_ != ControlKind::Form)
            DestroyWindow(hwnd);
    }
}

Control* Control::FindDescendant(const std::function<bool(Control&)>& match) const {
    for (Control* child : children_) {
        if (match(*child))
            return child;
        if (Control* found = child->FindDescendant(match))
            return found;
    }
    return nullptr;
}

Control* Control::FromHandle(HWND hwnd) {
    return hwnd ? static_cast<Control*>(GetPropW(hwnd, kControlProperty)) : nullptr;
}

void Control::AttachHandle(HWND hwnd) {
    hwnd_ = hwnd;
    SetPropW(hwnd_, kControlProperty, this);
}

void Control::DetachHandle() {
    if (!hwnd_)
        return;
    RemovePropW(hwnd_, kControlProperty);
    hwnd_ = nullptr;
}

LRESULT CALLBACK Control::EndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                  DWORD_PTR control) {
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(hwnd, &Control::EndProc, id);
        reinterpret_cast<Control*>(control)->DetachHandle();
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

int Control::FormDpi() const {
    return form_ ? form_->Dpi() : 96;
}

int Control::Scale(int value) const {
    return MulDiv(value, FormDpi(), 96);
}

void Control::CreateChildWindow(const wchar_t* windowClass, DWORD style, DWORD exStyle, const Bounds& bounds,
                                const std::wstring& text) {
    bounds_ = bounds;
    HWND host = parent_->ChildHost();
    POINT origin = parent_->ChildOrigin();
    HWND hwnd =
        CreateWindowExW(exStyle, windowClass, text.c_str(), style | WS_CHILD, origin.x + Scale(bounds.left),
                        origin.y + Scale(bounds.top), Scale(bounds.width), Scale(bounds.height), host,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id_)), GetModuleHandleW(nullptr), this);
    if (!hwnd)
        throw std::runtime_error("Unable to create a window");
    // Containers attach themselves and hear of their end in their own window procedure.
    if (!Control::FromHandle(hwnd)) {
        AttachHandle(hwnd);
        SetWindowSubclass(hwnd, &Control::EndProc, 0, reinterpret_cast<DWORD_PTR>(this));
    }
    if (form_ && form_->Font().Handle())
        SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(form_->Font().Handle()), FALSE);
}

std::wstring Control::Caption() const {
    if (!hwnd_)
        return {};
    int length = GetWindowTextLengthW(hwnd_);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    int copied = GetWindowTextW(hwnd_, text.data(), length + 1);
    text.resize(static_cast<size_t>(std::max(copied, 0)));
    return text;
}

void Control::SetCaption(const std::wstring& text) {
    if (hwnd_)
        SetWindowTextW(hwnd_, text.c_str());
}

void Control::SetHint(const std::wstring& hint) {
    hint_ = hint;
    if (form_ && hwnd_)
        form_->UpdateTooltip(*this);
}

bool Control::Enabled() const {
    return hwnd_ && IsWindowEnabled(hwnd_);
}

void Control::SetEnabled(bool enabled) {
    if (!hwnd_ || Enabled() == enabled)
        return;
    if (!enabled && form_)
        HandOnFocusBeforeDisabling(form_->Handle(), hwnd_, focusHeir_ ? focusHeir_->Handle() : nullptr);
    EnableWindow(hwnd_, enabled);
}

bool Control::Visible() const {
    return hwnd_ && (GetWindowLongW(hwnd_, GWL_STYLE) & WS_VISIBLE);
}

void Control::SetVisible(bool visible) {
    if (hwnd_ && Visible() != visible)
        ShowWindow(hwnd_, visible ? SW_SHOW : SW_HIDE);
}

void Control::SetBounds(const Bounds& bounds) {
    bounds_ = bounds;
    PlaceWindow();
}

void Control::PlaceWindow() {
    if (!hwnd_ || !parent_)
        return;
    POINT origin = parent_->ChildOrigin();
    SetWindowPos(hwnd_, nullptr, origin.x + Scale(bounds_.left), origin.y + Scale(bounds_.top),
                 Scale(bounds_.width), Scale(bounds_.height), SWP_NOZORDER | SWP_NOACTIVATE);
}

void Control::SetOwnFont(const LOGFONTW& design) {
    ownFont_.OnChange = [this](HFONT font) {
        if (hwnd_) {
            SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
            OnFontChanged(font);
        }
    };
    ownFont_.SetDpi(FormDpi());
    ownFont_.SetDesign(design);
}

void Control::Rescale() {
    if (HasOwnFont())
        ownFont_.SetDpi(FormDpi());
    PlaceWindow();
    for (Control* child : children_)
        child->Rescale();
}

void Control::OnSystemChange(UINT message, WPARAM wParam, LPARAM lParam) {
    for (Control* child : children_)
        child->OnSystemChange(message, wParam, lParam);
}

void Control::ApplyFont(HFONT font) {
    if (!HasOwnFont() && hwnd_ && kind_ != ControlKind::Form) {
        SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
        OnFontChanged(font);
    }
    for (Control* child : children_)
        child->ApplyFont(font);
}

} // namespace tk
