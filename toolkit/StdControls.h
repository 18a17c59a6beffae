#pragma once
#include "Control.h"

#include <span>
#include <string>
#include <vector>

namespace tk {

class Button : public Control {
public:
    Button(Control& parent, std::string name, const Bounds& bounds, const std::wstring& caption);

    // The default button is pressed by Enter, the cancel button by Esc.
    void SetDefault(bool isDefault);
    bool IsDefault() const { return default_; }
    // The default frame, which the form moves to a focused push button.
    void ShowDefaultFrame(bool shown);
    void SetCancel(bool isCancel) { cancel_ = isCancel; }
    bool IsCancel() const { return cancel_; }
    // A non-zero modal result closes a modal form when the button is pressed.
    void SetModalResult(int result) { modalResult_ = result; }
    int ModalResult() const { return modalResult_; }

    void Click();
    Event OnClick;

    bool OnCommand(WORD code) override;

private:
    bool default_ = false;
    bool cancel_ = false;
    int modalResult_ = 0;
};

enum class Alignment { Left, Right, Center };

class Label : public Control {
public:
    Label(Control& parent, std::string name, const Bounds& bounds, const std::wstring& caption,
          Alignment alignment = Alignment::Left, bool wordWrap = false);

    void SetHandCursor(bool hand) { handCursor_ = hand; }
    // Gives the label the width and height of its text in its current font.
    void SizeToText();
    Event OnClick;

    void SetCaption(const std::wstring& text) override;
    bool OnCommand(WORD code) override;
    bool OnSetCursor() override;
    void OnFontChanged(HFONT font) override;

private:
    bool handCursor_ = false;
    bool autoSize_ = false;
};

class GroupBox : public Control {
public:
    GroupBox(Control& parent, std::string name, const Bounds& bounds, const std::wstring& caption);
};

class Edit : public Control {
public:
    Edit(Control& parent, std::string name, const Bounds& bounds, const std::wstring& text,
         bool readOnly = false);
    std::wstring Text() const { return Caption(); }
    void SetText(const std::wstring& text) { SetCaption(text); }
    // The edit's text is its content, not a caption that a language file could replace.
};

// A list box with extended multiple selection (Shift and Ctrl extend it).
class ListBox : public Control {
public:
    ListBox(Control& parent, std::string name, const Bounds& bounds);

    int Count() const;
    std::wstring Item(int index) const;
    std::vector<std::wstring> Items() const;
    void Append(const std::wstring& text);
    // Appends every text, with the list box's drawing suspended and one measurement for all.
    void AppendAll(const std::vector<std::wstring>& texts);
    void Delete(int index);
    void Exchange(int i, int j);
    void Clear();
    bool Selected(int index) const;
    void SetSelected(int index, bool selected);
    int SelectedCount() const;

    // Measures every entry again for the horizontal scroll range.
    void OnFontChanged(HFONT font) override;

    // Suspends the list box's drawing while it lives; the list box is drawn afresh afterwards.
    class Update {
    public:
        explicit Update(ListBox& list);
        ~Update();
        Update(const Update&) = delete;
        Update& operator=(const Update&) = delete;

    private:
        HWND hwnd_;
    };

private:
    void AddString(const std::wstring& text);
    void WidenFor(std::span<const std::wstring> texts);
};

} // namespace tk
