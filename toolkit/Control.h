#pragma once
// The control tree of the window toolkit: every control has a run-time name, a kind, a
// parent, bounds (pixels at 96 dots per inch), a caption, a hint, enabled and visible
// states, and children when it is a windowed control.
#include "Font.h"
#include "Handles.h"

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tk {

class Form;

enum class ControlKind {
    Form,
    Button,
    Label,
    GroupBox,
    PageControl,
    TabSheet,
    ListBox,
    Edit,
    UpDown,
    ToolButton,
    Bevel,
    Image,
};

struct Bounds {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

using Event = std::function<void()>;

class Control {
public:
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;
    virtual ~Control();

    ControlKind Kind() const { return kind_; }
    const std::string& Name() const { return name_; }
    Control* Parent() const { return parent_; }
    const std::vector<Control*>& Children() const { return children_; }
    // A windowed control can hold child controls.
    bool IsWindowed() const { return windowed_; }
    HWND Handle() const { return hwnd_; }
    Form* OwnerForm() const { return form_; }
    int Id() const { return id_; }
    // The first descendant, depth first in creation order, that matches; null when none does.
    Control* FindDescendant(const std::function<bool(Control&)>& match) const;

    virtual std::wstring Caption() const;
    virtual void SetCaption(const std::wstring& text);
    const std::wstring& Hint() const { return hint_; }
    void SetHint(const std::wstring& hint);

    bool Enabled() const;
    virtual void SetEnabled(bool enabled);
    // Where the focus goes when this control is disabled while it has it, instead of to the next
    // control in tab order.
    void SetFocusHeir(Control* heir) { focusHeir_ = heir; }
    bool Visible() const;
    void SetVisible(bool visible);

    // A control whose caption is the same in every language takes no text from language files.
    void SetFixedCaption(bool fixed) { fixedCaption_ = fixed; }
    bool FixedCaption() const { return fixedCaption_; }

    Bounds GetBounds() const { return bounds_; }
    void SetBounds(const Bounds& bounds);

    // Gives the control a font of its own, sizes in pixels at 96 dots per inch, that it keeps when
    // its form's font changes.
    void SetOwnFont(const LOGFONTW& design);
    bool HasOwnFont() const { return ownFont_.Handle() != nullptr; }

    // Notifications that the parent window reflects back to the control.
    virtual bool OnCommand(WORD /*code*/) { return false; }
    virtual bool OnNotify(NMHDR* /*header*/, LRESULT& /*result*/) { return false; }
    virtual bool OnDrawItem(DRAWITEMSTRUCT* /*item*/) { return false; }
    virtual bool OnSetCursor() { return false; }
    // Runs when the control's font has been replaced, its own or the one from its form.
    virtual void OnFontChanged(HFONT /*font*/) {}
    // Runs for the theme, setting and colour changes that reach the form; the default passes
    // them on to the children.
    virtual void OnSystemChange(UINT message, WPARAM wParam, LPARAM lParam);
    // What the control's children stand on.
    virtual HBRUSH BackgroundBrush() { return GetSysColorBrush(COLOR_BTNFACE); }

    // Looks up the control object behind a window handle of this toolkit.
    static Control* FromHandle(HWND hwnd);

    // Hands a font to this control and every descendant that has none of its own.
    void ApplyFont(HFONT font);
    // Places this control and its descendants anew for the form's resolution and makes their own
    // fonts for it.
    void Rescale();

protected:
    Control(ControlKind kind, std::string name, Control* parent, bool windowed);

    // Creates the control's window as a child of the parent's window (the parent
    // chooses the host window, see ChildHost).
    void CreateChildWindow(const wchar_t* windowClass, DWORD style, DWORD exStyle, const Bounds& bounds,
                           const std::wstring& text);
    void AttachHandle(HWND hwnd);
    // Forgets the window, which is going or gone.
    void DetachHandle();
    // The window in which the children of this control are created.
    virtual HWND ChildHost() const { return hwnd_; }
    // Where a child's bounds are measured from, in the host window's client area.
    virtual POINT ChildOrigin() const { return {0, 0}; }
    virtual void PlaceWindow();

    // The resolution of the control's form.
    int FormDpi() const;
    int Scale(int value) const;

    HWND hwnd_ = nullptr;
    Form* form_ = nullptr;

private:
    friend class Form;
    // Tells a control whose window is of another class than the toolkit's containers that its window
    // goes.
    static LRESULT CALLBACK EndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                    DWORD_PTR control);

    ControlKind kind_;
    std::string name_;
    Control* parent_ = nullptr;
    std::vector<Control*> children_;
    bool windowed_ = false;
    int id_ = 0;
    Bounds bounds_;
    std::wstring hint_;
    Font ownFont_;
    Control* focusHeir_ = nullptr;
    bool fixedCaption_ = false;
};

} // namespace tk
