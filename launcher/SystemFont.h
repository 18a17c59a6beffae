#pragma once
#include "Font.h"

// Gives the font the desktop's icon-title font, or the default GUI font when that cannot be read.
void SetSystemFont(tk::Font& Font);
// Gives the font the stock default GUI font.
void SetDefaultGUIFont(tk::Font& Font);
