#include "editor/response_view.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>
#include <vector>

#include "editor/eq_model.h"
#include "platform/message_box.h"

using namespace VSTGUI;

namespace editor {

namespace {

constexpr int label_columns = 34;  // left of the vertical axis
constexpr double two_pi = 6.283185307179586;
constexpr float axis_end_hz = 22050.0f;

constexpr CColor line_on{115, 156, 37, 255};
constexpr CColor joint_on{155, 196, 77, 255};
constexpr CColor line_off{200, 200, 200, 255};
constexpr CColor joint_off{242, 242, 242, 255};
constexpr CColor grid_colour{130, 130, 130, 255};
constexpr CColor label_colour{90, 90, 90, 255};

// Float steps throughout, so the curve lands on the same rows everywhere.
float column_frequency_fraction(int column, int plot_width) {
    const float t = float(column) / float(plot_width);
    const float u = (std::pow(10.0f, t) - 1.0f) / 9.0f;
    return (std::pow(10.0f, u) - 1.0f) / 9.0f;
}

int tick_column(int hz, int plot_width) {
    const float a = std::log10(9.0f * float(hz) / axis_end_hz + 1.0f);
    const float b = std::log10(9.0f * a + 1.0f);
    return label_columns + int(float(plot_width) * b);
}

// Minus the plotted gain / 40: each section counts twice, as the FIR
// applies it forwards and backwards.
float response_accumulator(const dsp::section_coefficients (&bands)[dsp::band_count], double w) {
    const std::complex<double> z = std::polar(1.0, w);
    const std::complex<double> z2 = z * z;
    float accumulator = 0.0f;
    for (const dsp::section_coefficients& band : bands) {
        const dsp::normalised_section& s = band.section;
        const std::complex<double> h =
            (double(s.b0) * z2 + double(s.b1) * z + double(s.b2)) / (z2 + double(s.a1) * z + double(s.a2));
        const float level_db = float(20.0 * std::log10(std::abs(h)));
        const float scaled = level_db / 40.0f;
        accumulator -= 2.0f * scaled;
    }
    return accumulator;
}

// Row H is just below the picture; out-of-scale and undefined gains leave
// it at the bottom or hold at the top.
int curve_row(float accumulator, int height) {
    const double y = (height - 2.0) * double(accumulator) + double(height / 2);
    if (!(y < double(height))) return height;
    if (y < 0.0) return 0;
    return int(y);
}

// Cycles per sample at column x of the plot.
float column_frequency(int x, int plot_width, float sample_rate) {
    return axis_end_hz / sample_rate * column_frequency_fraction(x, plot_width);
}

void draw_curve(CDrawContext& picture, int height, int plot_width,
                const dsp::section_coefficients (&bands)[dsp::band_count], const float* fir_db, CColor line,
                CColor joint) {
    int row = height / 2;
    for (int x = 0; x < plot_width; ++x) {
        const float v = column_frequency(x, plot_width, bands[0].sample_rate);
        const float accumulator = fir_db ? -fir_db[x] / 40.0f : response_accumulator(bands, two_pi * double(v));
        const int target = curve_row(accumulator, height);
        const int column = x + label_columns;
        picture.drawPoint(CPoint(column, row), line);
        while (row != target) {
            picture.drawPoint(CPoint(column, row), joint);
            row += target > row ? 1 : -1;
            picture.drawPoint(CPoint(column, row), line);
        }
    }
}

void draw_scale(CDrawContext& picture, int width, int height, int plot_width) {
    const int zero_row = height / 2;
    for (int x = label_columns; x < width; ++x) picture.drawPoint(CPoint(x, zero_row), grid_colour);
    for (int y = 0; y < height; ++y) picture.drawPoint(CPoint(label_columns, y), grid_colour);

    const int step = 2 + (height - 8) / 9;
    for (int k = 0; k < 9; ++k) {
        char text[16];
        std::snprintf(text, sizeof text, "%i dB", 20 - 5 * k);
        picture.drawString(text, CRect(0, 2 + k * step, label_columns, 10 + k * step), kRightText);
    }

    constexpr int tick_hz[] = {100,  200,  300,  400,  500,  600,  700,  800,  900,   1000,
                               2000, 3000, 4000, 5000, 6000, 7000, 8000, 9000, 10000, 20000};
    for (int hz : tick_hz) {
        const int x = tick_column(hz, plot_width);
        for (int y = zero_row - 2; y <= zero_row + 5; ++y) picture.drawPoint(CPoint(x, y), grid_colour);
        if (hz != 100 && hz != 1000 && hz != 10000) continue;
        char text[16];
        if (hz < 1000)
            std::snprintf(text, sizeof text, "%i Hz", hz);
        else
            std::snprintf(text, sizeof text, "%i kHz", hz / 1000);
        // Wide enough that "100 Hz" is not clipped at its ends.
        picture.drawString(text, CRect(x - 20, zero_row + 8, x + 20, zero_row + 18), kCenterText);
    }
}

}  // namespace

void render_response(CDrawContext& picture, int width, int height,
                     const dsp::section_coefficients (&bands)[dsp::band_count], bool filters_on, const float* fir_db) {
    picture.setFillColor(kWhiteCColor);
    picture.fillRect(CRect(-1, -1, width + 2, height + 2));
    const int plot_width = width - label_columns;
    picture.setFont(CFontDesc("Arial", 10));
    picture.setFontColor(label_colour);
    draw_scale(picture, width, height, plot_width);
    // Over the grid, so a flat response is not hidden by the 0 dB line.
    draw_curve(picture, height, plot_width, bands, fir_db, filters_on ? line_on : line_off,
               filters_on ? joint_on : joint_off);
    picture.setFont(CFontDesc("Arial", 12));
    picture.setFontColor(kBlackCColor);
}

response_view::response_view(const CRect& size, CControlListener* listener, int tag, CBitmap* bitmap,
                             const eq_model* model, std::function<bool()> filters_on)
    : CControl(size, listener, tag, bitmap), model_(model), filters_on_(std::move(filters_on)) {}

void response_view::render(CDrawContext& picture, int width, int height) const {
    // A pass-through section: what a view without its model shows.
    dsp::section_coefficients bands[dsp::band_count];
    for (dsp::section_coefficients& band : bands) band = {44100.0f, {1.0f, 0.0f, 0.0f, 0.0f, 0.0f}};
    if (model_) model_->band_sections(bands);
    // Once a design is in use, its FIR's own curve: at short lengths it
    // parts from the bands' (a narrow boost comes out lower and wider).
    const int plot_width = width - label_columns;
    std::vector<double> frequencies(std::size_t(std::max(plot_width, 0)));
    for (int x = 0; x < plot_width; ++x)
        frequencies[std::size_t(x)] = column_frequency(x, plot_width, bands[0].sample_rate);
    std::vector<float> fir_db(frequencies.size());
    const bool fir_in_use = model_ && model_->fir_response_db(frequencies.data(), fir_db.data(), plot_width);
    render_response(picture, width, height, bands, filters_on_ && filters_on_(), fir_in_use ? fir_db.data() : nullptr);
}

void response_view::draw(CDrawContext* context) {
    const CBitmap* bitmap = getBackground();
    if (!bitmap || bitmap->empty()) return;
    try {
        if (!offscreen_)
            offscreen_ = std::make_unique<COffscreenContext>(bitmap->getWidth(), bitmap->getHeight(), kWhiteCColor);
        if (needs_render_.exchange(false, std::memory_order_relaxed))
            render(*offscreen_, bitmap->getWidth(), bitmap->getHeight());
        offscreen_->copyTo(*context, getViewSize());
    } catch (const std::exception& e) {
        platform::show_message_box({std::string(e.what()) + ": Editor: Draw ir vis area", "Ravelthorpe: Tessvane",
                                    platform::message_icon::error});
    }
}

bool response_view::isTypeOf(const char* type) const {
    return std::strcmp(type, "response_view") == 0 || CControl::isTypeOf(type);
}

CView* response_view::newCopy() const {
    return new response_view(getViewSize(), getListener(), getTag(), getBackground(), model_, filters_on_);
}

}  // namespace editor
