#include "gui/option_menu_list.h"

#include <algorithm>

#include "gui/option_menu.h"

namespace VSTGUI::detail {
namespace {

constexpr CColor kListBack{255, 255, 255, 255};
constexpr CColor kListBorder{90, 90, 90, 255};
constexpr CColor kHoverBack{200, 220, 240, 255};
constexpr CCoord kCheckColumn = 14;

// A small tick drawn pixel by pixel, so no font needs the glyph.
void draw_check_mark(CDrawContext& context, CPoint origin, CColor color) {
    static constexpr CPoint points[] = {{0, 4}, {1, 5}, {2, 6}, {3, 5}, {4, 4}, {5, 3}, {6, 2}, {7, 1},
                                        {0, 3}, {1, 4}, {2, 5}, {3, 4}, {4, 3}, {5, 2}, {6, 1}, {7, 0}};
    for (CPoint p : points) context.drawPoint(CPoint(origin.x + p.x, origin.y + p.y), color);
}

}  // namespace

CRect place_option_list(const CRect& field, const CRect& frame, CCoord width, int entries) {
    const CCoord height = entries * COptionMenu::kEntryHeight + 2;
    CCoord top = field.bottom;
    if (top + height > frame.bottom) top = field.top - height;
    if (top < frame.top) top = frame.top;
    CCoord left = std::max(frame.left, std::min(field.left, frame.right - width));
    return {left, top, left + width, top + height};
}

option_menu_list::option_menu_list(COptionMenu& menu, const CRect& frame_size, const CRect& box)
    : CView(frame_size), menu_(menu), box_(box) {}

int option_menu_list::entryAt(CPoint where) const {
    if (!box_.contains(where)) return -1;
    const int index = (where.y - box_.top - 1) / COptionMenu::kEntryHeight;
    return index >= 0 && index < menu_.getNbEntries() ? index : -1;
}

void option_menu_list::draw(CDrawContext* context) {
    context->setFillColor(kListBack);
    context->fillRect(box_);
    context->setFrameColor(kListBorder);
    context->frameRect(box_);
    context->setFont(menu_.getFont());
    context->setFontColor(kBlackCColor);
    for (int i = 0; i < menu_.getNbEntries(); ++i) {
        const CCoord top = box_.top + 1 + i * COptionMenu::kEntryHeight;
        const CRect row(box_.left + 1, top, box_.right - 1, top + COptionMenu::kEntryHeight);
        if (i == hovered_) {
            context->setFillColor(kHoverBack);
            context->fillRect(row);
        }
        if (menu_.isChecked(i)) draw_check_mark(*context, CPoint(row.left + 3, row.top + 3), kBlackCColor);
        const CRect text(row.left + kCheckColumn, row.top, row.right - 2, row.bottom);
        context->drawString(menu_.getEntry(i), text, kLeftText);
    }
}

bool option_menu_list::onMouseDown(CPoint where, CButtonState buttons) {
    const int index = entryAt(where);
    if ((buttons & kLButton) && index >= 0)
        menu_.choose(index);
    else if (!box_.contains(where))
        menu_.closeList();
    return true;
}

bool option_menu_list::onMouseMoved(CPoint where, CButtonState) {
    const int index = entryAt(where);
    if (index != hovered_) {
        hovered_ = index;
        setDirty();
    }
    return true;
}

}  // namespace VSTGUI::detail
