#include "editor/analyser_display.h"

#include <algorithm>
#include <cstdio>
#include <exception>

#include "dsp/eq_layout.h"
#include "editor/antialiased_trace.h"
#include "editor/eq_model.h"
#include "editor/response_axis.h"
#include "gui/draw_context.h"

using namespace VSTGUI;

namespace editor {

namespace {

constexpr int updates_per_second = 30;
constexpr int scratch_frames = 4096;

constexpr CColor output_line{125, 152, 190, 255};
constexpr CColor input_line{232, 188, 140, 255};
constexpr CColor peak_line{180, 196, 222, 255};
constexpr CColor level_label_colour{150, 165, 190, 255};

struct rise_and_fall {
    double rise, fall;  // seconds
};

rise_and_fall ballistics_of(settings::analyser_preferences::speed speed) {
    using speed_t = settings::analyser_preferences::speed;
    switch (speed) {
        case speed_t::fast: return {0.03, 0.3};
        case speed_t::slow: return {1.0, 2.0};
        default: return {0.1, 1.0};
    }
}

double level_row(float dbfs, int height) {
    const double row = 0.5 + double(height - 1) * double(dbfs) / double(analyser_display::floor_dbfs);
    return std::clamp(row, 0.5, double(height) + 1.0);
}

std::vector<double> rows_of(const std::vector<float>& levels, int height) {
    std::vector<double> rows(levels.size());
    for (std::size_t x = 0; x < levels.size(); ++x) rows[x] = level_row(levels[x], height);
    return rows;
}

bool on_scale(const std::vector<float>& levels) {
    return std::any_of(levels.begin(), levels.end(), [](float db) { return db > analyser_display::floor_dbfs; });
}

}  // namespace

analyser_display::analyser_display(eq_model* model, int plot_width)
    : model_(model), output_scratch_(scratch_frames), input_scratch_(scratch_frames) {
    for (int x = 0; x < plot_width; ++x) column_hz_.push_back(response_axis::column_hz(x, plot_width));
}

analyser_display::~analyser_display() {
    if (model_ && wanted_) model_->want_analyser_samples(false);
}

void analyser_display::set_preferences(const settings::analyser_preferences& preferences) {
    // A hold turned on starts from now.
    if (preferences.hold && !preferences_.hold) clear_peaks();
    preferences_ = preferences;
    apply_preferences();
}

void analyser_display::apply_preferences() {
    if (!analyser_) return;
    const rise_and_fall times = ballistics_of(preferences_.ballistics);
    analyser_->set_ballistics(times.rise, times.fall);
    analyser_->set_smoothing(preferences_.smoothing_per_octave);
    analyser_->set_slope(float(preferences_.slope_tenths_db) / 10.0f);
}

// A new analyser whenever the rate or the latency changes.
bool analyser_display::ensure_analyser() {
    const int rate = model_->sample_rate();
    const int latency = dsp::latency_for(model_->fir_length_in_use());
    if (analyser_ && analyser_->sample_rate() == rate && latency == latency_) return true;
    analyser_.reset();
    if (rate <= 0) return false;
    try {
        analyser_ = std::make_unique<dsp::spectrum_analyser>(rate, latency, column_hz_);
    } catch (const std::exception&) {
        return false;  // no memory for it: no traces
    }
    latency_ = latency;
    frames_since_update_ = 0;
    apply_preferences();
    return true;
}

bool analyser_display::follow() {
    const bool shown = model_ && preferences_.shown != settings::analyser_preferences::traces::off;
    if (shown != wanted_ && model_) {
        model_->want_analyser_samples(shown);
        wanted_ = shown;
    }
    if (!shown || !ensure_analyser()) {
        const bool had_traces = analyser_ != nullptr;
        analyser_.reset();
        return had_traces;
    }
    for (int taken;
         (taken = model_->take_analyser_samples(output_scratch_.data(), input_scratch_.data(), scratch_frames)) > 0;) {
        analyser_->take(output_scratch_.data(), input_scratch_.data(), taken);
        frames_since_update_ += taken;
    }
    if (frames_since_update_ < analyser_->sample_rate() / updates_per_second) return false;
    frames_since_update_ = 0;
    analyser_->update(true, preferences_.shown == settings::analyser_preferences::traces::input_and_output);
    return true;
}

void analyser_display::clear_peaks() {
    if (analyser_) analyser_->clear_peaks();
}

bool analyser_display::fill_rows(int height, std::vector<int>& first_filled) const {
    if (!analyser_) return false;
    const std::vector<float>& output = analyser_->levels_db(dsp::spectrum_analyser::output_trace);
    if (!on_scale(output)) return false;
    first_filled.resize(output.size());
    for (std::size_t x = 0; x < output.size(); ++x) first_filled[x] = int(level_row(output[x], height)) + 1;
    return true;
}

void analyser_display::draw(CDrawContext& picture, int left, int height) const {
    if (!analyser_) return;
    using trace = dsp::spectrum_analyser;
    const std::vector<float>& output = analyser_->levels_db(trace::output_trace);
    const std::vector<float>& input = analyser_->levels_db(trace::input_trace);
    const bool hold = preferences_.hold && on_scale(analyser_->peak_db());
    if (!on_scale(output) && !on_scale(input) && !hold) return;

    if (on_scale(input)) draw_antialiased_trace(picture, left, rows_of(input, height), input_line);
    if (hold) draw_antialiased_trace(picture, left, rows_of(analyser_->peak_db(), height), peak_line);
    if (on_scale(output)) draw_antialiased_trace(picture, left, rows_of(output, height), output_line);

    // The level scale, clear of the curve's 0 dB row and the frequency labels.
    picture.setFont(CFontDesc("Arial", 9));
    picture.setFontColor(level_label_colour);
    const int right = left + int(column_hz_.size());
    for (int db : {-12, -36, -60, -84}) {
        const int row = int(level_row(float(db), height));
        char text[16];
        std::snprintf(text, sizeof text, "%d", db);
        picture.drawString(text, CRect(right - 30, row - 5, right - 3, row + 5), kRightText);
    }
}

}  // namespace editor
