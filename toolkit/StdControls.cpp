#include "StdControls.h"

#include "Application.h"
#include "Form.h"

#include <commctrl.h>

#include <algorithm>

namespace tk {

// Buttons

Button::Button(Control& parent, std::string name, const Bounds& bounds, const std::wstring& caption)
    : Control(ControlKind::Button, std::move(name), &parent, false) {
    CreateChildWindow(WC_BUTTONW, WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, bounds, caption);
}

void Button::SetDefault(bool isDefault) {
    default_ = isDefault;
    if (form_)
        form_->Keys().Reframe();
}

void Button::ShowDefaultFrame(bool shown) {
    const LONG style = GetWindowLongW(hwnd_, GWL_STYLE);
    if (((style & BS_TYPEMASK) == BS_DEFPUSHBUTTON) == shown)
        return;
    SendMessageW(hwnd_, BM_SETSTYLE, (style & ~BS_TYPEMASK) | (shown ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON),
                 TRUE);
}

void Button::Click() {
    if (!Enabled())
        return;
    if (OnClick)
        OnClick();
    if (modalResult_ != 0 && form_ && form_->IsModal())
        form_->SetModalResult(modalResult_);
}

bool Button::OnCommand(WORD code) {
    if (code != BN_CLICKED)
        return false;
    Click();
    return true;
}

// Labels

Label::Label(Control& parent, std::string name, const Bounds& bounds, const std::wstring& caption,
             Alignment alignment, bool wordWrap)
    : Control(ControlKind::Label, std::move(name), &parent, false) {
    DWORD style = WS_VISIBLE | SS_NOTIFY;
    switch (alignment) {
    case Alignment::Right:
        style |= SS_RIGHT;
        break;
    case Alignment::Center:
        style |= SS_CENTER;
        break;
    case Alignment::Left:
        style |= wordWrap ? SS_LEFT : SS_LEFTNOWORDWRAP;
        break;
    }
    autoSize_ = bounds.width == 0 && bounds.height == 0;
    CreateChildWindow(WC_STATICW, style, 0, bounds, caption);
    if (autoSize_)
        SizeToText();
}

void Label::SetCaption(const std::wstring& text) {
    Control::SetCaption(text);
    if (autoSize_)
        SizeToText();
}

void Label::SizeToText() {
    autoSize_ = true;
    HDC dc = GetDC(hwnd_);
    auto font = reinterpret_cast<HFONT>(SendMessageW(hwnd_, WM_GETFONT, 0, 0));
    HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
    std::wstring text = Caption();
    RECT rect{0, 0, 0, 0};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect, DT_CALCRECT | DT_SINGLELINE);
    if (old)
        SelectObject(dc, old);
    ReleaseDC(hwnd_, dc);
    // Rounded up, so that the text still fits once the bounds are scaled back.
    const int dpi = FormDpi();
    auto unscaled = [dpi](LONG pixels) { return static_cast<int>((pixels * 96 + dpi - 1) / dpi); };
    Bounds b = GetBounds();
    b.width = unscaled(rect.right - rect.left);
    b.height = unscaled(rect.bottom - rect.top);
    SetBounds(b);
}

void Label::OnFontChanged(HFONT) {
    if (autoSize_)
        SizeToText();
}

bool Label::OnCommand(WORD code) {
    if (code != STN_CLICKED)
        return false;
    if (OnClick)
        OnClick();
    return true;
}

bool Label::OnSetCursor() {
    if (!handCursor_)
        return false;
    SetCursor(LoadCursorW(nullptr, IDC_HAND));
    return true;
}

// Group boxes

GroupBox::GroupBox(Control& parent, std::string name, const Bounds& bounds, const std::wstring& caption)
    : Control(ControlKind::GroupBox, std::move(name), &parent, true) {
    CreateChildWindow(WC_BUTTONW, WS_VISIBLE | BS_GROUPBOX, WS_EX_CONTROLPARENT, bounds, caption);
}

// Edits

Edit::Edit(Control& parent, std::string name, const Bounds& bounds, const std::wstring& text, bool readOnly)
    : Control(ControlKind::Edit, std::move(name), &parent, false) {
    CreateChildWindow(WC_EDITW, WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL | (readOnly ? ES_READONLY : 0),
                      WS_EX_CLIENTEDGE, bounds, text);
}

// List boxes

ListBox::ListBox(Control& parent, std::string name, const Bounds& bounds)
    : Control(ControlKind::ListBox, std::move(name), &parent, false) {
    CreateChildWindow(WC_LISTBOXW,
                      WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | LBS_EXTENDEDSEL |
                          LBS_NOINTEGRALHEIGHT | LBS_NOTIFY,
                      WS_EX_CLIENTEDGE, bounds, L"");
}

int ListBox::Count() const {
    return static_cast<int>(SendMessageW(hwnd_, LB_GETCOUNT, 0, 0));
}

std::wstring ListBox::Item(int index) const {
    LRESULT length = SendMessageW(hwnd_, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == LB_ERR)
        return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    LRESULT copied =
        SendMessageW(hwnd_, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied == LB_ERR ? 0 : static_cast<size_t>(copied));
    return text;
}

std::vector<std::wstring> ListBox::Items() const {
    std::vector<std::wstring> items;
    int count = Count();
    for (int i = 0; i < count; ++i)
        items.push_back(Item(i));
    return items;
}

void ListBox::AddString(const std::wstring& text) {
    LRESULT index = SendMessageW(hwnd_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    if (index == LB_ERR || index == LB_ERRSPACE)
        throw Error(L"Out of memory while adding to a list");
}

void ListBox::Append(const std::wstring& text) {
    AddString(text);
    WidenFor(std::span<const std::wstring>(&text, 1));
}

void ListBox::AppendAll(const std::vector<std::wstring>& texts) {
    if (texts.empty())
        return;
    Update update(*this);
    size_t characters = 0;
    for (const std::wstring& text : texts)
        characters += text.size() + 1;
    // Room for all entries at once, instead of growing the list box's storage step by step.
    SendMessageW(hwnd_, LB_INITSTORAGE, texts.size(), characters * sizeof(wchar_t));
    for (const std::wstring& text : texts)
        AddString(text);
    WidenFor(texts);
}

void ListBox::Delete(int index) {
    SendMessageW(hwnd_, LB_DELETESTRING, static_cast<WPARAM>(index), 0);
}

void ListBox::Exchange(int i, int j) {
    if (i == j)
        return;
    std::wstring a = Item(i);
    std::wstring b = Item(j);
    bool selectedI = Selected(i);
    bool selectedJ = Selected(j);
    int low = i < j ? i : j;
    int high = i < j ? j : i;
    const std::wstring& lowText = i < j ? b : a;
    const std::wstring& highText = i < j ? a : b;
    SendMessageW(hwnd_, LB_DELETESTRING, static_cast<WPARAM>(high), 0);
    SendMessageW(hwnd_, LB_INSERTSTRING, static_cast<WPARAM>(high),
                 reinterpret_cast<LPARAM>(highText.c_str()));
    SendMessageW(hwnd_, LB_DELETESTRING, static_cast<WPARAM>(low), 0);
    SendMessageW(hwnd_, LB_INSERTSTRING, static_cast<WPARAM>(low), reinterpret_cast<LPARAM>(lowText.c_str()));
    // The texts change places; the marks stay where they were.
    SetSelected(i, selectedI);
    SetSelected(j, selectedJ);
}

void ListBox::Clear() {
    SendMessageW(hwnd_, LB_RESETCONTENT, 0, 0);
    SendMessageW(hwnd_, LB_SETHORIZONTALEXTENT, 0, 0);
}

bool ListBox::Selected(int index) const {
    return SendMessageW(hwnd_, LB_GETSEL, static_cast<WPARAM>(index), 0) > 0;
}

void ListBox::SetSelected(int index, bool selected) {
    SendMessageW(hwnd_, LB_SETSEL, selected ? TRUE : FALSE, static_cast<LPARAM>(index));
}

int ListBox::SelectedCount() const {
    LRESULT count = SendMessageW(hwnd_, LB_GETSELCOUNT, 0, 0);
    return count == LB_ERR ? 0 : static_cast<int>(count);
}

void ListBox::OnFontChanged(HFONT) {
    SendMessageW(hwnd_, LB_SETHORIZONTALEXTENT, 0, 0);
    WidenFor(Items());
}

void ListBox::WidenFor(std::span<const std::wstring> texts) {
    // Long paths get a horizontal scroll bar instead of being cut off.
    HDC dc = GetDC(hwnd_);
    auto font = reinterpret_cast<HFONT>(SendMessageW(hwnd_, WM_GETFONT, 0, 0));
    HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
    LONG widest = 0;
    for (const std::wstring& text : texts) {
        SIZE size{};
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
        widest = std::max(widest, size.cx);
    }
    if (old)
        SelectObject(dc, old);
    ReleaseDC(hwnd_, dc);
    LRESULT current = SendMessageW(hwnd_, LB_GETHORIZONTALEXTENT, 0, 0);
    if (widest + 8 > current)
        SendMessageW(hwnd_, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(widest + 8), 0);
}

ListBox::Update::Update(ListBox& list) : hwnd_(list.Handle()) {
    SendMessageW(hwnd_, WM_SETREDRAW, FALSE, 0);
}

ListBox::Update::~Update() {
    SendMessageW(hwnd_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(hwnd_, nullptr, TRUE);
}

} // namespace tk
