#include "gui/frame.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace VSTGUI {
namespace {

// Overlapping areas become one, so no pixel is painted twice.
void merge_overlapping(std::vector<CRect>& areas) {
    for (bool merged = true; merged;) {
        merged = false;
        for (std::size_t i = 0; i < areas.size() && !merged; ++i)
            for (std::size_t j = i + 1; j < areas.size() && !merged; ++j)
                if (areas[i].intersects(areas[j])) {
                    areas[i] = areas[i].unite(areas[j]);
                    areas.erase(areas.begin() + std::ptrdiff_t(j));
                    merged = true;
                }
    }
}

}  // namespace

CFrame::CFrame(const CRect& size, void* parent_window, VSTGUIEditorInterface* editor, double scale)
    : CViewContainer(CRect(0, 0, size.width(), size.height())),
      editor_(editor),
      back_buffer_(std::make_unique<COffscreenContext>(size.width(), size.height(), kWhiteCColor, scale)) {
    if (parent_window)
        window_ = detail::native_window::create_child(parent_window, back_buffer_->getWidth(),
                                                      back_buffer_->getHeight(), *this);
}

CFrame::~CFrame() {
    window_.reset();
    modal_view_ = nullptr;
    removeAll();
}

void* CFrame::getWindowHandle() const { return window_ ? window_->handle() : nullptr; }

void CFrame::setScale(double scale) {
    const CRect& size = getViewSize();
    back_buffer_ = std::make_unique<COffscreenContext>(size.width(), size.height(), kWhiteCColor, scale);
    if (window_) window_->resize(back_buffer_->getWidth(), back_buffer_->getHeight());
    setDirty();
}

CPoint CFrame::logical(CPoint device) const {
    const double scale = getScale();
    return CPoint(int(std::floor(device.x / scale)), int(std::floor(device.y / scale)));
}

int CFrame::getEventDescriptor() const { return window_ ? window_->event_descriptor() : -1; }

void CFrame::idle() {
    if (window_) window_->processEvents();
    paintDirtyAreas();
}

void CFrame::setModalView(CView* view) {
    if (modal_view_) invalidRect(modal_view_->getViewSize());
    modal_view_ = view;
    modal_mouse_target_ = nullptr;
    if (view) {
        adoptWithoutOwning(*view);
        view->setDirty();
    }
}

void CFrame::invalidRect(const CRect& area) {
    const CRect r = area.intersection(getViewSize());
    if (!r.isEmpty()) pending_areas_.push_back(r);
}

void CFrame::paintDirtyAreas() {
    std::vector<CRect> areas;
    areas.swap(pending_areas_);
    if (takeDirty()) areas.push_back(getViewSize());
    takeDirtyAreas(areas, CPoint(0, 0), isVisible());
    if (modal_view_ && modal_view_->takeDirty()) areas.push_back(modal_view_->getViewSize());
    for (CRect& r : areas) r = r.intersection(getViewSize());
    std::erase_if(areas, [](const CRect& r) { return r.isEmpty(); });
    merge_overlapping(areas);

    COffscreenContext& context = *back_buffer_;
    for (const CRect& area : areas) {
        context.setOffset(CPoint(0, 0));
        context.setClipRect(area);
        context.setFillColor(kWhiteCColor);
        context.fillRect(area);  // views with holes show white, not old pixels
        draw(&context);
        if (modal_view_ && modal_view_->isVisible()) modal_view_->draw(&context);
    }
    context.resetClipRect();
    if (window_)
        for (const CRect& area : areas) window_->present(context, context.toDevice(area));
}

bool CFrame::onMouseDown(CPoint where, CButtonState buttons) {
    if (!modal_view_) return CViewContainer::onMouseDown(where, buttons);
    CView* modal = modal_view_;
    if (modal->isVisible() && modal->getViewSize().contains(where) && modal->onMouseDown(where, buttons))
        modal_mouse_target_ = modal_view_ == modal ? modal : nullptr;
    return true;  // nothing under a modal view takes the mouse
}

bool CFrame::onMouseUp(CPoint where, CButtonState buttons) {
    if (!modal_view_) return CViewContainer::onMouseUp(where, buttons);
    CView* target = modal_mouse_target_;
    modal_mouse_target_ = nullptr;
    if (target) target->onMouseUp(where, buttons);
    return true;
}

bool CFrame::onMouseMoved(CPoint where, CButtonState buttons) {
    if (!modal_view_) return CViewContainer::onMouseMoved(where, buttons);
    // A drag goes to where it began; a bare pointer to the modal view, so an
    // open list can show the entry under it.
    CView* target = modal_mouse_target_ ? modal_mouse_target_ : modal_view_;
    if (target->isVisible()) target->onMouseMoved(where, buttons);
    return true;
}

bool CFrame::onWheel(CPoint where, float distance, CButtonState buttons) {
    if (!modal_view_) return CViewContainer::onWheel(where, distance, buttons);
    if (modal_view_->getViewSize().contains(where)) modal_view_->onWheel(where, distance, buttons);
    return true;
}

bool CFrame::isTypeOf(const char* type) const {
    return std::strcmp(type, "CFrame") == 0 || CViewContainer::isTypeOf(type);
}

void CFrame::onWindowMouseDown(CPoint where, CButtonState buttons) {
    if (buttons & kLButton) {
        constexpr auto double_click_time = std::chrono::milliseconds(500);
        constexpr int double_click_distance = 4;
        const auto now = std::chrono::steady_clock::now();
        const bool second = !last_press_double_ && now - last_press_time_ <= double_click_time &&
                            std::abs(where.x - last_press_point_.x) <= double_click_distance &&
                            std::abs(where.y - last_press_point_.y) <= double_click_distance;
        if (second) buttons |= kDoubleClick;
        last_press_time_ = now;
        last_press_point_ = where;
        last_press_double_ = second;
    }
    onMouseDown(logical(where), buttons);
}
void CFrame::onWindowMouseUp(CPoint where, CButtonState buttons) { onMouseUp(logical(where), buttons); }
void CFrame::onWindowMouseMoved(CPoint where, CButtonState buttons) { onMouseMoved(logical(where), buttons); }
void CFrame::onWindowWheel(CPoint where, float distance, CButtonState buttons) {
    onWheel(logical(where), distance, buttons);
}
void CFrame::onWindowMouseLeft() {
    if (!modal_view_) onMouseExited();
}
void CFrame::onWindowExposed(const CRect& area) {
    const double scale = getScale();
    invalidRect(CRect(int(std::floor(area.left / scale)), int(std::floor(area.top / scale)),
                      int(std::ceil(area.right / scale)), int(std::ceil(area.bottom / scale))));
}

}  // namespace VSTGUI
