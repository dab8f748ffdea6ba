#include "gui/param_display.h"

#include <cstdio>
#include <cstring>

namespace VSTGUI {

CParamDisplay::CParamDisplay(const CRect& size, CBitmap* background, int style)
    : CControl(size, nullptr, -1, background), style_(style) {}

void CParamDisplay::draw(CDrawContext* context) {
    char text[kTextBufferSize] = {};
    if (convert_)
        convert_(getValue(), text);
    else
        std::snprintf(text, sizeof text, "%.2f", double(getValue()));
    text[kTextBufferSize - 1] = '\0';
    drawText(*context, text);
}

void CParamDisplay::drawText(CDrawContext& context, const char* text) {
    const CRect& r = getViewSize();
    if (getBackground()) {
        context.drawBitmap(*getBackground(), r);
    } else {
        context.setFillColor(back_color_);
        context.fillRect(r);
    }
    if (style_ & k3DIn) {
        context.setFillColor(frame_color_);
        context.fillRect({r.left, r.top, r.right, r.top + 1});
        context.fillRect({r.left, r.top + 1, r.left + 1, r.bottom});
        context.setFillColor(back_color_);
        context.fillRect({r.left + 1, r.bottom - 1, r.right, r.bottom});
        context.fillRect({r.right - 1, r.top + 1, r.right, r.bottom - 1});
    } else {
        context.setFrameColor(frame_color_);
        context.frameRect(r);
    }
    context.setFont(font_);
    context.setFontColor(font_color_);
    CRect inner(r.left + 1, r.top, r.right - 1, r.bottom);
    context.drawString(text, inner, align_);
}

bool CParamDisplay::isTypeOf(const char* type) const {
    return std::strcmp(type, "CParamDisplay") == 0 || CControl::isTypeOf(type);
}

}  // namespace VSTGUI
