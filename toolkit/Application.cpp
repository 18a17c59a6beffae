#include "Application.h"

#include "AnsiText.h"
#include "Form.h"

#include <commctrl.h>
#include <objbase.h>

namespace tk {

namespace {
Application* g_instance = nullptr;
}

Error::Error(std::wstring message)
    : std::runtime_error(qm::WideToAnsi(message)), message_(std::move(message)) {}

std::wstring ExceptionText(const std::exception& e) {
    if (auto* error = dynamic_cast<const Error*>(&e))
        return error->Message();
    return qm::AnsiToWide(e.what());
}

std::wstring WithClosingPeriod(std::wstring text) {
    if (!text.empty() && text.back() > L'.')
        text += L'.';
    return text;
}

Application::Application() {
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_STANDARD_CLASSES | ICC_TAB_CLASSES | ICC_UPDOWN_CLASS |
                                              ICC_BAR_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
    comInitialized_ = SUCCEEDED(CoInitialize(nullptr));
    g_instance = this;
}

Application::~Application() {
    if (comInitialized_)
        CoUninitialize();
    if (g_instance == this)
        g_instance = nullptr;
}

Application& Application::Instance() {
    if (!g_instance) {
        // Forms made without an application (unit tests of single windows) get one that
        // lives to the end of the process.
        static Application fallback;
        g_instance = &fallback;
    }
    return *g_instance;
}

void Application::RegisterForm(Form& form) {
    if (!mainForm_)
        mainForm_ = &form;
}

void Application::UnregisterForm(Form& form) {
    if (mainForm_ == &form)
        mainForm_ = nullptr;
}

void Application::ShowException(const std::exception& e) noexcept {
    try {
        std::wstring text = WithClosingPeriod(ExceptionText(e));
        HWND owner = GetActiveWindow();
        MessageBoxW(owner, text.c_str(), title_.c_str(), MB_OK | MB_ICONERROR);
    } catch (...) {
        // Nothing more can be reported when even the error box fails.
    }
}

void Application::Terminate() {
    terminated_ = true;
    PostQuitMessage(0);
}

bool Application::ProcessMessage(MSG& msg) {
    if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        return false;
    if (msg.message == WM_QUIT) {
        terminated_ = true;
        return true;
    }
    Route(msg);
    NoteFocus();
    return true;
}

void Application::Route(MSG& msg) {
    Control* top = msg.hwnd ? Control::FromHandle(GetAncestor(msg.hwnd, GA_ROOT)) : nullptr;
    Form* form = top && top->Kind() == ControlKind::Form ? static_cast<Form*>(top) : nullptr;
    if (form && (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) && form->OnShortCut) {
        bool handled = false;
        Dispatch([&] { form->OnShortCut(msg, handled); });
        if (handled)
            return;
    }
    if (form && form->Keys().TranslateKey(msg))
        return;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}

void Application::NoteFocus() {
    HWND focus = GetFocus();
    HWND top = focus ? GetAncestor(focus, GA_ROOT) : nullptr;
    Control* form = top && top != focus ? Control::FromHandle(top) : nullptr;
    if (form && form->Kind() == ControlKind::Form)
        Dispatch([&] { static_cast<Form*>(form)->Keys().Note(focus); });
}

void Application::Idle() {
    bool done = true;
    if (OnIdle)
        Dispatch([&] { OnIdle(done); });
    NoteFocus();
    if (done && !terminated_)
        WaitMessage();
}

void Application::HandleMessage() {
    MSG msg;
    if (!ProcessMessage(msg))
        Idle();
}

void Application::ProcessMessages() {
    MSG msg;
    while (!terminated_ && ProcessMessage(msg)) {
    }
}

void Application::Run() {
    if (mainForm_ && ShowMainForm) {
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        GetStartupInfoW(&startup);
        int command = SW_SHOWNORMAL;
        if (startup.dwFlags & STARTF_USESHOWWINDOW) {
            if (startup.wShowWindow == SW_SHOWMAXIMIZED)
                command = SW_SHOWMAXIMIZED;
            if (startup.wShowWindow == SW_SHOWMINNOACTIVE)
                command = SW_SHOWMINNOACTIVE;
        }
        mainForm_->ShowWithCommand(command);
    }
    while (!terminated_)
        HandleMessage();
}

} // namespace tk
