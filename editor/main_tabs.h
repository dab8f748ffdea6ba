// The editor's outer tab view: selecting a tab also asks for a new picture
// of the response display, since a page change repaints over it.
#pragma once

#include <functional>

#include "gui/tab_view.h"

namespace editor {

class main_tabs : public VSTGUI::CTabView {
public:
    main_tabs(const VSTGUI::CRect& size, VSTGUI::CBitmap* tab_bitmap, VSTGUI::CBitmap* background, TabPosition position,
              std::function<void()> on_select);

    bool selectTab(int index) override;
    bool isTypeOf(const char* type) const override;

private:
    std::function<void()> on_select_;
};

}  // namespace editor
