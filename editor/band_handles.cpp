#include "editor/band_handles.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "dsp/band_types.h"
#include "dsp/control_units.h"
#include "dsp/fir_cascaded_biquad.h"
#include "editor/eq_model.h"
#include "editor/readout_formatters.h"
#include "editor/response_axis.h"
#include "gui/draw_context.h"

using namespace VSTGUI;

namespace editor {

namespace {

using response_axis::label_columns;

constexpr double fine_scale = 12.0;     // Shift: as much finer as the knobs
constexpr float q_wheel_step = 0.025f;  // normalised: Q x 1.12 a notch
constexpr CColor handle_colour{70, 100, 25, 255};
// The M/S plug-in's bands on the side, in the side curve's colour.
constexpr CColor side_handle_colour{25, 70, 130, 255};
constexpr CColor shown_colour{200, 90, 20, 255};
constexpr CColor values_colour{40, 40, 40, 255};

int slot(int band, dsp::band_slot s) { return dsp::band_slot_start(band) + s; }

// In device pixels, so its edge is smooth at any scale.
void fill_disc(CDrawContext& picture, double logical_x, double logical_y, CColor colour) {
    const double scale = picture.getScale();
    const double cx = logical_x * scale, cy = logical_y * scale, r = band_handles::radius * scale;
    const int reach = int(std::ceil(r)) + 1;
    for (int y = int(std::floor(cy)) - reach; y <= int(std::floor(cy)) + reach; ++y)
        for (int x = int(std::floor(cx)) - reach; x <= int(std::floor(cx)) + reach; ++x) {
            const double d = std::hypot(double(x) + 0.5 - cx, double(y) + 0.5 - cy);
            const double coverage = std::clamp(r + 0.5 - d, 0.0, 1.0);
            if (coverage <= 0.0) continue;
            CColor c = colour;
            c.alpha = std::uint8_t(std::lround(coverage * double(colour.alpha)));
            picture.drawDevicePoint(CPoint(x, y), c);
        }
}

}  // namespace

band_handles::band_handles(eq_model& model, int width, int height, const band_links& links)
    : model_(model), width_(width), height_(height), links_(links) {
    for (int band = 0; band < dsp::band_count; ++band) order_[band] = band;
    measure();
}

void band_handles::measure() {
    for (int band = 0; band < dsp::band_count; ++band) {
        shown_[band] = model_.band_readout(band);
        on_side_[band] = model_.band_placement(band) == dsp::place_side;
    }
}

band_handles::~band_handles() { end_gesture(); }

void band_handles::end_gesture() {
    if (editing_) model_.end_edit(slot(dragged_, dsp::slot_frequency));
    if (editing_gain_) model_.end_edit(slot(dragged_, dsp::slot_gain));
    editing_ = editing_gain_ = false;
}

double band_handles::hz_at(double x) const {
    return response_axis::column_hz(x - double(label_columns) - 0.5, width_ - label_columns);
}

double band_handles::db_at(double y) const { return response_axis::row_db(y, height_); }

float band_handles::highest_hz() const {
    const int rate = model_.sample_rate();
    return rate > 0 ? std::min(dsp::highest_frequency_hz, 0.5f * float(rate)) : dsp::highest_frequency_hz;
}

// Kept whole inside the display, so it can always be grabbed.
band_handles::point band_handles::centre(int band) const {
    const dsp::band_readout& readout = shown_[band];
    const double x = double(label_columns) + 0.5 + response_axis::hz_column(readout.frequency, width_ - label_columns);
    const double y = response_axis::curve_row(dsp::is_cut(readout.type) ? 0.0f : readout.gain, height_);
    return {std::clamp(x, double(label_columns + radius), double(width_ - radius)),
            std::clamp(y, double(radius), double(height_ - radius))};
}

CPoint band_handles::handle_centre(int band) const {
    const point p = centre(band);
    return CPoint(int(std::floor(p.x)), int(std::floor(p.y)));
}

int band_handles::band_at(CPoint where) const {
    int bands[dsp::band_count];
    stacking(bands);
    for (int i = dsp::band_count - 1; i >= 0; --i) {
        const int band = bands[i];
        if (!is_on(band)) continue;
        const point p = centre(band);
        if (std::hypot(double(where.x) + 0.5 - p.x, double(where.y) + 0.5 - p.y) <= double(radius)) return band;
    }
    return -1;
}

void band_handles::bring_to_top(int band) {
    int* found = std::find(order_, order_ + dsp::band_count, band);
    std::rotate(found, found + 1, order_ + dsp::band_count);
}

void band_handles::stacking(int (&bands)[dsp::band_count]) const {
    std::copy(order_, order_ + dsp::band_count, bands);
    const int selected = links_.selected ? links_.selected() : -1;
    int* found = std::find(bands, bands + dsp::band_count, selected);
    if (found != bands + dsp::band_count) std::rotate(found, found + 1, bands + dsp::band_count);
}

void band_handles::draw(CDrawContext& picture) const {
    picture.setFont(CFontDesc("Arial", 10));
    picture.setFontColor(kWhiteCColor);
    int bands[dsp::band_count];
    stacking(bands);
    for (int band : bands) {
        if (!is_on(band)) continue;
        const point p = centre(band);
        fill_disc(picture, p.x, p.y,
                  band == shown_band() ? shown_colour
                  : on_side_[band]     ? side_handle_colour
                                       : handle_colour);
        const int x = int(std::floor(p.x)), y = int(std::floor(p.y));
        const char number[2] = {char('1' + band), '\0'};
        picture.drawString(number, CRect(x - radius, y - radius + 1, x + radius + 1, y + radius + 1));
    }
    const int band = shown_band();
    if (band < 0) return;
    const dsp::band_readout& readout = shown_[band];
    char frequency[64], gain[64], q[64];
    readout::frequency_text(readout.frequency, frequency);
    readout::gain_text(readout.gain, gain);
    readout::q_text(readout.q, q);
    char text[224];
    std::snprintf(text, sizeof text, "#%d  %s  %s  %s", band + 1, frequency, gain, q);
    picture.setFontColor(values_colour);
    picture.drawString(text, CRect(width_ - 230, 2, width_ - 4, 14), kRightText);
}

void band_handles::anchor(CPoint where, CButtonState buttons) {
    const dsp::band_readout readout = model_.band_readout(dragged_);
    anchor_point_ = where;
    anchor_hz_ = readout.frequency;
    anchor_db_ = readout.gain;
    fine_ = (buttons & kShift) != 0;
}

void band_handles::change(int index, float value) {
    if (model_.parameter(index) == value) return;
    model_.change_parameter(index, value);
    if (links_.edited) links_.edited(index);
}

bool band_handles::mouse_down(CPoint where, CButtonState buttons) {
    if (!(buttons & kLButton) || dragged_ >= 0) return false;
    const int band = band_at(where);
    if (buttons & kDoubleClick) {
        if (band < 0) {
            turn_on_free_band(where);
            return true;
        }
        const int gain = slot(band, dsp::slot_gain);
        model_.begin_edit(gain);
        change(gain, dsp::normalised_of_band_gain_db(0.0f));
        model_.end_edit(gain);
        return true;
    }
    if (band < 0) return false;
    bring_to_top(band);
    if (links_.picked) links_.picked(band);
    dragged_ = band;
    anchor(where, buttons);
    return true;
}

bool band_handles::mouse_moved(CPoint where, CButtonState buttons) {
    if (dragged_ < 0) {
        const int band = band_at(where);
        if (band == hovered_) return false;
        hovered_ = band;
        return true;
    }
    // Pressing or releasing Shift mid-drag goes on from where the band is.
    if (((buttons & kShift) != 0) != fine_) anchor(where, buttons);
    drag_to(where);
    return true;
}

void band_handles::drag_to(CPoint where) {
    const int band = dragged_;
    const int frequency = slot(band, dsp::slot_frequency), gain = slot(band, dsp::slot_gain);
    if (!editing_) {
        editing_ = true;
        editing_gain_ = !dsp::is_cut(model_.band_readout(band).type);
        model_.begin_edit(frequency);
        if (editing_gain_) model_.begin_edit(gain);
    }
    const double factor = fine_ ? fine_scale : 1.0;
    const int plot_width = width_ - label_columns;
    const double column = response_axis::hz_column(anchor_hz_, plot_width) + double(where.x - anchor_point_.x) / factor;
    const double hz = std::clamp(response_axis::column_hz(column, plot_width), double(dsp::lowest_frequency_hz),
                                 double(highest_hz()));
    change(frequency, dsp::normalised_of_frequency_hz(float(hz)));
    if (!editing_gain_) return;
    const double rows = double(where.y - anchor_point_.y) / factor;
    const double db = anchor_db_ + db_at(rows) - db_at(0.0);
    change(gain, dsp::normalised_of_band_gain_db(float(std::clamp(db, -20.0, 20.0))));
}

bool band_handles::mouse_up() {
    if (dragged_ < 0) return false;
    end_gesture();
    dragged_ = -1;
    return true;
}

bool band_handles::mouse_exited() {
    const bool shown = hovered_ >= 0;
    hovered_ = -1;
    return shown;
}

bool band_handles::wheel(CPoint where, float distance, CButtonState buttons) {
    const int band = band_at(where);
    if (band < 0) return false;
    const int q = slot(band, dsp::slot_q);
    const float step = (buttons & kShift) ? q_wheel_step / float(fine_scale) : q_wheel_step;
    const float before = std::clamp(model_.parameter(q), 0.0f, 1.0f);
    bring_to_top(band);
    model_.begin_edit(q);
    change(q, std::clamp(before + distance * step, 0.0f, 1.0f));
    model_.end_edit(q);
    return true;
}

// Among the bands that are off, the one set nearest on the logarithmic axis.
void band_handles::turn_on_free_band(CPoint where) {
    const double hz = std::clamp(hz_at(double(where.x) + 0.5), double(dsp::lowest_frequency_hz), double(highest_hz()));
    const double db = std::clamp(db_at(double(where.y) + 0.5), -20.0, 20.0);
    int chosen = -1;
    double nearest = 0.0;
    for (int band = 0; band < dsp::band_count; ++band) {
        const dsp::band_readout readout = model_.band_readout(band);
        if (readout.on_off >= 0.5f) continue;
        const double distance = std::abs(std::log(double(readout.frequency) / hz));
        if (chosen < 0 || distance < nearest) {
            chosen = band;
            nearest = distance;
        }
    }
    if (chosen < 0) return;
    const int indices[] = {slot(chosen, dsp::slot_on_off), slot(chosen, dsp::slot_frequency),
                           slot(chosen, dsp::slot_gain)};
    const float values[] = {1.0f, dsp::normalised_of_frequency_hz(float(hz)),
                            dsp::normalised_of_band_gain_db(float(db))};
    for (int index : indices) model_.begin_edit(index);
    for (int i = 0; i < 3; ++i) change(indices[i], values[i]);
    for (int index : indices) model_.end_edit(index);
    bring_to_top(chosen);
    if (links_.picked) links_.picked(chosen);
}

}  // namespace editor
