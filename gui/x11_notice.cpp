#include "gui/notice.h"
#include "gui/x11_message_dialog.h"

namespace VSTGUI {

namespace {

class x11_notice : public notice {
public:
    x11_notice(const platform::message& m, double scale) : dialog_(m, scale) {}
    bool open(void* over) { return dialog_.open(reinterpret_cast<unsigned long>(over)); }
    bool pump() override { return dialog_.pump(); }

private:
    detail::x11_message_dialog dialog_;
};

}  // namespace

std::unique_ptr<notice> notice::show(const platform::message& m, void* over, double scale) {
    if (platform::record_message(m)) return nullptr;
    auto shown = std::make_unique<x11_notice>(m, scale);
    if (!shown->open(over)) return nullptr;  // no display: stderr had it
    return shown;
}

}  // namespace VSTGUI
