#include "gui/tab_view.h"

#include <cstring>

#include "gui/image_strip.h"

namespace VSTGUI {

CTabButton::CTabButton(const CRect& size, CTabView& owner, int index, CBitmap* bitmap, const char* title)
    : CControl(size, nullptr, -1, bitmap), owner_(owner), index_(index), title_(title ? title : "") {
    setDefaultValue(0.0f);
}

void CTabButton::draw(CDrawContext* context) {
    const bool selected = getValue() > 0.5f;
    if (const CBitmap* bitmap = getBackground()) {
        const detail::image_strip strip{2, bitmap->getHeight() / 2};
        strip.draw(*context, bitmap, getViewSize(), selected ? 1 : 0);
    }
    context->setFont(owner_.getTabFont());
    context->setFontColor(owner_.getTabFontColor(selected));
    context->drawString(title_, getViewSize(), kCenterText);
}

bool CTabButton::onMouseDown(CPoint, CButtonState buttons) {
    if (!(buttons & kLButton)) return false;
    owner_.selectTab(index_);
    return true;
}

bool CTabButton::isTypeOf(const char* type) const {
    return std::strcmp(type, "CTabButton") == 0 || CControl::isTypeOf(type);
}

CTabView::CTabView(const CRect& size, CBitmap* tab_bitmap, CBitmap* background, TabPosition position)
    : CViewContainer(size, background), tab_bitmap_(tab_bitmap), position_(position) {
    if (tab_bitmap_) tab_bitmap_->remember();
}

CTabView::~CTabView() {
    removeAll();  // the buttons go before the bitmap they draw
    if (tab_bitmap_) tab_bitmap_->forget();
}

CCoord CTabView::getTabHeight() const { return tab_bitmap_ ? tab_bitmap_->getHeight() / 2 : 0; }

CRect CTabView::getContentRect() const {
    CRect r(0, 0, getWidth(), getHeight());
    if (position_ == kPositionTop)
        r.top += getTabHeight();
    else
        r.bottom -= getTabHeight();
    return r;
}

void CTabView::addTab(CView* page, const char* title) {
    if (!page) return;
    const int index = getNbTabs();
    auto* button = new CTabButton(CRect(), *this, index, tab_bitmap_, title);
    pages_.push_back(page);
    buttons_.push_back(button);
    page->setVisible(false);
    addView(page);
    addView(button);
    layoutTabs();
    if (index == 0) selectTab(0);
}

CView* CTabView::getTab(int index) const {
    return index >= 0 && index < getNbTabs() ? pages_[std::size_t(index)] : nullptr;
}

bool CTabView::selectTab(int index) {
    if (index < 0 || index >= getNbTabs()) return false;
    for (int i = 0; i < getNbTabs(); ++i) {
        pages_[std::size_t(i)]->setVisible(i == index);
        buttons_[std::size_t(i)]->setValue(i == index ? 1.0f : 0.0f);
    }
    selected_ = index;
    setDirty();
    return true;
}

void CTabView::setTabFontStyle(const CFontDesc& font) {
    tab_font_ = font;
    setDirty();
}

void CTabView::setTabFontColors(CColor selected, CColor unselected) {
    selected_color_ = selected;
    unselected_color_ = unselected;
    setDirty();
}

void CTabView::alignTabs(TabAlignment alignment) {
    alignment_ = alignment;
    layoutTabs();
}

void CTabView::layoutTabs() {
    const CCoord width = tab_bitmap_ ? tab_bitmap_->getWidth() : 0;
    const CCoord height = getTabHeight();
    const CCoord row = width * getNbTabs();
    CCoord x = alignment_ == kAlignCenter ? (getWidth() - row) / 2 : 0;
    const CCoord y = position_ == kPositionTop ? 0 : getHeight() - height;
    for (CTabButton* button : buttons_) {
        button->setViewSize(CRect(x, y, x + width, y + height));
        x += width;
    }
    setDirty();
}

bool CTabView::isTypeOf(const char* type) const {
    return std::strcmp(type, "CTabView") == 0 || CViewContainer::isTypeOf(type);
}

}  // namespace VSTGUI
