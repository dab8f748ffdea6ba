#include "editor/response_view.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>
#include <vector>

#include "editor/analyser_display.h"
#include "editor/antialiased_trace.h"
#include "editor/eq_model.h"
#include "editor/response_axis.h"
#include "platform/message_box.h"

using namespace VSTGUI;

namespace editor {

namespace {

using response_axis::label_columns;
constexpr double two_pi = 6.283185307179586;

constexpr CColor line_on{115, 156, 37, 255};
constexpr CColor side_line_on{45, 110, 190, 255};
constexpr CColor line_off{200, 200, 200, 255};
constexpr CColor grid_colour{130, 130, 130, 255};
constexpr CColor decade_line_colour{236, 236, 236, 255};
constexpr CColor label_colour{90, 90, 90, 255};

// The sections' gain in dB; each counts twice, as the FIR applies it
// forwards and backwards.
float sections_db(const dsp::section_coefficients (&bands)[dsp::band_count], double w) {
    const std::complex<double> z = std::polar(1.0, w);
    const std::complex<double> z2 = z * z;
    float db = 0.0f;
    for (const dsp::section_coefficients& band : bands) {
        const dsp::normalised_section& s = band.section;
        const std::complex<double> h =
            (double(s.b0) * z2 + double(s.b1) * z + double(s.b2)) / (z2 + double(s.a1) * z + double(s.a2));
        db += 2.0f * float(20.0 * std::log10(std::abs(h)));
    }
    return db;
}

// The sections of the bands that shape one half, mid or side; the others pass.
void keep_bands_of(dsp::section_coefficients (&bands)[dsp::band_count], const eq_model& model, dsp::placement half) {
    for (int band = 0; band < dsp::band_count; ++band) {
        const dsp::placement where = model.band_placement(band);
        if (where != dsp::place_stereo && where != half) bands[band].section = {1.0f, 0.0f, 0.0f, 0.0f, 0.0f};
    }
}

// Columns at or above half the sample rate have no response to show.
int columns_below_nyquist(int plot_width, float sample_rate) {
    int x = 0;
    while (x < plot_width && response_axis::column_hz(x, plot_width) < 0.5 * double(sample_rate)) ++x;
    return x;
}

// A gain above the scale holds at the top row; one below it, or undefined,
// leaves the picture at the bottom.
double held_row(float db, int height) {
    const double row = response_axis::curve_row(db, height);
    if (!(row < double(height) + 1.0)) return double(height) + 1.0;
    return std::max(row, 0.5);
}

void draw_scale(CDrawContext& picture, int width, int height, int plot_width) {
    constexpr int tick_hz[] = {20, 50, 100, 200, 500, 1000, 2000, 5000, 10000, 20000};
    const int zero_row = height / 2;
    for (int hz : tick_hz) {
        const int x = label_columns + int(std::lround(response_axis::hz_column(hz, plot_width)));
        for (int y = 0; y < height; ++y) picture.drawPoint(CPoint(x, y), decade_line_colour);
    }
    for (int x = label_columns; x < width; ++x) picture.drawPoint(CPoint(x, zero_row), grid_colour);
    for (int y = 0; y < height; ++y) picture.drawPoint(CPoint(label_columns, y), grid_colour);

    const int step = 2 + (height - 8) / 9;
    for (int k = 0; k < 9; ++k) {
        char text[16];
        std::snprintf(text, sizeof text, "%i dB", 20 - 5 * k);
        picture.drawString(text, CRect(0, 2 + k * step, label_columns, 10 + k * step), kRightText);
    }

    for (int hz : tick_hz) {
        const int x = label_columns + int(std::lround(response_axis::hz_column(hz, plot_width)));
        for (int y = zero_row - 2; y <= zero_row + 5; ++y) picture.drawPoint(CPoint(x, y), grid_colour);
        char text[16];
        if (hz < 1000)
            std::snprintf(text, sizeof text, "%i", hz);
        else
            std::snprintf(text, sizeof text, "%ik", hz / 1000);
        // The end labels stay inside the plot.
        CRect box(x - 20, zero_row + 8, x + 20, zero_row + 18);
        CHoriTxtAlign align = kCenterText;
        if (hz == tick_hz[0]) {
            box = CRect(x + 2, zero_row + 8, x + 42, zero_row + 18);
            align = kLeftText;
        } else if (hz == 20000) {
            box = CRect(x - 40, zero_row + 8, x - 1, zero_row + 18);
            align = kRightText;
        }
        picture.drawString(text, box, align);
    }
}

}  // namespace

void draw_response_background(CDrawContext& picture, int width, int height, CColor plot = kWhiteCColor) {
    picture.setFillColor(kWhiteCColor);
    picture.fillRect(CRect(-1, -1, width + 2, height + 2));
    picture.setFillColor(plot);
    picture.fillRect(CRect(label_columns, 0, width, height));
    picture.setFont(CFontDesc("Arial", 10));
    picture.setFontColor(label_colour);
    draw_scale(picture, width, height, width - label_columns);
    picture.setFont(CFontDesc("Arial", 12));
    picture.setFontColor(kBlackCColor);
}

std::vector<double> response_rows(int width, int height, const dsp::section_coefficients (&bands)[dsp::band_count],
                                  const float* fir_db) {
    const int plot_width = width - label_columns;
    const float sample_rate = bands[0].sample_rate > 0.0f ? bands[0].sample_rate : 44100.0f;
    std::vector<double> rows(std::size_t(columns_below_nyquist(plot_width, sample_rate)));
    for (std::size_t x = 0; x < rows.size(); ++x) {
        const double w = two_pi * response_axis::column_hz(int(x), plot_width) / double(sample_rate);
        rows[x] = held_row(fir_db ? fir_db[x] : sections_db(bands, w), height);
    }
    return rows;
}

void render_response(CDrawContext& picture, int width, int height,
                     const dsp::section_coefficients (&bands)[dsp::band_count], bool filters_on, const float* fir_db) {
    draw_response_background(picture, width, height);
    // Over the grid, so a flat response is not hidden by the 0 dB line.
    draw_antialiased_trace(picture, label_columns, response_rows(width, height, bands, fir_db),
                           filters_on ? line_on : line_off);
}

response_view::response_view(const CRect& size, CControlListener* listener, int tag, CBitmap* bitmap, eq_model* model,
                             std::function<bool()> filters_on)
    : CControl(size, listener, tag, bitmap), model_(model), filters_on_(std::move(filters_on)) {
    if (!bitmap || bitmap->empty()) return;
    analyser_ = std::make_unique<analyser_display>(model, bitmap->getWidth() - label_columns);
    if (!model) return;
    handles_ = std::make_unique<band_handles>(*model, bitmap->getWidth(), bitmap->getHeight(), band_links_);
}

response_view::~response_view() = default;

void response_view::measure_curve(int width, int height) {
    // A pass-through section: what a view without its model shows.
    dsp::section_coefficients bands[dsp::band_count];
    for (dsp::section_coefficients& band : bands) band = {44100.0f, {1.0f, 0.0f, 0.0f, 0.0f, 0.0f}};
    if (model_) model_->band_sections(bands);
    // Once a design is in use, its FIR's own curve: at short lengths it
    // parts from the bands' (a narrow boost comes out lower and wider).
    const int plot_width = width - label_columns;
    const float sample_rate = bands[0].sample_rate > 0.0f ? bands[0].sample_rate : 44100.0f;
    std::vector<double> frequencies(std::size_t(columns_below_nyquist(plot_width, sample_rate)));
    for (std::size_t x = 0; x < frequencies.size(); ++x)
        frequencies[x] = response_axis::column_hz(int(x), plot_width) / double(sample_rate);
    std::vector<float> fir_db(frequencies.size());
    const int count = int(frequencies.size());
    bool split = false;
    for (int band = 0; model_ && band < dsp::band_count; ++band)
        split = split || model_->band_placement(band) != dsp::place_stereo;
    const bool filters_on = filters_on_ && filters_on_();
    curve_colour_ = filters_on ? line_on : line_off;
    side_colour_ = filters_on ? side_line_on : line_off;
    side_rows_.clear();
    if (split) {
        dsp::section_coefficients side[dsp::band_count];
        std::copy(std::begin(bands), std::end(bands), side);
        keep_bands_of(side, *model_, dsp::place_side);
        const bool side_fir = model_->side_fir_response_db(frequencies.data(), fir_db.data(), count);
        side_rows_ = response_rows(width, height, side, side_fir ? fir_db.data() : nullptr);
        keep_bands_of(bands, *model_, dsp::place_mid);
    }
    const bool fir_in_use = model_ && model_->fir_response_db(frequencies.data(), fir_db.data(), count);
    curve_rows_ = response_rows(width, height, bands, fir_in_use ? fir_db.data() : nullptr);
    if (handles_) handles_->measure();
}

bool response_view::follow_analyser() {
    if (!analyser_ || !analyser_->follow()) return false;
    invalid();
    return true;
}

void response_view::draw(CDrawContext* context) {
    const CBitmap* bitmap = getBackground();
    if (!bitmap || bitmap->empty()) return;
    const int width = bitmap->getWidth(), height = bitmap->getHeight();
    try {
        const double scale = context->getScale();
        if (!background_ || background_->getScale() != scale) {
            background_ = std::make_unique<COffscreenContext>(width, height, kWhiteCColor, scale);
            draw_response_background(*background_, width, height);
            filled_background_ = std::make_unique<COffscreenContext>(width, height, kWhiteCColor, scale);
            draw_response_background(*filled_background_, width, height, analyser_display::output_fill);
        }
        if (needs_render_.exchange(false, std::memory_order_relaxed)) measure_curve(width, height);
        // Straight into the window's picture, at the view's place.
        const CPoint saved_offset = context->getOffset();
        const CRect saved_clip = context->getClipRect();
        const CRect& place = getViewSize();
        context->setClipRect(saved_clip.intersection(place));
        context->setOffset(CPoint(saved_offset.x + place.left, saved_offset.y + place.top));
        compose_background(*context, width, height);
        if (analyser_) analyser_->draw(*context, label_columns, height);
        if (!side_rows_.empty()) draw_antialiased_trace(*context, label_columns, side_rows_, side_colour_);
        draw_antialiased_trace(*context, label_columns, curve_rows_, curve_colour_);
        if (handles_) handles_->draw(*context);
        context->setOffset(saved_offset);
        context->setClipRect(saved_clip);
    } catch (const std::exception& e) {
        platform::show_message_box({std::string(e.what()) + ": Editor: Draw ir vis area", "Ravelthorpe: Tessvane",
                                    platform::message_icon::error});
    }
}

// The plain background, and under the output's trace the filled one: copies
// alone, which a fill blended at every paint would not be. In device pixels,
// each device column filled from its logical column's row.
void response_view::compose_background(CDrawContext& picture, int width, int height) {
    if (!analyser_ || !analyser_->fill_rows(height, first_filled_)) {
        background_->copyTo(picture, CRect(0, 0, width, height));
        return;
    }
    const double scale = background_->getScale();
    const int device_width = background_->getWidth(), device_height = background_->getHeight();
    const int last_column = int(first_filled_.size()) - 1;
    std::vector<int> first_row(std::size_t(device_width), device_height);
    for (int x = int(std::lround(label_columns * scale)); x < device_width && last_column >= 0; ++x) {
        const int column = std::clamp(int((x + 0.5) / scale) - label_columns, 0, last_column);
        first_row[std::size_t(x)] = int(std::lround(first_filled_[std::size_t(column)] * scale));
    }
    composed_.resize(std::size_t(device_width) * std::size_t(device_height));
    for (int y = 0; y < device_height; ++y) {
        const std::size_t row = std::size_t(y) * std::size_t(device_width);
        const std::uint32_t* plain = background_->pixels() + row;
        const std::uint32_t* filled = filled_background_->pixels() + row;
        for (int x = 0; x < device_width; ++x)
            composed_[row + std::size_t(x)] = y >= first_row[std::size_t(x)] ? filled[x] : plain[x];
    }
    picture.drawPixels(composed_.data(), device_width, device_height, device_width, CRect(0, 0, width, height),
                       CPoint(0, 0));
}

bool response_view::onMouseDown(CPoint where, CButtonState buttons) {
    if ((buttons & kRButton) && context_menu_) {
        context_menu_(where);
        return true;
    }
    if (handles_ && handles_->mouse_down(in_view(where), buttons)) {
        invalid();
        return true;
    }
    if (!(buttons & kLButton) || !analyser_) return false;
    analyser_->clear_peaks();
    invalid();
    return true;
}

bool response_view::onMouseMoved(CPoint where, CButtonState buttons) {
    if (!handles_ || !handles_->mouse_moved(in_view(where), buttons)) return false;
    invalid();
    return true;
}

bool response_view::onMouseUp(CPoint, CButtonState) {
    if (!handles_ || !handles_->mouse_up()) return false;
    invalid();
    return true;
}

bool response_view::onWheel(CPoint where, float distance, CButtonState buttons) {
    if (!handles_ || !handles_->wheel(in_view(where), distance, buttons)) return false;
    invalid();
    return true;
}

void response_view::onMouseExited() {
    if (handles_ && handles_->mouse_exited()) invalid();
}

CPoint response_view::in_view(CPoint where) const { return where.offset(-getViewSize().left, -getViewSize().top); }

bool response_view::isTypeOf(const char* type) const {
    return std::strcmp(type, "response_view") == 0 || CControl::isTypeOf(type);
}

CView* response_view::newCopy() const {
    return new response_view(getViewSize(), getListener(), getTag(), getBackground(), model_, filters_on_);
}

}  // namespace editor
