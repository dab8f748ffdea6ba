#include "gui/view.h"

#include <cstring>

#include "gui/frame.h"

namespace VSTGUI {

CView::CView(const CRect& size) : size_(size) {}

CView::~CView() {
    if (background_) background_->forget();
}

void CView::setViewSize(const CRect& size) {
    if (parent_) parent_->setDirtyArea(size_);  // uncover the old place
    size_ = size;
    setDirty();
}

void CView::setVisible(bool visible) {
    if (visible_ == visible) return;
    visible_ = visible;
    setDirty();
}

void CView::setDimmed(bool dimmed) {
    if (dimmed_ == dimmed) return;
    dimmed_ = dimmed;
    setDirty();
}

void CView::setBackground(CBitmap* background) {
    if (background) background->remember();
    if (background_) background_->forget();
    background_ = background;
    setDirty();
}

CFrame* CView::getFrame() const {
    const CView* view = this;
    while (view->parent_) view = view->parent_;
    return dynamic_cast<CFrame*>(const_cast<CView*>(view));
}

CRect CView::getFrameRect() const {
    CRect r = size_;
    for (const CViewContainer* c = parent_; c && c->getParentView(); c = c->getParentView())
        r.offset(c->getViewSize().left, c->getViewSize().top);
    return r;
}

bool CView::isShown() const {
    for (const CView* v = this; v; v = v->parent_)
        if (!v->visible_) return false;
    return true;
}

void CView::draw(CDrawContext* context) {
    if (background_) context->drawBitmap(*background_, size_);
}

bool CView::onMouseDown(CPoint, CButtonState) { return false; }
bool CView::onMouseUp(CPoint, CButtonState) { return false; }
bool CView::onMouseMoved(CPoint, CButtonState) { return false; }
bool CView::onWheel(CPoint, float, CButtonState) { return false; }

bool CView::isTypeOf(const char* type) const { return std::strcmp(type, "CView") == 0; }

}  // namespace VSTGUI
