#pragma once
#include <windows.h>

#include <exception>
#include <functional>
#include <stdexcept>
#include <string>

namespace tk {

class Form;

// An error whose text the application's error box shows as it stands.
class Error : public std::runtime_error {
public:
    explicit Error(std::wstring message);
    const std::wstring& Message() const { return message_; }

private:
    std::wstring message_;
};

// The text of any exception, as the error box shows it.
std::wstring ExceptionText(const std::exception& e);
// Appends a period when the text's last character sorts after ".".
std::wstring WithClosingPeriod(std::wstring text);

class Application {
public:
    // Initializes the toolkit for this thread (common controls, COM as a single-threaded
    // apartment); undone by the destructor.
    Application();
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    static Application& Instance();

    const std::wstring& Title() const { return title_; }
    void SetTitle(std::wstring title) { title_ = std::move(title); }

    // The first form created; closing it ends the message loop.
    Form* MainForm() const { return mainForm_; }
    void RegisterForm(Form& form);
    void UnregisterForm(Form& form);

    // Whether Run shows the main form when it starts.
    bool ShowMainForm = true;
    // Called whenever the message queue runs empty; set the flag to false for another call
    // before the loop waits for the next message.
    std::function<void(bool& done)> OnIdle;

    // Shows the main form (unless ShowMainForm was cleared) and runs the message loop until
    // the main form is closed.
    void Run();
    // Handles one message, or runs the idle event and waits when there is none.
    void HandleMessage();
    // Dispatches all waiting messages without waiting or idling.
    void ProcessMessages();
    void Terminate();
    bool Terminated() const { return terminated_; }

    // Runs an event handler; an exception that escapes it goes to the error box.
    template <typename F> void Dispatch(F&& handler) noexcept {
        try {
            handler();
        } catch (const std::exception& e) {
            ShowException(e);
        } catch (...) {
            ShowException(std::runtime_error("Unknown error"));
        }
    }
    void ShowException(const std::exception& e) noexcept;

private:
    bool ProcessMessage(MSG& msg);
    // The form's short cuts and keyboard rules (KeyboardFocus.h) first, then the window's own
    // procedure.
    void Route(MSG& msg);
    // Tells the form that holds the focus where it is, after every message and when idle.
    void NoteFocus();
    void Idle();

    std::wstring title_;
    Form* mainForm_ = nullptr;
    bool terminated_ = false;
    bool comInitialized_ = false;
};

} // namespace tk
