#include "gui/text_label.h"

#include <cstring>

namespace VSTGUI {

CTextLabel::CTextLabel(const CRect& size, const char* text, CBitmap* background, int style)
    : CParamDisplay(size, background, style), text_(text ? text : "") {}

void CTextLabel::setText(const char* text) {
    {
        std::lock_guard lock(text_mutex_);
        text_ = text ? text : "";
    }
    setDirty();
}

std::string CTextLabel::getText() const {
    std::lock_guard lock(text_mutex_);
    return text_;
}

void CTextLabel::draw(CDrawContext* context) { drawText(*context, getText().c_str()); }

bool CTextLabel::isTypeOf(const char* type) const {
    return std::strcmp(type, "CTextLabel") == 0 || CParamDisplay::isTypeOf(type);
}

}  // namespace VSTGUI
