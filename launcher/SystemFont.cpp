#include "SystemFont.h"

#include <windows.h>

void SetSystemFont(tk::Font& Font) {
    LOGFONTA logFont{};
    static_assert(sizeof(LOGFONTA) == 60);
    // The record describes the font at the system's resolution, whatever the window's is.
    if (SystemParametersInfoA(SPI_GETICONTITLELOGFONT, sizeof(LOGFONTA), &logFont, 0))
        Font.SetHandle(CreateFontIndirectA(&logFont), static_cast<int>(GetDpiForSystem()));
    else
        SetDefaultGUIFont(Font);
}

void SetDefaultGUIFont(tk::Font& Font) {
    Font.SetStockHandle(static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)),
                        static_cast<int>(GetDpiForSystem()));
}
