#pragma once
// The About box: product name and version, logo, and the maker's notice with its links.
#include "ExtControls.h"
#include "Form.h"
#include "Handles.h"
#include "StdControls.h"

#include <cstdint>

class TAboutForm : public tk::Form {
public:
    // The box stays above its owner window and has no taskbar button of its own.
    explicit TAboutForm(HWND owner = nullptr);
    ~TAboutForm() override;

    void Localize(uint32_t LangID);
    void ProductLabelClick();
    void CopyrightLabelClick();
    void FormCreate();
    void FormShortCut(const MSG& Msg, bool& Handled);

    tk::Bevel* Bevel1 = nullptr;
    tk::Bevel* Bevel2 = nullptr;
    tk::Label* ProductLabel = nullptr;
    tk::Label* CopyrightLabel = nullptr;
    tk::Image* ProductLogoImage = nullptr;
    tk::Button* OKButtonW = nullptr;

private:
    tk::GdiObject logo_;
};
