#include "gui/movie_bitmap.h"

#include <cstring>

namespace VSTGUI {

CMovieBitmap::CMovieBitmap(const CRect& size, CControlListener* listener, int tag, int frames, CCoord frame_height,
                           CBitmap* background, CPoint offset)
    : CControl(size, listener, tag, background), strip_{frames, frame_height}, offset_(offset) {}

void CMovieBitmap::draw(CDrawContext* context) {
    strip_.draw(*context, getBackground(), getViewSize(), strip_.frameFor(getValueNormalized()), offset_);
}

bool CMovieBitmap::isTypeOf(const char* type) const {
    return std::strcmp(type, "CMovieBitmap") == 0 || CControl::isTypeOf(type);
}

}  // namespace VSTGUI
