// A view holding other views. Children are owned from the moment they are
// added and deleted with the container (or by removeView). Their rectangles
// are relative to the container's top-left corner. The container draws its
// background bitmap, then its visible children in the order they were
// added; the mouse goes to the topmost visible child under the pointer that
// consumes it, and that child then gets the moves and the release. Moves
// with no child holding the mouse go to the topmost visible child under the
// pointer, and the child the pointer leaves hears of it.
#pragma once

#include <vector>

#include "gui/view.h"

namespace VSTGUI {

class CViewContainer : public CView {
public:
    explicit CViewContainer(const CRect& size, CBitmap* background = nullptr);
    ~CViewContainer() override;

    // Takes ownership; null is ignored.
    void addView(CView* view);
    // Deletes the view when it is a child of this container.
    void removeView(CView* view);
    void removeAll();
    int getNbViews() const { return static_cast<int>(children_.size()); }
    CView* getView(int index) const;

    // Asks for a repaint of `area` (container coordinates); editor thread.
    void setDirtyArea(const CRect& area);

    void draw(CDrawContext* context) override;
    bool onMouseDown(CPoint where, CButtonState buttons) override;
    bool onMouseUp(CPoint where, CButtonState buttons) override;
    bool onMouseMoved(CPoint where, CButtonState buttons) override;
    bool onWheel(CPoint where, float distance, CButtonState buttons) override;
    void onMouseExited() override;
    bool isTypeOf(const char* type) const override;

protected:
    // Makes `view` report to this container without becoming a child.
    void adoptWithoutOwning(CView& view) { view.parent_ = this; }

private:
    friend class CFrame;
    // Clears every dirty flag below this container and adds the frame-
    // coordinate areas to repaint; `origin` is this container's top-left in
    // the frame, `shown` whether it is visible on screen.
    void takeDirtyAreas(std::vector<CRect>& areas, CPoint origin, bool shown);

    std::vector<CView*> children_;
    CView* mouse_capture_ = nullptr;
    CView* pointer_over_ = nullptr;  // the child the last bare move went to
};

}  // namespace VSTGUI
