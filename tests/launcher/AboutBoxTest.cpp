#include "AboutUnit.h"
#include "AnsiText.h"
#include "BoxDriver.h"
#include "Localizer.h"
#include "MainUnit.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

namespace {

// What the About box showed.
struct SeenAboutBox {
    std::wstring caption;
    std::wstring okCaption;
    bool focusedOk = false;
};

// The About box: a visible popup form of this process.
HWND FindAboutBox() {
    for (HWND w = FindWindowW(nullptr, nullptr); w; w = GetWindow(w, GW_HWNDNEXT)) {
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        wchar_t cls[64] = {};
        GetClassNameW(w, cls, 64);
        if (pid == GetCurrentProcessId() && IsWindowVisible(w) && lstrcmpW(cls, L"tkContainer") == 0 &&
            GetWindowLongW(w, GWL_STYLE) & WS_POPUP)
            return w;
    }
    return nullptr;
}

// Closes the About box from another thread, the way the user would, and records what it showed.
class AboutBoxCloser : public SeenAboutBox, public qmtest::BoxDriver {
public:
    enum class Way { Escape, Enter, OkClick, CloseBox };

    explicit AboutBoxCloser(Way way)
        : BoxDriver("the About box", FindAboutBox, [this, way](HWND box) {
              wchar_t text[128] = {};
              GetWindowTextW(box, text, 128);
              caption = text;
              HWND ok = nullptr;
              for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
                  wchar_t cls[32] = {};
                  GetClassNameW(child, cls, 32);
                  if (lstrcmpiW(cls, L"Button") == 0)
                      ok = child;
              }
              wchar_t okText[64] = {};
              if (ok)
                  GetWindowTextW(ok, okText, 64);
              okCaption = okText;
              focusedOk = GetWindowLongW(ok, GWL_STYLE) & BS_DEFPUSHBUTTON;
              switch (way) {
              case Way::Escape:
              case Way::Enter: {
                  WPARAM key = way == Way::Escape ? VK_ESCAPE : VK_RETURN;
                  PostMessageW(ok, WM_KEYDOWN, key, 0);
                  PostMessageW(ok, WM_KEYUP, key, 0xC0000000);
                  break;
              }
              case Way::OkClick:
                  PostMessageW(ok, BM_CLICK, 0, 0);
                  break;
              case Way::CloseBox:
                  PostMessageW(box, WM_SYSCOMMAND, SC_CLOSE, 0);
                  break;
              }
          }) {}
};

TEST(AboutBox, EveryWayOfClosingItReturnsToAUsableMainWindow) {
    qm::L10NResources.clear();
    TMainForm form;
    form.Show();
    for (auto way : {AboutBoxCloser::Way::Escape, AboutBoxCloser::Way::Enter, AboutBoxCloser::Way::OkClick,
                     AboutBoxCloser::Way::CloseBox}) {
        {
            AboutBoxCloser closer(way);
            form.AboutButtonClick();
            closer.Join();
            EXPECT_EQ(closer.caption, L"About Quillmont");
            EXPECT_EQ(closer.okCaption, L"OK");
            EXPECT_TRUE(closer.focusedOk);
        }
        EXPECT_TRUE(IsWindowEnabled(form.Handle()));
    }
}

TEST(AboutBox, TranslatesItsCaptionAndOkButtonButNotItsLabels) {
    qmtest::TempDir dir;
    qmtest::WriteBytes(dir.File(L"0409.lcl"), "<ALL>~OKButtonW~\"Fine\"\r\n"
                                              "AboutForm~<DEFAULT>~\"About it\"\r\n"
                                              "AboutForm~ProductLabel~\"Other product\"\r\n"
                                              "AboutForm~CopyrightLabel~\"Other notice\"\r\n");
    qm::L10NResources.clear();
    qm::LoadL10NResources(dir.Path());
    {
        TAboutForm box;
        const HFONT productFont =
            reinterpret_cast<HFONT>(SendMessageW(box.ProductLabel->Handle(), WM_GETFONT, 0, 0));
        box.Localize(0x0409);
        EXPECT_EQ(box.Caption(), L"About it");
        EXPECT_EQ(box.OKButtonW->Caption(), L"Fine");
        EXPECT_EQ(box.ProductLabel->Caption(), L"Quillmont 3.1");
        EXPECT_EQ(box.CopyrightLabel->Caption(), L"Copyright \u00A9 2026 Brindlecort");
        // The product name keeps its own bold font; the notice follows the system font.
        EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(box.ProductLabel->Handle(), WM_GETFONT, 0, 0)),
                  productFont);
        EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(box.CopyrightLabel->Handle(), WM_GETFONT, 0, 0)),
                  box.Font().Handle());
    }
    // The box's own section wins over "<ALL>".
    qmtest::WriteBytes(dir.File(L"0409.lcl"), "<ALL>~OKButtonW~\"Fine\"\r\nAboutForm~OKButtonW~\"Good\"\r\n");
    qm::L10NResources.clear();
    qm::LoadL10NResources(dir.Path());
    {
        TAboutForm box;
        box.Localize(0x0409);
        EXPECT_EQ(box.OKButtonW->Caption(), L"Good");
        EXPECT_EQ(box.Caption(), L"About Quillmont");
    }
    qm::L10NResources.clear();
}

} // namespace
