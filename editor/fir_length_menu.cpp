#include "editor/fir_length_menu.h"

#include <cstdio>
#include <exception>

#include "editor/eq_model.h"
#include "gui/option_menu.h"
#include "settings/fir_length_setting.h"

namespace editor {

namespace {

constexpr const char* notice_caption = "Ravelthorpe: Tessvane LE";

}  // namespace

void fill_fir_length_menu(VSTGUI::COptionMenu& menu, const eq_model& model) {
    const auto& lengths = settings::fir_length_menu_lengths;
    for (int length : lengths) {
        char entry[32];
        // The trailing spaces keep the right-aligned text off the field's edge.
        std::snprintf(entry, sizeof entry, "%d samples     ", length);
        menu.addEntry(entry);
    }
    menu.setCurrent(0);
    const int stored = model.stored_fir_length();
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

std::optional<platform::message> apply_fir_length_choice(VSTGUI::COptionMenu& menu, eq_model& model) {
    const auto& lengths = settings::fir_length_menu_lengths;
    const int index = menu.getCurrent();
    if (index < 0 || index >= int(lengths.size())) return std::nullopt;
    const int length = lengths[std::size_t(index)];
    const bool takes_effect_later = length != model.fir_length_in_use();
    menu.setFontColor(takes_effect_later ? VSTGUI::kRedCColor : VSTGUI::kBlackCColor);
    try {
        model.store_fir_length(length);
    } catch (const std::exception& e) {
        return platform::message{e.what(), notice_caption, platform::message_icon::error};
    }
    if (!takes_effect_later) return std::nullopt;
    return platform::message{fir_length_notice(length), notice_caption, platform::message_icon::information};
}

}  // namespace editor
