#include "core/error_report.h"

namespace core {

void report_error(const std::string& text, const char* suffix, delivery how, void* owner) {
    platform::message m;
    m.text = platform::with_suffix(text, suffix);
    m.caption = error_caption;
    m.icon = platform::message_icon::error;
    m.foreground = true;
    m.owner = owner;
    if (how == delivery::modal)
        platform::show_message_box(m);
    else
        platform::post_message_box(m);
}

}  // namespace core
