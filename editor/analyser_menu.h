// The analyser's context menu on the response display: what it shows, its
// speed, smoothing and slope, and the peak hold, each setting's choice
// checked. Editor thread only.
#pragma once

#include "settings/analyser_preferences.h"

namespace VSTGUI {
class COptionMenu;
}

namespace editor {

// Adds the entries to an empty menu.
void fill_analyser_menu(VSTGUI::COptionMenu& menu);
// Checks the entries that `preferences` chose.
void check_analyser_menu(VSTGUI::COptionMenu& menu, const settings::analyser_preferences& preferences);
// The preferences after the user chose entry `index` (the hold toggles).
settings::analyser_preferences analyser_choice(int index, settings::analyser_preferences preferences);

}  // namespace editor
