// The spectrum analyser on the response display: the preferences it runs
// with, the analyser (dsp/analyser.h) fed from the model's samples
// on each idle step, and the traces it draws under the curve on a level
// scale of its own, 0 to -96 dBFS from the top row to the bottom one. The
// output's trace is filled (the display composes the fill), the input's a
// fainter line, the peak hold a line above them; nothing is drawn while no
// trace reaches the scale.
// Editor thread only.
#pragma once

#include <memory>
#include <vector>

#include "dsp/analyser.h"
#include "gui/color.h"
#include "settings/analyser_preferences.h"

namespace VSTGUI {
class CDrawContext;
}

namespace editor {

class eq_model;

class analyser_display {
public:
    static constexpr float floor_dbfs = -96.0f;
    // Under the output's trace, over white.
    static constexpr VSTGUI::CColor output_fill{233, 238, 246, 255};

    // Columns: the plot's, from response_axis.h.
    analyser_display(eq_model* model, int plot_width);
    ~analyser_display();  // the audio stops handing over samples
    analyser_display(const analyser_display&) = delete;
    analyser_display& operator=(const analyser_display&) = delete;

    const settings::analyser_preferences& preferences() const { return preferences_; }
    void set_preferences(const settings::analyser_preferences& preferences);

    // Takes what the audio handed over, and about 30 times a second of it
    // updates the traces; true when they changed.
    bool follow();
    void clear_peaks();

    // The analyser while a trace is shown, else null.
    const dsp::spectrum_analyser* analyser() const { return analyser_.get(); }
    // The first row under the output's trace in each plot column; false,
    // leaving them, while it is off the scale.
    bool fill_rows(int height, std::vector<int>& first_filled) const;
    // The traces' lines and the level scale; the plot starts `left` columns
    // into the picture.
    void draw(VSTGUI::CDrawContext& picture, int left, int height) const;

private:
    bool ensure_analyser();
    void apply_preferences();

    eq_model* model_;
    std::vector<double> column_hz_;
    settings::analyser_preferences preferences_;
    std::unique_ptr<dsp::spectrum_analyser> analyser_;
    int latency_ = 0;
    bool wanted_ = false;
    int frames_since_update_ = 0;
    std::vector<float> output_scratch_, input_scratch_;
};

}  // namespace editor
