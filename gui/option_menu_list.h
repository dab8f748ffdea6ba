// The open list of an option menu: a modal view over the whole frame that
// draws the entries in a box and takes the click that ends the choice.
#pragma once

#include "gui/view.h"

namespace VSTGUI {
class COptionMenu;
}

namespace VSTGUI::detail {

class option_menu_list : public CView {
public:
    // `box` in frame coordinates, `frame_size` the frame's rectangle.
    option_menu_list(COptionMenu& menu, const CRect& frame_size, const CRect& box);

    const CRect& box() const { return box_; }
    // The entry under `where`, or -1.
    int entryAt(CPoint where) const;

    void draw(CDrawContext* context) override;
    bool onMouseDown(CPoint where, CButtonState buttons) override;
    bool onMouseMoved(CPoint where, CButtonState buttons) override;

private:
    COptionMenu& menu_;
    CRect box_;
    int hovered_ = -1;
};

// Where the list of `entries` entries of `width` goes for a field at `field`
// (frame coordinates): below it if it fits in `frame`, else above it, else
// at the top; moved left to stay inside the frame.
CRect place_option_list(const CRect& field, const CRect& frame, CCoord width, int entries);

}  // namespace VSTGUI::detail
