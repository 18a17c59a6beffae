#include "AboutUnit.h"

#include "Localizer.h"
#include "MainUnit.h"
#include "Resources.h"
#include "StartUp.h"
#include "SystemFont.h"

#include <shellapi.h>

#include <memory>

namespace {
const char kProductAddress[] = "https://www.brindlecort.example/quillmont";
const char kMakerMail[] = "mailto:quillmont@brindlecort.example";
const wchar_t kCopyrightNotice[] = L"Copyright \u00A9 2026 Brindlecort";
} // namespace

TAboutForm::TAboutForm(HWND owner)
    : tk::Form("AboutForm", L"About Quillmont", 362, 217, tk::BorderStyle::Dialog, owner) {
    using tk::Bounds;
    Bevel1 = &Add<tk::Bevel>(*this, "Bevel1", Bounds{8, 8, 346, 170});
    Bevel2 = &Add<tk::Bevel>(*this, "Bevel2", Bounds{24, 24, 33, 33});
    ProductLabel = &Add<tk::Label>(*this, "ProductLabel", Bounds{72, 24, 0, 0}, L"Quillmont 3.1");
    LOGFONTW bold{};
    bold.lfHeight = -12;
    bold.lfWeight = FW_BOLD;
    bold.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(bold.lfFaceName, L"Segoe UI", LF_FACESIZE);
    ProductLabel->SetOwnFont(bold);
    ProductLabel->SetFixedCaption(true);
    ProductLabel->SetHandCursor(true);
    ProductLabel->OnClick = [this] { ProductLabelClick(); };
    CopyrightLabel = &Add<tk::Label>(*this, "CopyrightLabel", Bounds{72, 56, 0, 0}, kCopyrightNotice);
    CopyrightLabel->SetFixedCaption(true);
    CopyrightLabel->SetHandCursor(true);
    CopyrightLabel->OnClick = [this] { CopyrightLabelClick(); };
    logo_.Reset(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_LOGO), IMAGE_BITMAP, 0, 0, 0));
    ProductLogoImage = &Add<tk::Image>(*this, "ProductLogoImage", Bounds{32, 32, 16, 16},
                                       static_cast<HBITMAP>(logo_.Get()), true);
    OnShortCut = [this](const MSG& msg, bool& handled) { FormShortCut(msg, handled); };
    FormCreate();
}

TAboutForm::~TAboutForm() {
    DestroyHandle();
}

void TAboutForm::FormCreate() {
    OKButtonW = &Add<tk::Button>(*this, "OKButtonW", tk::Bounds{264, 184, 89, 25}, L"OK");
    OKButtonW->SetModalResult(IDOK);
    OKButtonW->SetDefault(true);
    OKButtonW->SetCancel(true);
}

void TAboutForm::FormShortCut(const MSG&, bool&) {
    // Windows draws the accelerator underlines itself; keys go on as usual.
}

void TAboutForm::Localize(uint32_t LangID) {
    SetSystemFont(Font());
    qm::LocalizeForm(*this, LangID);
}

void TAboutForm::ProductLabelClick() {
    ShellExecuteA(nullptr, "open", kProductAddress, nullptr, nullptr, SW_SHOWNORMAL);
}

void TAboutForm::CopyrightLabelClick() {
    ShellExecuteA(nullptr, "open", kMakerMail, nullptr, nullptr, SW_SHOWNORMAL);
}

void TMainForm::AboutButtonClick() {
    // The box is made anew for each showing and destroyed on every path.
    auto box = std::make_unique<TAboutForm>(Handle());
    box->Localize(UserLangID);
    box->ShowModal();
}
