#pragma once
#include <windows.h>

#include <functional>

namespace tk {

// A font object that owns its native handle (unless it is a stock object) and tells
// its owner when the handle changes.
class Font {
public:
    Font() = default;
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;
    ~Font() { Release(); }

    HFONT Handle() const { return handle_; }
    // Takes ownership of a font that CreateFontIndirect made.
    void SetHandle(HFONT font) { Replace(font, true); }
    // Uses a stock object, which is never deleted.
    void SetStockHandle(HFONT font) { Replace(font, false); }

    std::function<void(HFONT)> OnChange;

private:
    void Replace(HFONT font, bool owned) {
        HFONT old = handle_;
        bool oldOwned = owned_;
        handle_ = font;
        owned_ = owned;
        if (OnChange)
            OnChange(font);
        if (old && oldOwned && old != font)
            DeleteObject(old);
    }
    void Release() {
        if (handle_ && owned_)
            DeleteObject(handle_);
        handle_ = nullptr;
    }
    HFONT handle_ = nullptr;
    bool owned_ = false;
};

// A new font like the given one with its size scaled from one resolution to another; null when
// the font cannot be read.
inline HFONT ScaledFont(HFONT font, int fromDpi, int toDpi) {
    LOGFONTW logFont{};
    if (!font || !GetObjectW(font, sizeof(logFont), &logFont))
        return nullptr;
    logFont.lfHeight = MulDiv(logFont.lfHeight, toDpi, fromDpi);
    logFont.lfWidth = MulDiv(logFont.lfWidth, toDpi, fromDpi);
    return CreateFontIndirectW(&logFont);
}

} // namespace tk
