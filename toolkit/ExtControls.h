#pragma once
#include "Control.h"
#include "Handles.h"

namespace tk {

class Edit;

// An up-down attached to an edit on its right; the edit shows the position. Steps of 1
// without wrap-around, and the Up and Down keys in the edit step it as well.
class UpDown : public Control {
public:
    UpDown(Control& parent, std::string name, const Bounds& bounds, Edit& buddy, int min, int max,
           int position);

    // The position as a signed 16-bit value.
    int Position() const;
    // Clamped to the range.
    void SetPosition(int position);
    int Min() const;
    int Max() const;
    // Moves the position into the new range when it lies outside.
    void SetRange(int min, int max);
};

// A flat, owner-drawn button with a 16 x 16 glyph in its centre that never takes the focus.
// The glyph bitmap is 32 x 16: the normal image on the left, the greyed image for the
// disabled state on the right; the colour of its bottom-left pixel is transparent.
class ToolButton : public Control {
public:
    ToolButton(Control& parent, std::string name, const Bounds& bounds, HBITMAP glyphs,
               bool ownsGlyphs = false);
    ~ToolButton() override;

    void Click();
    Event OnClick;

    void SetEnabled(bool enabled) override;
    bool OnCommand(WORD code) override;
    bool OnDrawItem(DRAWITEMSTRUCT* item) override;

private:
    static LRESULT CALLBACK MouseProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                      DWORD_PTR data);
    void SetPressed(bool pressed);

    HBITMAP glyphs_;
    GdiObject ownedGlyphs_;
    bool tracking_ = false;
    bool pressed_ = false;
    bool hot_ = false;
};

// A lowered etched frame.
class Bevel : public Control {
public:
    Bevel(Control& parent, std::string name, const Bounds& bounds);
};

// A bitmap filling the control, drawn with the colour of its bottom-left pixel left out
// when it is transparent.
class Image : public Control {
public:
    Image(Control& parent, std::string name, const Bounds& bounds, HBITMAP picture, bool transparent,
          bool ownsPicture = false);

    bool OnDrawItem(DRAWITEMSTRUCT* item) override;

private:
    HBITMAP picture_;
    GdiObject ownedPicture_;
    bool transparent_;
};

} // namespace tk
