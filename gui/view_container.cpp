#include "gui/view_container.h"

#include <algorithm>
#include <cstring>

#include "gui/frame.h"

namespace VSTGUI {
namespace {

CPoint local(CPoint where, const CRect& container) { return where.offset(-container.left, -container.top); }

constexpr CColor kDimmingVeil{255, 255, 255, 170};

}  // namespace

CViewContainer::CViewContainer(const CRect& size, CBitmap* background) : CView(size) { setBackground(background); }

CViewContainer::~CViewContainer() { removeAll(); }

void CViewContainer::addView(CView* view) {
    if (!view) return;
    view->parent_ = this;
    view->setDirty();
    children_.push_back(view);
}

void CViewContainer::removeView(CView* view) {
    auto found = std::find(children_.begin(), children_.end(), view);
    if (found == children_.end()) return;
    children_.erase(found);
    if (mouse_capture_ == view) mouse_capture_ = nullptr;
    if (pointer_over_ == view) pointer_over_ = nullptr;
    setDirtyArea(view->getViewSize());
    delete view;
}

void CViewContainer::removeAll() {
    mouse_capture_ = nullptr;
    pointer_over_ = nullptr;
    std::vector<CView*> doomed;
    doomed.swap(children_);
    for (auto it = doomed.rbegin(); it != doomed.rend(); ++it) delete *it;
    setDirty();
}

CView* CViewContainer::getView(int index) const {
    return index >= 0 && index < getNbViews() ? children_[std::size_t(index)] : nullptr;
}

void CViewContainer::setDirtyArea(const CRect& area) {
    CFrame* frame = getFrame();
    if (!frame) return;
    CRect r = area;
    const CRect self = getFrameRect();
    if (getParentView()) r.offset(self.left, self.top);
    frame->invalidRect(r);
}

void CViewContainer::draw(CDrawContext* context) {
    CView::draw(context);
    const CRect& size = getViewSize();
    const CPoint saved_offset = context->getOffset();
    const CRect saved_clip = context->getClipRect();
    context->setClipRect(saved_clip.intersection(size));
    context->setOffset(CPoint(saved_offset.x + size.left, saved_offset.y + size.top));
    const CRect clip = context->getClipRect();
    for (CView* child : children_) {
        const CRect area = clip.intersection(child->getViewSize());
        if (!child->isVisible() || area.isEmpty()) continue;
        context->setClipRect(area);  // a child never paints over its neighbours
        child->draw(context);
        if (child->isDimmed()) {
            context->setFillColor(kDimmingVeil);
            context->fillRect(child->getViewSize());
        }
    }
    context->setOffset(saved_offset);
    context->setClipRect(saved_clip);
}

bool CViewContainer::onMouseDown(CPoint where, CButtonState buttons) {
    const CPoint p = local(where, getViewSize());
    for (auto it = children_.rbegin(); it != children_.rend(); ++it) {
        CView* child = *it;
        if (child->isVisible() && child->getViewSize().contains(p) && child->onMouseDown(p, buttons)) {
            // The handler may have removed the child; capture only a live one.
            if (std::find(children_.begin(), children_.end(), child) != children_.end()) mouse_capture_ = child;
            return true;
        }
    }
    return false;
}

bool CViewContainer::onMouseUp(CPoint where, CButtonState buttons) {
    CView* target = mouse_capture_;
    mouse_capture_ = nullptr;
    return target && target->onMouseUp(local(where, getViewSize()), buttons);
}

bool CViewContainer::onMouseMoved(CPoint where, CButtonState buttons) {
    const CPoint p = local(where, getViewSize());
    if (mouse_capture_) return mouse_capture_->onMouseMoved(p, buttons);
    CView* over = nullptr;
    for (auto it = children_.rbegin(); it != children_.rend() && !over; ++it)
        if ((*it)->isVisible() && (*it)->getViewSize().contains(p)) over = *it;
    if (pointer_over_ && pointer_over_ != over) pointer_over_->onMouseExited();
    pointer_over_ = over;
    return over && over->onMouseMoved(p, buttons);
}

void CViewContainer::onMouseExited() {
    if (pointer_over_) pointer_over_->onMouseExited();
    pointer_over_ = nullptr;
}

bool CViewContainer::onWheel(CPoint where, float distance, CButtonState buttons) {
    const CPoint p = local(where, getViewSize());
    for (auto it = children_.rbegin(); it != children_.rend(); ++it) {
        CView* child = *it;
        if (child->isVisible() && child->getViewSize().contains(p) && child->onWheel(p, distance, buttons)) return true;
    }
    return false;
}

bool CViewContainer::isTypeOf(const char* type) const {
    return std::strcmp(type, "CViewContainer") == 0 || CView::isTypeOf(type);
}

void CViewContainer::takeDirtyAreas(std::vector<CRect>& areas, CPoint origin, bool shown) {
    for (CView* child : children_) {
        CRect area = child->getViewSize();
        area.offset(origin.x, origin.y);
        // A child just hidden is dirty too: its old area must be uncovered.
        if (child->takeDirty() && shown) areas.push_back(area);
        if (auto* container = dynamic_cast<CViewContainer*>(child))
            container->takeDirtyAreas(areas, area.topLeft(), shown && child->isVisible());
    }
}

}  // namespace VSTGUI
