#include "Font.h"

namespace tk {

void Font::SetDpi(int dpi) {
    if (dpi == dpi_)
        return;
    dpi_ = dpi;
    if (handle_)
        Make();
}

void Font::SetHandle(HFONT font, int fontDpi) {
    Take(font, true, fontDpi);
}

void Font::SetStockHandle(HFONT font, int fontDpi) {
    Take(font, false, fontDpi);
}

void Font::SetDesign(const LOGFONTW& design) {
    given_ = design;
    givenDpi_ = 96;
    stock_ = nullptr;
    Make();
}

void Font::Take(HFONT font, bool owned, int fontDpi) {
    given_ = LOGFONTW{};
    if (font)
        GetObjectW(font, sizeof(given_), &given_);
    givenDpi_ = fontDpi;
    stock_ = owned ? nullptr : font;
    if (!font || fontDpi == dpi_) {
        Replace(font, owned);
        return;
    }
    Make();
    if (owned)
        DeleteObject(font);
}

void Font::Make() {
    if (stock_ && dpi_ == givenDpi_) {
        Replace(stock_, false);
        return;
    }
    LOGFONTW scaled = given_;
    scaled.lfHeight = MulDiv(given_.lfHeight, dpi_, givenDpi_);
    scaled.lfWidth = MulDiv(given_.lfWidth, dpi_, givenDpi_);
    Replace(CreateFontIndirectW(&scaled), true);
}

void Font::Replace(HFONT font, bool owned) {
    HFONT old = handle_;
    bool oldOwned = owned_;
    handle_ = font;
    owned_ = owned;
    if (OnChange)
        OnChange(font);
    if (old && oldOwned && old != font)
        DeleteObject(old);
}

void Font::Release() {
    if (handle_ && owned_)
        DeleteObject(handle_);
    handle_ = nullptr;
}

} // namespace tk
