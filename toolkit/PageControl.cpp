#include "PageControl.h"

#include "Form.h"
#include "KeyboardFocus.h"

#include <commctrl.h>
#include <uxtheme.h>
#include <vssym32.h>

#include <algorithm>

namespace tk {

PageControl::PageControl(Control& parent, std::string name, const Bounds& bounds)
    : Control(ControlKind::PageControl, std::move(name), &parent, true) {
    CreateChildWindow(Form::ContainerClass(), WS_VISIBLE | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT, bounds, L"");
    RECT client;
    GetClientRect(hwnd_, &client);
    tab_ = CreateWindowExW(0, WC_TABCONTROLW, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS, 0, 0,
                           client.right, client.bottom, hwnd_,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(form_->NextControlId())),
                           GetModuleHandleW(nullptr), nullptr);
    // The tab strip belongs to this control: its notifications come back here.
    SetPropW(tab_, L"tk.Control", this);
    if (form_->Font().Handle())
        SendMessageW(tab_, WM_SETFONT, reinterpret_cast<WPARAM>(form_->Font().Handle()), FALSE);
}

RECT PageControl::PageRect() const {
    RECT rect;
    GetClientRect(tab_, &rect);
    TabCtrl_AdjustRect(tab_, FALSE, &rect);
    return rect;
}

void PageControl::AddPage(TabSheet& page) {
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = page.caption_.data();
    int index = static_cast<int>(pages_.size());
    pages_.push_back(&page);
    SendMessageW(tab_, TCM_INSERTITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    // Z-order is tab order: the tab strip comes first, then the pages in their order.
    SetWindowPos(page.Handle(), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    LayoutPages();
    if (active_ < 0)
        SetActivePage(0);
    else
        ShowWindow(page.Handle(), SW_HIDE);
}

void PageControl::OnFontChanged(HFONT font) {
    SendMessageW(tab_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    LayoutPages();
}

void PageControl::OnSystemChange(UINT message, WPARAM wParam, LPARAM lParam) {
    // The tab control measures its strip anew first; it hears nothing of settings by itself.
    SendMessageW(tab_, message, wParam, lParam);
    LayoutPages();
    Control::OnSystemChange(message, wParam, lParam);
}

HBRUSH PageControl::PageBrush() {
    HTHEME theme = GetWindowTheme(tab_);
    if (!theme)
        return GetSysColorBrush(COLOR_BTNFACE);
    if (!bodyBrush_) {
        // The body is drawn once in the pages' size and tiled from each page's corner, so that
        // a texture runs on unbroken beneath the controls.
        RECT rect = PageRect();
        OffsetRect(&rect, -rect.left, -rect.top);
        HDC screen = GetDC(tab_);
        HDC dc = CreateCompatibleDC(screen);
        bodyBitmap_.Reset(
            CreateCompatibleBitmap(screen, std::max<LONG>(rect.right, 1), std::max<LONG>(rect.bottom, 1)));
        ReleaseDC(tab_, screen);
        HGDIOBJ old = SelectObject(dc, bodyBitmap_.Get());
        FillRect(dc, &rect, GetSysColorBrush(COLOR_BTNFACE));
        DrawThemeBackground(theme, dc, TABP_BODY, 0, &rect, nullptr);
        SelectObject(dc, old);
        DeleteDC(dc);
        bodyBrush_.Reset(CreatePatternBrush(static_cast<HBITMAP>(bodyBitmap_.Get())));
    }
    return static_cast<HBRUSH>(bodyBrush_.Get());
}

void PageControl::PlaceWindow() {
    Control::PlaceWindow();
    RECT client;
    GetClientRect(hwnd_, &client);
    SetWindowPos(tab_, nullptr, 0, 0, client.right, client.bottom, SWP_NOZORDER | SWP_NOACTIVATE);
    LayoutPages();
}

void PageControl::LayoutPages() {
    RECT rect = PageRect();
    // The pages' size or the tab control's theme may have changed: their body is drawn anew,
    // beneath the controls too.
    bodyBrush_.Reset();
    for (TabSheet* p : pages_) {
        SetWindowPos(p->Handle(), nullptr, rect.left, rect.top, rect.right - rect.left,
                     rect.bottom - rect.top, SWP_NOZORDER | SWP_NOACTIVATE);
        RedrawWindow(p->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    }
    // The tab strip lies above the pages so that it comes first in tab order; its region leaves
    // out the pages' rectangle, or its body would be painted over them and their controls.
    RECT whole;
    GetClientRect(tab_, &whole);
    HRGN region = CreateRectRgnIndirect(&whole);
    HRGN pageArea = CreateRectRgnIndirect(&rect);
    CombineRgn(region, region, pageArea, RGN_DIFF);
    DeleteObject(pageArea);
    // The window owns the region from here on.
    SetWindowRgn(tab_, region, TRUE);
}

void PageControl::PageCaptionChanged(TabSheet& page) {
    for (size_t i = 0; i < pages_.size(); ++i) {
        if (pages_[i] != &page)
            continue;
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = page.caption_.data();
        SendMessageW(tab_, TCM_SETITEMW, i, reinterpret_cast<LPARAM>(&item));
    }
}

void PageControl::SetActivePage(int index) {
    if (index < 0 || index >= PageCount())
        return;
    active_ = index;
    SendMessageW(tab_, TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
    const HWND focus = GetFocus();
    for (int i = 0; i < PageCount(); ++i)
        ShowWindow(pages_[static_cast<size_t>(i)]->Handle(), i == index ? SW_SHOW : SW_HIDE);
    KeepFocusInSight(focus, hwnd_, tab_);
}

bool PageControl::OnNotify(NMHDR* header, LRESULT& result) {
    if (header->hwndFrom != tab_ || header->code != TCN_SELCHANGE)
        return false;
    SetActivePage(static_cast<int>(SendMessageW(tab_, TCM_GETCURSEL, 0, 0)));
    result = 0;
    return true;
}

TabSheet::TabSheet(PageControl& pageControl, std::string name, const std::wstring& caption)
    : Control(ControlKind::TabSheet, std::move(name), &pageControl, true), pageControl_(pageControl),
      caption_(caption) {
    CreateChildWindow(Form::ContainerClass(), WS_CLIPCHILDREN, WS_EX_CONTROLPARENT, Bounds{}, L"");
    pageControl_.AddPage(*this);
}

void TabSheet::SetCaption(const std::wstring& text) {
    caption_ = text;
    pageControl_.PageCaptionChanged(*this);
}

} // namespace tk
