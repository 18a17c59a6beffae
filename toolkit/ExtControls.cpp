#include "ExtControls.h"

#include "Form.h"
#include "StdControls.h"

#include <commctrl.h>
#include <uxtheme.h>

#include <algorithm>

namespace tk {

namespace {

// Paints into a bitmap and copies the result to the target when it goes, so that a
// control drawn in layers does not flicker.
class OffscreenDc {
public:
    OffscreenDc(HDC target, const RECT& rect)
        : target_(target), rect_(rect), dc_(CreateCompatibleDC(target)),
          bitmap_(CreateCompatibleBitmap(target, Width(), Height())) {
        old_ = SelectObject(dc_, bitmap_.Get());
    }
    ~OffscreenDc() {
        BitBlt(target_, rect_.left, rect_.top, Width(), Height(), dc_, 0, 0, SRCCOPY);
        SelectObject(dc_, old_);
        DeleteDC(dc_);
    }
    OffscreenDc(const OffscreenDc&) = delete;
    OffscreenDc& operator=(const OffscreenDc&) = delete;

    HDC Get() const { return dc_; }
    int Width() const { return rect_.right - rect_.left; }
    int Height() const { return rect_.bottom - rect_.top; }

private:
    HDC target_;
    RECT rect_;
    HDC dc_;
    GdiObject bitmap_;
    HGDIOBJ old_ = nullptr;
};

// Draws the part `from` of a bitmap into `to`, stretched; when transparent, the pixels of
// the colour of the bitmap's bottom-left pixel leave the destination as it was.
void DrawBitmap(HDC dc, HBITMAP bitmap, const RECT& from, const RECT& to, bool transparent) {
    BITMAP info{};
    if (!bitmap || !GetObjectW(bitmap, sizeof(info), &info))
        return;
    int sw = from.right - from.left, sh = from.bottom - from.top;
    int dw = to.right - to.left, dh = to.bottom - to.top;
    HDC source = CreateCompatibleDC(dc);
    HGDIOBJ oldSource = SelectObject(source, bitmap);
    SetStretchBltMode(dc, COLORONCOLOR);
    if (!transparent) {
        StretchBlt(dc, to.left, to.top, dw, dh, source, from.left, from.top, sw, sh, SRCCOPY);
    } else {
        // The mask is white where the key colour is and black elsewhere.
        HDC maskDc = CreateCompatibleDC(dc);
        GdiObject mask(CreateBitmap(sw, sh, 1, 1, nullptr));
        HGDIOBJ oldMask = SelectObject(maskDc, mask.Get());
        SetBkColor(source, GetPixel(source, 0, info.bmHeight - 1));
        BitBlt(maskDc, 0, 0, sw, sh, source, from.left, from.top, SRCCOPY);
        // (destination ^ source) & mask ^ source: the destination under the key colour,
        // the source elsewhere.
        COLORREF oldBack = SetBkColor(dc, RGB(255, 255, 255));
        COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0));
        StretchBlt(dc, to.left, to.top, dw, dh, source, from.left, from.top, sw, sh, SRCINVERT);
        StretchBlt(dc, to.left, to.top, dw, dh, maskDc, 0, 0, sw, sh, SRCAND);
        StretchBlt(dc, to.left, to.top, dw, dh, source, from.left, from.top, sw, sh, SRCINVERT);
        SetBkColor(dc, oldBack);
        SetTextColor(dc, oldText);
        SelectObject(maskDc, oldMask);
        DeleteDC(maskDc);
    }
    SelectObject(source, oldSource);
    DeleteDC(source);
}

bool Inside(HWND hwnd, LPARAM lParam) {
    POINT point{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    RECT client;
    GetClientRect(hwnd, &client);
    return PtInRect(&client, point) != FALSE;
}

} // namespace

// Up-downs

UpDown::UpDown(Control& parent, std::string name, const Bounds& bounds, Edit& buddy, int min, int max,
               int position)
    : Control(ControlKind::UpDown, std::move(name), &parent, false) {
    CreateChildWindow(UPDOWN_CLASSW,
                      WS_VISIBLE | UDS_ARROWKEYS | UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_NOTHOUSANDS, 0,
                      bounds, L"");
    SendMessageW(hwnd_, UDM_SETBUDDY, reinterpret_cast<WPARAM>(buddy.Handle()), 0);
    // Aligning takes the up-down's width off the edit; both keep the bounds they were given.
    buddy.SetBounds(buddy.GetBounds());
    PlaceWindow();
    SendMessageW(hwnd_, UDM_SETRANGE32, static_cast<WPARAM>(min), static_cast<LPARAM>(max));
    SetPosition(position);
}

int UpDown::Position() const {
    // UDM_GETPOS reads the edit back, so a number typed into it counts.
    return static_cast<short>(LOWORD(SendMessageW(hwnd_, UDM_GETPOS, 0, 0)));
}

void UpDown::SetPosition(int position) {
    int lo = Min(), hi = Max();
    position = std::clamp(position, std::min(lo, hi), std::max(lo, hi));
    SendMessageW(hwnd_, UDM_SETPOS32, 0, static_cast<LPARAM>(position));
}

int UpDown::Min() const {
    int lo = 0, hi = 0;
    SendMessageW(hwnd_, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&lo), reinterpret_cast<LPARAM>(&hi));
    return lo;
}

int UpDown::Max() const {
    int lo = 0, hi = 0;
    SendMessageW(hwnd_, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&lo), reinterpret_cast<LPARAM>(&hi));
    return hi;
}

void UpDown::SetRange(int min, int max) {
    int position = Position();
    SendMessageW(hwnd_, UDM_SETRANGE32, static_cast<WPARAM>(min), static_cast<LPARAM>(max));
    SetPosition(position);
}

// Tool buttons

ToolButton::ToolButton(Control& parent, std::string name, const Bounds& bounds, HBITMAP glyphs,
                       bool ownsGlyphs)
    : Control(ControlKind::ToolButton, std::move(name), &parent, false), glyphs_(glyphs) {
    if (ownsGlyphs)
        ownedGlyphs_.Reset(glyphs);
    CreateChildWindow(WC_BUTTONW, WS_VISIBLE | BS_OWNERDRAW, 0, bounds, L"");
    SetWindowSubclass(hwnd_, &ToolButton::MouseProc, 0, reinterpret_cast<DWORD_PTR>(this));
}

ToolButton::~ToolButton() {
    if (hwnd_)
        RemoveWindowSubclass(hwnd_, &ToolButton::MouseProc, 0);
}

void ToolButton::Click() {
    if (!Enabled())
        return;
    if (OnClick)
        OnClick();
}

void ToolButton::SetEnabled(bool enabled) {
    // A disabled window hears nothing of the mouse leaving it.
    if (!enabled)
        hot_ = false;
    Control::SetEnabled(enabled);
}

bool ToolButton::OnCommand(WORD code) {
    if (code != BN_CLICKED)
        return false;
    Click();
    return true;
}

void ToolButton::SetPressed(bool pressed) {
    if (pressed_ == pressed)
        return;
    pressed_ = pressed;
    InvalidateRect(hwnd_, nullptr, FALSE);
}

// The mouse is handled here rather than by the button itself, which would take the focus
// from the control the button works on (a list, say). BM_CLICK arrives as a button press
// and release too.
LRESULT CALLBACK ToolButton::MouseProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                       DWORD_PTR data) {
    auto* self = reinterpret_cast<ToolButton*>(data);
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        self->tracking_ = true;
        SetCapture(hwnd);
        self->SetPressed(true);
        return 0;
    case WM_MOUSEMOVE:
        if (!self->hot_) {
            self->hot_ = true;
            TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, hwnd, 0};
            TrackMouseEvent(&track);
            InvalidateRect(hwnd, nullptr, FALSE);
        }
        if (self->tracking_)
            self->SetPressed(Inside(hwnd, lParam));
        return 0;
    case WM_MOUSELEAVE:
        self->hot_ = false;
        InvalidateRect(hwnd, nullptr, FALSE);
        return 0;
    case WM_LBUTTONUP:
        if (self->tracking_) {
            self->tracking_ = false;
            self->SetPressed(false);
            if (GetCapture() == hwnd)
                ReleaseCapture();
            if (Inside(hwnd, lParam))
                SendMessageW(GetParent(hwnd), WM_COMMAND, MAKEWPARAM(self->Id(), BN_CLICKED),
                             reinterpret_cast<LPARAM>(hwnd));
        }
        return 0;
    case WM_CAPTURECHANGED:
        self->tracking_ = false;
        self->SetPressed(false);
        break;
    default:
        break;
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

bool ToolButton::OnDrawItem(DRAWITEMSTRUCT* item) {
    OffscreenDc buffer(item->hDC, item->rcItem);
    HDC dc = buffer.Get();
    RECT rect{0, 0, buffer.Width(), buffer.Height()};
    // A flat button shows what it stands on: a themed page's body or the button face.
    DrawThemeParentBackground(hwnd_, dc, nullptr);
    bool disabled = (item->itemState & ODS_DISABLED) != 0;
    bool pressed = !disabled && pressed_;
    if (pressed)
        DrawEdge(dc, &rect, BDR_SUNKENOUTER, BF_RECT);
    else if (!disabled && hot_)
        DrawEdge(dc, &rect, BDR_RAISEDINNER, BF_RECT);

    BITMAP info{};
    if (glyphs_ && GetObjectW(glyphs_, sizeof(info), &info)) {
        int width = info.bmWidth / 2;
        RECT from{disabled ? width : 0, 0, disabled ? 2 * width : width, info.bmHeight};
        int w = Scale(width), h = Scale(info.bmHeight);
        int shift = pressed ? 1 : 0;
        RECT to{(rect.right - w) / 2 + shift, (rect.bottom - h) / 2 + shift, 0, 0};
        to.right = to.left + w;
        to.bottom = to.top + h;
        DrawBitmap(dc, glyphs_, from, to, true);
    }
    return true;
}

// Bevels

Bevel::Bevel(Control& parent, std::string name, const Bounds& bounds)
    : Control(ControlKind::Bevel, std::move(name), &parent, false) {
    // Transparent, so that the parent paints its background inside the frame.
    CreateChildWindow(WC_STATICW, WS_VISIBLE | SS_ETCHEDFRAME, WS_EX_TRANSPARENT, bounds, L"");
    // Like a frame drawn on its parent, a bevel lies beneath the controls it surrounds.
    SetWindowPos(hwnd_, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

// Images

Image::Image(Control& parent, std::string name, const Bounds& bounds, HBITMAP picture, bool transparent,
             bool ownsPicture)
    : Control(ControlKind::Image, std::move(name), &parent, false), picture_(picture),
      transparent_(transparent) {
    if (ownsPicture)
        ownedPicture_.Reset(picture);
    CreateChildWindow(WC_STATICW, WS_VISIBLE | SS_OWNERDRAW, 0, bounds, L"");
}

bool Image::OnDrawItem(DRAWITEMSTRUCT* item) {
    OffscreenDc buffer(item->hDC, item->rcItem);
    RECT rect{0, 0, buffer.Width(), buffer.Height()};
    FillRect(buffer.Get(), &rect, GetSysColorBrush(COLOR_BTNFACE));
    BITMAP info{};
    if (picture_ && GetObjectW(picture_, sizeof(info), &info))
        DrawBitmap(buffer.Get(), picture_, RECT{0, 0, info.bmWidth, info.bmHeight}, rect, transparent_);
    return true;
}

} // namespace tk
