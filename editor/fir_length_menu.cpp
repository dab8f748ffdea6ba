#include "editor/fir_length_menu.h"

#include <cstdio>
#include <exception>

#include "gui/option_menu.h"
#include "platform/message_box.h"
#include "settings/fir_length_setting.h"

namespace {

constexpr const char* notice_caption = "Ravelthorpe: Tessvane LE";

int stored_fir_length() {
    try {
        return settings::read_fir_length_setting();
    } catch (const std::exception&) {
        return -1;  // the instance already reported it when it read the setting
    }
}

}  // namespace

void fill_fir_length_menu(VSTGUI::COptionMenu& menu) {
    const auto& lengths = settings::fir_length_menu_lengths;
    for (int length : lengths) {
        char entry[32];
        // The trailing spaces keep the right-aligned text off the field's edge.
        std::snprintf(entry, sizeof entry, "%d samples     ", length);
        menu.addEntry(entry);
    }
    menu.setCurrent(0);
    const int stored = stored_fir_length();
    for (std::size_t i = 0; i < lengths.size(); ++i)
        if (lengths[i] == stored) menu.setCurrent(int(i));
    menu.setFontColor(VSTGUI::kBlackCColor);
}

std::string fir_length_notice(int length) {
    char text[512];
    std::snprintf(text, sizeof text,
                  "Linear phase FIR of %i samples selected and will be used the next time the plugin is started "
                  "(affects all instances of the plugin, a restart is required in order to set up the correct "
                  "delay compensation using VST plugins). Larger FIR sizes result in a greater low-frequency "
                  "filtering accuracy but larger processing delay which can be an issue if delay compensation "
                  "is not possible.",
                  length);
    return text;
}

void apply_fir_length_choice(VSTGUI::COptionMenu& menu, int running_length) {
    const auto& lengths = settings::fir_length_menu_lengths;
    const int index = menu.getCurrent();
    if (index < 0 || index >= int(lengths.size())) return;
    const int length = lengths[std::size_t(index)];
    const bool takes_effect_later = length != running_length;
    menu.setFontColor(takes_effect_later ? VSTGUI::kRedCColor : VSTGUI::kBlackCColor);
    try {
        settings::write_fir_length_setting(length);
    } catch (const std::exception& e) {
        platform::show_message_box({e.what(), notice_caption, platform::message_icon::error});
        return;
    }
    if (takes_effect_later)
        platform::show_message_box({fir_length_notice(length), notice_caption, platform::message_icon::information});
}
