#pragma once
#include <windows.h>

#include <functional>

namespace tk {

// A font object that owns its native handle (unless it is a stock object) and tells its owner when
// the handle changes. It keeps the font as it was given, with the resolution that it was made for,
// and makes the handle for every other resolution from that, so that moves between screens never
// pile up rounding.
class Font {
public:
    Font() = default;
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;
    ~Font() { Release(); }

    HFONT Handle() const { return handle_; }
    // The resolution that the handle is made for.
    int Dpi() const { return dpi_; }
    void SetDpi(int dpi);
    // Takes ownership of a font that CreateFontIndirect made for the given resolution.
    void SetHandle(HFONT font, int fontDpi);
    // Uses a stock object made for the given resolution, which is never deleted.
    void SetStockHandle(HFONT font, int fontDpi);
    // A font whose sizes are pixels at 96 dots per inch.
    void SetDesign(const LOGFONTW& design);

    std::function<void(HFONT)> OnChange;

private:
    void Take(HFONT font, bool owned, int fontDpi);
    // Makes the handle for the current resolution from the font as it was given.
    void Make();
    void Replace(HFONT font, bool owned);
    void Release();

    LOGFONTW given_{};
    int givenDpi_ = 96;
    HFONT stock_ = nullptr;
    int dpi_ = 96;
    HFONT handle_ = nullptr;
    bool owned_ = false;
};

} // namespace tk
