// The base of everything on screen. A view has a rectangle in the
// coordinates of the container it is added to, may be hidden, may draw a
// background bitmap, and takes mouse events in those same coordinates: each
// handler answers whether it consumed the event.
//
// Redraw requests (setDirty, invalid) may come from any thread: they only
// set a flag, and the frame repaints flagged views in its idle step on the
// editor's thread. Everything else is for the editor's thread only.
#pragma once

#include <atomic>

#include "gui/bitmap.h"
#include "gui/draw_context.h"
#include "gui/geometry.h"
#include "gui/mouse.h"

namespace VSTGUI {

class CViewContainer;
class CFrame;

class CView {
public:
    explicit CView(const CRect& size);
    virtual ~CView();
    CView(const CView&) = delete;
    CView& operator=(const CView&) = delete;

    const CRect& getViewSize() const { return size_; }
    virtual void setViewSize(const CRect& size);
    CCoord getWidth() const { return size_.width(); }
    CCoord getHeight() const { return size_.height(); }

    bool isVisible() const { return visible_; }
    void setVisible(bool visible);

    // Asks for a repaint of this view's area; any thread.
    void setDirty(bool dirty = true) { dirty_.store(dirty, std::memory_order_relaxed); }
    void invalid() { setDirty(true); }
    bool isDirty() const { return dirty_.load(std::memory_order_relaxed); }
    // Reads and clears the flag (the frame, when it paints).
    bool takeDirty() { return dirty_.exchange(false, std::memory_order_relaxed); }

    // A dimmed view is drawn behind a light veil, for a control that has no
    // effect at the moment; it still takes input.
    void setDimmed(bool dimmed);
    bool isDimmed() const { return dimmed_; }

    // Remembers the new bitmap and forgets the old one; null for none.
    void setBackground(CBitmap* background);
    CBitmap* getBackground() const { return background_; }

    CViewContainer* getParentView() const { return parent_; }
    // The frame this view is in, or null while it is in none.
    CFrame* getFrame() const;
    // This view's rectangle in frame coordinates.
    CRect getFrameRect() const;
    // True when this view and all its containers are visible.
    bool isShown() const;

    // Draws the background bitmap over the view's rectangle.
    virtual void draw(CDrawContext* context);

    virtual bool onMouseDown(CPoint where, CButtonState buttons);
    virtual bool onMouseUp(CPoint where, CButtonState buttons);
    virtual bool onMouseMoved(CPoint where, CButtonState buttons);
    // `distance` is in wheel notches, positive away from the user.
    virtual bool onWheel(CPoint where, float distance, CButtonState buttons);
    // The pointer, moving with no button held, has left the view.
    virtual void onMouseExited() {}

    // True when this view is of the named class or derives from it.
    virtual bool isTypeOf(const char* type) const;
    // A new view like this one; null for views that cannot be copied.
    virtual CView* newCopy() const { return nullptr; }

private:
    friend class CViewContainer;

    CRect size_;
    bool visible_ = true;
    bool dimmed_ = false;
    std::atomic<bool> dirty_{true};
    CViewContainer* parent_ = nullptr;
    CBitmap* background_ = nullptr;
};

}  // namespace VSTGUI
