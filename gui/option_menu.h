// A menu field showing its current entry. A left click opens the list of
// entries as the frame's modal view, below the field or, when the frame is
// too short, above it; with kCheckStyle the current entry carries a check
// mark; any entry may also carry one of its own (setChecked), as a menu of
// several choices shows each. Clicking an entry selects it and calls the
// listener; clicking outside the list closes it unchanged. The value is the
// selected index.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "gui/param_display.h"

namespace VSTGUI {

namespace detail {
class option_menu_list;
}

class COptionMenu : public CParamDisplay {
public:
    static constexpr CCoord kEntryHeight = 14;

    COptionMenu(const CRect& size, CControlListener* listener, int tag, CBitmap* background = nullptr, int style = 0);
    ~COptionMenu() override;

    void addEntry(const char* text);
    int getNbEntries() const { return static_cast<int>(entries_.size()); }
    const char* getEntry(int index) const;

    // Out-of-range indexes are ignored.
    void setCurrent(int index);
    int getCurrent() const { return static_cast<int>(getValue()); }

    void setChecked(int index, bool checked);
    bool isChecked(int index) const;

    // Opens the list as a left click does.
    void openList();
    bool isListOpen() const;
    // Selects `index` as the user would, with the listener called; closes the list.
    void choose(int index);
    void closeList();

    void draw(CDrawContext* context) override;
    bool onMouseDown(CPoint where, CButtonState buttons) override;
    bool isTypeOf(const char* type) const override;

private:
    std::vector<std::string> entries_;
    std::vector<bool> checked_;
    std::unique_ptr<detail::option_menu_list> list_;
};

}  // namespace VSTGUI
