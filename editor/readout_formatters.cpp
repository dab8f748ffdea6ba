#include "editor/readout_formatters.h"

#include <cmath>
#include <cstdio>

#include "gui/param_display.h"

namespace readout {
namespace {

constexpr int text_size = VSTGUI::CParamDisplay::kTextBufferSize;

}  // namespace

void frequency_text(float hz, char* text) {
    // Decided on the float, so 999.96 Hz still reads "1000 Hz".
    if (hz >= 1000.0f)
        std::snprintf(text, text_size, "%.1f kHz", double(hz) / 1000.0);
    else
        std::snprintf(text, text_size, "%.0f Hz", double(hz));
}

void gain_text(float db, char* text) { std::snprintf(text, text_size, "%.1f dB", double(db)); }

void q_text(float q, char* text) { std::snprintf(text, text_size, "Q = %.1f", double(q)); }

void master_gain_text(float linear_gain, char* text) {
    const float magnitude = std::fabs(linear_gain);
    // The float compared with the double: 2 x 0.0005 lies just above 0.001.
    if (double(magnitude) <= 0.001) {
        std::snprintf(text, text_size, "-oo dB");
        return;
    }
    const float log_magnitude = float(std::log10(double(magnitude)));
    const float db = float(20.0 * double(log_magnitude));
    std::snprintf(text, text_size, "%.1f dB", double(db));
}

}  // namespace readout
