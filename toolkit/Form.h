#pragma once
#include "Control.h"
#include "Font.h"
#include "KeyboardFocus.h"

#include <memory>
#include <vector>

namespace tk {

class Button;

enum class CloseAction { None, Hide, Free };

enum class BorderStyle {
    // Fixed single border with system menu and minimize box.
    Single,
    // Fixed dialog border with a close box only.
    Dialog,
};

// A top-level window that owns its controls.
class Form : public Control {
public:
    // A form with an owner stays above it and has no taskbar button of its own.
    Form(std::string name, const std::wstring& caption, int clientWidth, int clientHeight, BorderStyle border,
         HWND owner = nullptr);
    ~Form() override;

    // Creates a control owned by this form; T's constructor takes the parent first.
    template <typename T, typename... Args> T& Add(Args&&... args) {
        auto control = std::make_unique<T>(std::forward<Args>(args)...);
        T& ref = *control;
        owned_.push_back(std::move(control));
        return ref;
    }

    tk::Font& Font() { return font_; }

    void Show();
    void ShowWithCommand(int showCommand);
    void Hide();
    // Asks the form to close: runs OnClose, then acts on the action it chose.
    void Close();
    // Shows the form modally over the other windows of the thread; returns the modal result.
    int ShowModal();
    void SetModalResult(int result) { modalResult_ = result; }
    bool IsModal() const { return modal_; }

    Button* DefaultButton() const;
    Button* CancelButton() const;
    // The keyboard and focus rules, which the message loop and the buttons consult.
    KeyboardFocus& Keys() { return keys_; }

    std::function<void()> OnActivate;
    std::function<void(CloseAction&)> OnClose;
    std::function<void()> OnDestroy;
    // Every key that may be a short cut (WM_KEYDOWN/WM_SYSKEYDOWN) passes here first.
    std::function<void(const MSG&, bool&)> OnShortCut;

    int NextControlId() { return nextId_++; }
    int Dpi() const { return dpi_; }
    void UpdateTooltip(Control& control);

    // The window class of every container window of the toolkit.
    static const wchar_t* ContainerClass();

    // Destroys the native window now (OnDestroy runs); derived forms call it from their
    // destructor so that OnDestroy still finds their members alive.
    void DestroyHandle();

protected:
    // Derived forms see every message first; return true when handled.
    virtual bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

private:
    static LRESULT CALLBACK ContainerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT FormMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // Runs when the form's native window is destroyed.
    void HandleDestroyed();
    void CenterOnScreen();
    // Takes the suggested rectangle and scales the controls' bounds and the fonts.
    void ChangeDpi(int dpi, const RECT& suggested);

    std::vector<std::unique_ptr<Control>> owned_;
    tk::Font font_;
    HWND tooltip_ = nullptr;
    KeyboardFocus keys_{*this};
    int modalResult_ = 0;
    bool modal_ = false;
    bool shownOnce_ = false;
    int nextId_ = 1000;
    int dpi_ = 96;
};

} // namespace tk
