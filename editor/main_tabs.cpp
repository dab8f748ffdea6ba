#include "editor/main_tabs.h"

#include <cstring>

namespace editor {

main_tabs::main_tabs(const VSTGUI::CRect& size, VSTGUI::CBitmap* tab_bitmap, VSTGUI::CBitmap* background,
                     TabPosition position, std::function<void()> on_select)
    : CTabView(size, tab_bitmap, background, position), on_select_(std::move(on_select)) {}

bool main_tabs::selectTab(int index) {
    if (on_select_) on_select_();
    return CTabView::selectTab(index);
}

bool main_tabs::isTypeOf(const char* type) const {
    return std::strcmp(type, "main_tabs") == 0 || CTabView::isTypeOf(type);
}

}  // namespace editor
