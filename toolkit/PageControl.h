#pragma once
#include "Control.h"
#include "Handles.h"

#include <vector>

namespace tk {

class TabSheet;

// A page control: a tab control with one container page per tab. The pages are windows
// beside the tab control inside this control's own container, never children of the tab
// control itself.
class PageControl : public Control {
public:
    PageControl(Control& parent, std::string name, const Bounds& bounds);

    int PageCount() const { return static_cast<int>(pages_.size()); }
    TabSheet& Page(int index) const { return *pages_[static_cast<size_t>(index)]; }
    int ActivePageIndex() const { return active_; }
    // Shows the page; a focus left on a page that is hidden now goes to the tab strip.
    void SetActivePage(int index);

    bool OnNotify(NMHDR* header, LRESULT& result) override;
    void OnFontChanged(HFONT font) override;
    // A theme or system metrics may change the tab strip's height.
    void OnSystemChange(UINT message, WPARAM wParam, LPARAM lParam) override;
    HWND TabHandle() const { return tab_; }
    // What the pages show: the tab control's body where it is drawn with a theme, the
    // button face where not.
    HBRUSH PageBrush();

protected:
    void PlaceWindow() override;

private:
    friend class TabSheet;
    void AddPage(TabSheet& page);
    void PageCaptionChanged(TabSheet& page);
    RECT PageRect() const;
    void LayoutPages();

    HWND tab_ = nullptr;
    GdiObject bodyBitmap_;
    GdiObject bodyBrush_;
    std::vector<TabSheet*> pages_;
    int active_ = -1;
};

class TabSheet : public Control {
public:
    TabSheet(PageControl& pageControl, std::string name, const std::wstring& caption);
    std::wstring Caption() const override { return caption_; }
    void SetCaption(const std::wstring& text) override;
    HBRUSH BackgroundBrush() override { return pageControl_.PageBrush(); }

protected:
    // The page control places its pages.
    void PlaceWindow() override {}

private:
    friend class PageControl;
    PageControl& pageControl_;
    std::wstring caption_;
};

} // namespace tk
