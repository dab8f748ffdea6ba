// Points and rectangles in pixels. A rectangle is (left, top, right, bottom)
// with right and bottom exclusive, so a 38 x 38 view at (16, 40) is
// (16, 40, 54, 78).
#pragma once

#include <algorithm>

namespace VSTGUI {

using CCoord = int;

struct CPoint {
    CCoord x = 0;
    CCoord y = 0;

    constexpr CPoint() = default;
    constexpr CPoint(CCoord x_, CCoord y_) : x(x_), y(y_) {}

    constexpr CPoint& offset(CCoord dx, CCoord dy) {
        x += dx;
        y += dy;
        return *this;
    }
    constexpr bool operator==(const CPoint&) const = default;
};

struct CRect {
    CCoord left = 0;
    CCoord top = 0;
    CCoord right = 0;
    CCoord bottom = 0;

    constexpr CRect() = default;
    constexpr CRect(CCoord l, CCoord t, CCoord r, CCoord b) : left(l), top(t), right(r), bottom(b) {}

    constexpr CCoord width() const { return right - left; }
    constexpr CCoord height() const { return bottom - top; }
    constexpr bool isEmpty() const { return right <= left || bottom <= top; }
    constexpr CPoint topLeft() const { return {left, top}; }

    constexpr CRect& offset(CCoord dx, CCoord dy) {
        left += dx;
        right += dx;
        top += dy;
        bottom += dy;
        return *this;
    }
    constexpr CRect& moveTo(CCoord x, CCoord y) { return offset(x - left, y - top); }

    constexpr bool contains(CPoint p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
    constexpr bool intersects(const CRect& o) const { return !intersection(o).isEmpty(); }

    // Empty (all zero) when the two do not overlap.
    constexpr CRect intersection(const CRect& o) const {
        CRect r(std::max(left, o.left), std::max(top, o.top), std::min(right, o.right), std::min(bottom, o.bottom));
        return r.isEmpty() ? CRect() : r;
    }
    // An empty rectangle adds nothing to a union.
    constexpr CRect unite(const CRect& o) const {
        if (o.isEmpty()) return *this;
        if (isEmpty()) return o;
        return {std::min(left, o.left), std::min(top, o.top), std::max(right, o.right), std::max(bottom, o.bottom)};
    }
    constexpr bool operator==(const CRect&) const = default;
};

}  // namespace VSTGUI
