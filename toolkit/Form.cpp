#include "Form.h"

#include "Application.h"
#include "StdControls.h"

#include <commctrl.h>

namespace tk {

namespace {

// DM_GETDEFID and DM_SETDEFID are WM_USER and WM_USER + 1; IsDialogMessage asks the form
// for its default button with the first.
constexpr UINT kGetDefId = DM_GETDEFID;

Button* FindButton(const Control& root, bool (Button::*flag)() const) {
    return static_cast<Button*>(root.FindDescendant([flag](Control& control) {
        return control.Kind() == ControlKind::Button && (static_cast<Button&>(control).*flag)() &&
               control.Visible();
    }));
}

DWORD StyleFor(BorderStyle border) {
    switch (border) {
    case BorderStyle::Dialog:
        return WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | WS_CLIPCHILDREN;
    case BorderStyle::Single:
    default:
        return WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
    }
}

} // namespace

const wchar_t* Form::ContainerClass() {
    static const wchar_t* name = [] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof(wc);
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = &Form::ContainerProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.hIcon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1));
        wc.lpszClassName = L"tkContainer";
        RegisterClassExW(&wc);
        return L"tkContainer";
    }();
    return name;
}

Form::Form(std::string name, const std::wstring& caption, int clientWidth, int clientHeight,
           BorderStyle border, HWND owner)
    : Control(ControlKind::Form, std::move(name), nullptr, true) {
    form_ = this;
    SetBounds({0, 0, clientWidth, clientHeight});
    DWORD style = StyleFor(border);
    DWORD exStyle = WS_EX_CONTROLPARENT | (border == BorderStyle::Dialog ? WS_EX_DLGMODALFRAME : 0);
    HWND hwnd = CreateWindowExW(exStyle, ContainerClass(), caption.c_str(), style, CW_USEDEFAULT,
                                CW_USEDEFAULT, clientWidth, clientHeight, owner, nullptr,
                                GetModuleHandleW(nullptr), static_cast<Control*>(this));
    if (!hwnd)
        throw std::runtime_error("Unable to create a window");
    dpi_ = static_cast<int>(GetDpiForWindow(hwnd));
    if (dpi_ <= 0)
        dpi_ = 96;
    RECT rect{0, 0, Scale(clientWidth), Scale(clientHeight)};
    AdjustWindowRectExForDpi(&rect, style, FALSE, exStyle, static_cast<UINT>(dpi_));
    SetWindowPos(hwnd, nullptr, 0, 0, rect.right - rect.left, rect.bottom - rect.top,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);

    LOGFONTW design{};
    design.lfHeight = -12;
    design.lfWeight = FW_NORMAL;
    design.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(design.lfFaceName, L"Segoe UI", LF_FACESIZE);
    font_.OnChange = [this](HFONT font) {
        if (hwnd_)
            SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        ApplyFont(font);
    };
    font_.SetDpi(dpi_);
    font_.SetDesign(design);

    tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    Application::Instance().RegisterForm(*this);
}

Form::~Form() {
    // Children were created after their parents: destroy them first.
    while (!owned_.empty())
        owned_.pop_back();
    Application::Instance().UnregisterForm(*this);
    DestroyHandle();
}

void Form::HandleDestroyed() {
    // The tooltip window is owned by the form's and goes with it.
    tooltip_ = nullptr;
    if (OnDestroy)
        Application::Instance().Dispatch(OnDestroy);
}

void Form::DestroyHandle() {
    if (hwnd_)
        DestroyWindow(hwnd_);
}

void Form::CenterOnScreen() {
    RECT window;
    GetWindowRect(hwnd_, &window);
    int width = window.right - window.left;
    int height = window.bottom - window.top;
    int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    int y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    SetWindowPos(hwnd_, nullptr, x < 0 ? 0 : x, y < 0 ? 0 : y, 0, 0,
                 SWP_NOZORDER | SWP_NOSIZE | SWP_NOACTIVATE);
}

void Form::Show() {
    ShowWithCommand(SW_SHOW);
}

void Form::ShowWithCommand(int showCommand) {
    if (!shownOnce_) {
        shownOnce_ = true;
        CenterOnScreen();
    }
    // A form that became active while hidden (a box it owned has closed) hears of no activation
    // when it shows, so it gives the focus back here.
    const bool activeAlready = GetActiveWindow() == hwnd_;
    ShowWindow(hwnd_, showCommand);
    if (showCommand != SW_SHOWMINNOACTIVE && showCommand != SW_MINIMIZE)
        SetForegroundWindow(hwnd_);
    if (activeAlready)
        keys_.Restore();
}

void Form::Hide() {
    ShowWindow(hwnd_, SW_HIDE);
}

void Form::Close() {
    CloseAction action = CloseAction::Free;
    if (modal_)
        action = CloseAction::Hide;
    if (OnClose) {
        bool handled = false;
        Application::Instance().Dispatch([&] {
            OnClose(action);
            handled = true;
        });
        if (!handled)
            return;
    }
    if (modal_) {
        if (action != CloseAction::None && modalResult_ == 0)
            modalResult_ = IDCANCEL;
        return;
    }
    switch (action) {
    case CloseAction::None:
        break;
    case CloseAction::Hide:
        Hide();
        break;
    case CloseAction::Free:
        if (Application::Instance().MainForm() == this)
            Application::Instance().Terminate();
        else
            Hide();
        break;
    }
}

int Form::ShowModal() {
    auto& app = Application::Instance();
    HWND active = GetActiveWindow();
    std::vector<HWND> disabled;
    std::pair<HWND, std::vector<HWND>*> enumState(hwnd_, &disabled);
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND hwnd, LPARAM param) -> BOOL {
            auto* list = reinterpret_cast<std::pair<HWND, std::vector<HWND>*>*>(param);
            if (hwnd != list->first && IsWindowVisible(hwnd) && IsWindowEnabled(hwnd)) {
                EnableWindow(hwnd, FALSE);
                list->second->push_back(hwnd);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&enumState));
    modal_ = true;
    modalResult_ = 0;
    Show();
    keys_.StartModal();
    while (modalResult_ == 0 && !app.Terminated())
        app.HandleMessage();
    for (HWND hwnd : disabled)
        EnableWindow(hwnd, TRUE);
    if (active && IsWindow(active))
        SetActiveWindow(active);
    Hide();
    modal_ = false;
    return modalResult_;
}

Button* Form::DefaultButton() const {
    return FindButton(*this, &Button::IsDefault);
}
Button* Form::CancelButton() const {
    return FindButton(*this, &Button::IsCancel);
}

void Form::UpdateTooltip(Control& control) {
    if (!tooltip_ || !control.Handle())
        return;
    TTTOOLINFOW info{};
    info.cbSize = sizeof(info);
    info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    info.hwnd = hwnd_;
    info.uId = reinterpret_cast<UINT_PTR>(control.Handle());
    SendMessageW(tooltip_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&info));
    if (control.Hint().empty())
        return;
    std::wstring text = control.Hint();
    info.lpszText = text.data();
    SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
}

void Form::ChangeDpi(int dpi, const RECT& suggested) {
    if (dpi <= 0)
        return;
    dpi_ = dpi;
    SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    // The controls that size themselves to their text measure it again in the new font.
    font_.SetDpi(dpi);
    Rescale();
}

bool Form::HandleMessage(UINT, WPARAM, LPARAM, LRESULT&) {
    return false;
}

LRESULT Form::FormMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case kGetDefId:
        if (Button* def = DefaultButton(); def && def->Enabled())
            return MAKELRESULT(def->Id(), DC_HASDEFID);
        return 0;
    case WM_ACTIVATE:
        // Not left to DefWindowProc, which would give the focus to the bare window.
        if (LOWORD(wParam) == WA_INACTIVE)
            return 0;
        keys_.Restore();
        if (OnActivate)
            Application::Instance().Dispatch(OnActivate);
        return 0;
    case WM_SETFOCUS:
        keys_.Restore();
        return 0;
    case WM_DPICHANGED:
        // Any program can post this message; one without its rectangle is not the system's.
        if (lParam)
            ChangeDpi(static_cast<int>(LOWORD(wParam)), *reinterpret_cast<const RECT*>(lParam));
        return 0;
    case WM_CLOSE:
        Close();
        return 0;
    case WM_DESTROY:
        HandleDestroyed();
        break;
    }
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

LRESULT CALLBACK Form::ContainerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        if (auto* control = static_cast<Control*>(create->lpCreateParams))
            control->AttachHandle(hwnd);
    }
    Control* self = Control::FromHandle(hwnd);
    if (!self)
        return DefWindowProcW(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        self->DetachHandle();
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }

    LRESULT result = 0;
    bool handled = false;
    Application::Instance().Dispatch([&] {
        if (self->Kind() == ControlKind::Form &&
            static_cast<Form*>(self)->HandleMessage(message, wParam, lParam, result)) {
            handled = true;
            return;
        }
        switch (message) {
        case WM_COMMAND: {
            Control* child = Control::FromHandle(reinterpret_cast<HWND>(lParam));
            Form* form = self->OwnerForm();
            if (!child && form) {
                WORD id = LOWORD(wParam);
                if (id == IDCANCEL) {
                    form->Keys().Cancel();
                    handled = true;
                    return;
                }
                child = form->FindDescendant([id](Control& control) { return control.Id() == id; });
            }
            if (child && child->OnCommand(HIWORD(wParam)))
                handled = true;
            break;
        }
        case WM_NOTIFY: {
            auto* header = reinterpret_cast<NMHDR*>(lParam);
            Control* child = Control::FromHandle(header->hwndFrom);
            if (child && child->OnNotify(header, result))
                handled = true;
            break;
        }
        case WM_DRAWITEM: {
            auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
            Control* child = Control::FromHandle(item->hwndItem);
            if (child && child->OnDrawItem(item)) {
                result = TRUE;
                handled = true;
            }
            break;
        }
        case WM_SETCURSOR: {
            Control* child = Control::FromHandle(reinterpret_cast<HWND>(wParam));
            if (child && child != self && child->OnSetCursor()) {
                result = TRUE;
                handled = true;
            }
            break;
        }
        case WM_ERASEBKGND: {
            HDC dc = reinterpret_cast<HDC>(wParam);
            // A child that has its parent's background drawn beneath it moves the origin; a
            // patterned background has to move with it.
            POINT origin{};
            GetViewportOrgEx(dc, &origin);
            SetBrushOrgEx(dc, origin.x, origin.y, nullptr);
            RECT client;
            GetClientRect(hwnd, &client);
            FillRect(dc, &client, self->BackgroundBrush());
            result = TRUE;
            handled = true;
            break;
        }
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN: {
            // Labels and buttons stand on their parent's background, lined up with it.
            HDC dc = reinterpret_cast<HDC>(wParam);
            POINT origin{};
            MapWindowPoints(reinterpret_cast<HWND>(lParam), hwnd, &origin, 1);
            SetBrushOrgEx(dc, -origin.x, -origin.y, nullptr);
            SetBkMode(dc, TRANSPARENT);
            SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
            result = reinterpret_cast<LRESULT>(self->BackgroundBrush());
            handled = true;
            break;
        }
        case WM_THEMECHANGED:
        case WM_SETTINGCHANGE:
        case WM_SYSCOLORCHANGE:
            // Only top-level windows hear of setting changes: the form tells its controls.
            if (self->Kind() == ControlKind::Form)
                self->OnSystemChange(message, wParam, lParam);
            break;
        case WM_SETFONT:
            handled = true;
            break;
        default:
            break;
        }
        if (!handled && self->Kind() == ControlKind::Form) {
            result = static_cast<Form*>(self)->FormMessage(message, wParam, lParam);
            handled = true;
        }
    });
    if (handled)
        return result;
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

} // namespace tk
