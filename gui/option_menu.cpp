#include "gui/option_menu.h"

#include <algorithm>
#include <cstring>

#include "gui/font_cache.h"
#include "gui/frame.h"
#include "gui/option_menu_list.h"

namespace VSTGUI {
namespace {

constexpr CCoord kListPadding = 24;  // check column and right margin

}  // namespace

COptionMenu::COptionMenu(const CRect& size, CControlListener* listener, int tag, CBitmap* background, int style)
    : CParamDisplay(size, background, style) {
    setListener(listener);
    setTag(tag);
    setMin(0.0f);
    setMax(0.0f);
    setDefaultValue(0.0f);
}

COptionMenu::~COptionMenu() { closeList(); }

void COptionMenu::addEntry(const char* text) {
    entries_.emplace_back(text ? text : "");
    checked_.push_back(false);
    setMax(float(entries_.size() - 1));
}

const char* COptionMenu::getEntry(int index) const {
    return index >= 0 && index < getNbEntries() ? entries_[std::size_t(index)].c_str() : "";
}

void COptionMenu::setCurrent(int index) {
    if (index >= 0 && index < getNbEntries()) setValue(float(index));
}

void COptionMenu::setChecked(int index, bool checked) {
    if (index >= 0 && index < getNbEntries()) checked_[std::size_t(index)] = checked;
}

bool COptionMenu::isChecked(int index) const {
    if (index < 0 || index >= getNbEntries()) return false;
    return checked_[std::size_t(index)] || ((getStyle() & kCheckStyle) && index == getCurrent());
}

bool COptionMenu::isListOpen() const {
    const CFrame* frame = getFrame();
    return list_ && frame && frame->getModalView() == list_.get();
}

void COptionMenu::choose(int index) {
    closeList();
    if (index < 0 || index >= getNbEntries()) return;
    // One gesture for the host, as a click on a button is: hosts that record
    // automation (VST3 above all) expect a begin before the change.
    beginEdit();
    setCurrent(index);
    valueChanged();
    endEdit();
}

void COptionMenu::closeList() {
    CFrame* frame = getFrame();
    if (frame && list_ && frame->getModalView() == list_.get()) frame->setModalView(nullptr);
}

void COptionMenu::draw(CDrawContext* context) { drawText(*context, getEntry(getCurrent())); }

bool COptionMenu::onMouseDown(CPoint, CButtonState buttons) {
    if (!(buttons & kLButton) || !getFrame() || entries_.empty()) return false;
    openList();
    return true;
}

void COptionMenu::openList() {
    CFrame* frame = getFrame();
    if (!frame || entries_.empty()) return;
    CCoord width = getWidth();
    for (const std::string& entry : entries_)
        width = std::max(width, detail::measure_text(getFont(), entry).width + kListPadding);
    const CRect box = detail::place_option_list(getFrameRect(), frame->getViewSize(), width, getNbEntries());
    closeList();
    list_ = std::make_unique<detail::option_menu_list>(*this, frame->getViewSize(), box);
    frame->setModalView(list_.get());
}

bool COptionMenu::isTypeOf(const char* type) const {
    return std::strcmp(type, "COptionMenu") == 0 || CParamDisplay::isTypeOf(type);
}

}  // namespace VSTGUI
