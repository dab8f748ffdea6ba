// Pages with a row of tab buttons. Each page is a view (usually a
// CViewContainer) added with a title; the tab view owns it. Only the
// selected page is visible. The tab bitmap holds a tab's unselected state
// above its selected state; the buttons, as wide as the bitmap and half its
// height high, sit along the top or the bottom edge, from the left edge or
// centred. Pages cover the rest: getContentRect().
//
// Clicking a tab calls selectTab, which subclasses may override (to react
// before calling the base).
#pragma once

#include <string>
#include <vector>

#include "gui/control.h"
#include "gui/font.h"
#include "gui/view_container.h"

namespace VSTGUI {

class CTabView;

class CTabButton : public CControl {
public:
    // Value 1 when selected; `bitmap` as the tab view's.
    CTabButton(const CRect& size, CTabView& owner, int index, CBitmap* bitmap, const char* title);

    const std::string& getTitle() const { return title_; }

    void draw(CDrawContext* context) override;
    bool onMouseDown(CPoint where, CButtonState buttons) override;
    bool isTypeOf(const char* type) const override;

private:
    CTabView& owner_;
    int index_;
    std::string title_;
};

class CTabView : public CViewContainer {
public:
    enum TabPosition { kPositionTop, kPositionBottom };
    enum TabAlignment { kAlignStart, kAlignCenter };

    CTabView(const CRect& size, CBitmap* tab_bitmap, CBitmap* background = nullptr,
             TabPosition position = kPositionTop);
    ~CTabView() override;

    // The area pages should cover, in the tab view's own coordinates.
    CRect getContentRect() const;
    CCoord getTabHeight() const;

    // Takes ownership of `page`; the first page added is selected.
    void addTab(CView* page, const char* title);
    int getNbTabs() const { return static_cast<int>(pages_.size()); }
    CView* getTab(int index) const;

    // Shows page `index` and hides the others; false when out of range.
    virtual bool selectTab(int index);
    int getCurrentSelectedTab() const { return selected_; }

    void setTabFontStyle(const CFontDesc& font);
    const CFontDesc& getTabFont() const { return tab_font_; }
    void setTabFontColors(CColor selected, CColor unselected);
    CColor getTabFontColor(bool selected) const { return selected ? selected_color_ : unselected_color_; }
    void alignTabs(TabAlignment alignment);

    bool isTypeOf(const char* type) const override;

private:
    void layoutTabs();

    CBitmap* tab_bitmap_;
    TabPosition position_;
    TabAlignment alignment_ = kAlignStart;
    std::vector<CView*> pages_;
    std::vector<CTabButton*> buttons_;
    int selected_ = -1;
    CFontDesc tab_font_{"Arial", 12};
    CColor selected_color_ = kBlackCColor;
    CColor unselected_color_{120, 120, 120, 255};
};

}  // namespace VSTGUI
