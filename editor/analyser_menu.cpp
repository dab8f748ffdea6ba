#include "editor/analyser_menu.h"

#include <iterator>

#include "gui/option_menu.h"

namespace editor {

namespace {

using prefs = settings::analyser_preferences;

// One entry: its text, and whether the preferences chose it.
struct menu_entry {
    const char* text;
    bool (*chosen)(const prefs&);
    void (*choose)(prefs&);
};

constexpr menu_entry entries[] = {
    {"Analyser off", [](const prefs& p) { return p.shown == prefs::traces::off; },
     [](prefs& p) { p.shown = prefs::traces::off; }},
    {"Output spectrum", [](const prefs& p) { return p.shown == prefs::traces::output; },
     [](prefs& p) { p.shown = prefs::traces::output; }},
    {"Input and output", [](const prefs& p) { return p.shown == prefs::traces::input_and_output; },
     [](prefs& p) { p.shown = prefs::traces::input_and_output; }},
    {"Fast", [](const prefs& p) { return p.ballistics == prefs::speed::fast; },
     [](prefs& p) { p.ballistics = prefs::speed::fast; }},
    {"Medium", [](const prefs& p) { return p.ballistics == prefs::speed::medium; },
     [](prefs& p) { p.ballistics = prefs::speed::medium; }},
    {"Slow", [](const prefs& p) { return p.ballistics == prefs::speed::slow; },
     [](prefs& p) { p.ballistics = prefs::speed::slow; }},
    {"No smoothing", [](const prefs& p) { return p.smoothing_per_octave == 0; },
     [](prefs& p) { p.smoothing_per_octave = 0; }},
    {"1/12 octave", [](const prefs& p) { return p.smoothing_per_octave == 12; },
     [](prefs& p) { p.smoothing_per_octave = 12; }},
    {"1/6 octave", [](const prefs& p) { return p.smoothing_per_octave == 6; },
     [](prefs& p) { p.smoothing_per_octave = 6; }},
    {"1/3 octave", [](const prefs& p) { return p.smoothing_per_octave == 3; },
     [](prefs& p) { p.smoothing_per_octave = 3; }},
    {"Slope 0 dB/oct", [](const prefs& p) { return p.slope_tenths_db == 0; }, [](prefs& p) { p.slope_tenths_db = 0; }},
    {"Slope 3 dB/oct", [](const prefs& p) { return p.slope_tenths_db == 30; },
     [](prefs& p) { p.slope_tenths_db = 30; }},
    {"Slope 4.5 dB/oct", [](const prefs& p) { return p.slope_tenths_db == 45; },
     [](prefs& p) { p.slope_tenths_db = 45; }},
    {"Peak hold (click clears)", [](const prefs& p) { return p.hold; }, [](prefs& p) { p.hold = !p.hold; }},
};

}  // namespace

void fill_analyser_menu(VSTGUI::COptionMenu& menu) {
    for (const menu_entry& entry : entries) menu.addEntry(entry.text);
}

void check_analyser_menu(VSTGUI::COptionMenu& menu, const prefs& preferences) {
    for (int i = 0; i < int(std::size(entries)); ++i) menu.setChecked(i, entries[i].chosen(preferences));
}

prefs analyser_choice(int index, prefs preferences) {
    if (index >= 0 && index < int(std::size(entries))) entries[index].choose(preferences);
    return preferences;
}

}  // namespace editor
