// The editor's outer tab view: selecting a tab also asks the response
// display for a new picture, since a page change repaints over it.
#pragma once

#include "gui/tab_view.h"

class SDEditor;

class CTabView_ext1 : public VSTGUI::CTabView {
public:
    CTabView_ext1(const VSTGUI::CRect& size, VSTGUI::CBitmap* tab_bitmap, VSTGUI::CBitmap* background,
                  TabPosition position, SDEditor* editor);

    bool selectTab(int index) override;
    bool isTypeOf(const char* type) const override;

private:
    SDEditor* editor_;
};
