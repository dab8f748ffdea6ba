// An editor and a listener that write down what the toolkit tells them.
#pragma once

#include <string>
#include <vector>

#include "gui/control.h"
#include "gui/editor_interface.h"

namespace gui_test {

struct recording_editor : VSTGUI::VSTGUIEditorInterface, VSTGUI::CControlListener {
    int knob_mode = 0;
    std::vector<std::string> log;

    void beginEdit(int tag) override { log.push_back("begin " + std::to_string(tag)); }
    void endEdit(int tag) override { log.push_back("end " + std::to_string(tag)); }
    int getKnobMode() const override { return knob_mode; }
    void controlChanged(VSTGUI::CControl* c) override { log.push_back("changed " + std::to_string(c->getTag())); }
};

}  // namespace gui_test
