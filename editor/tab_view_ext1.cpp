#include "editor/tab_view_ext1.h"

#include <cstring>

#include "editor/sd_editor.h"

CTabView_ext1::CTabView_ext1(const VSTGUI::CRect& size, VSTGUI::CBitmap* tab_bitmap, VSTGUI::CBitmap* background,
                             TabPosition position, SDEditor* editor)
    : CTabView(size, tab_bitmap, background, position), editor_(editor) {}

bool CTabView_ext1::selectTab(int index) {
    if (editor_) editor_->mark_response_for_render();
    return CTabView::selectTab(index);
}

bool CTabView_ext1::isTypeOf(const char* type) const {
    return std::strcmp(type, "CTabView_ext1") == 0 || CTabView::isTypeOf(type);
}
