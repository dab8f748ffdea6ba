#include "test_signal.h"

#include <cmath>
#include <stdexcept>

namespace tessvane::host {

test_signal test_signal::parse(const std::string& text) {
    if (text == "white") return white();
    if (text == "pink") return pink();
    if (text.rfind("sine:", 0) == 0) {
        std::size_t used = 0;
        double hz = 0.0;
        try {
            hz = std::stod(text.substr(5), &used);
        } catch (const std::exception&) {
            used = 0;
        }
        if (used > 0 && used == text.size() - 5 && hz > 0.0 && std::isfinite(hz)) return sine(hz, 0.5);
    }
    throw std::invalid_argument("unknown signal '" + text + "' (white, pink or sine:HZ)");
}

float test_signal::white_sample() {
    state_ = state_ * 1664525u + 1013904223u;
    return float(std::int32_t(state_)) / 2147483648.0f;
}

float test_signal::next(double sample_rate) {
    switch (kind_) {
        case kind::white: return white_sample();
        case kind::pink: {
            // Kellett's filter: within 0.05 dB of -3 dB per octave from
            // 1/4800 of the rate up.
            float* b = pink_state_;
            const float w = white_sample();
            b[0] = 0.99886f * b[0] + w * 0.0555179f;
            b[1] = 0.99332f * b[1] + w * 0.0750759f;
            b[2] = 0.96900f * b[2] + w * 0.1538520f;
            b[3] = 0.86650f * b[3] + w * 0.3104856f;
            b[4] = 0.55000f * b[4] + w * 0.5329522f;
            b[5] = -0.7616f * b[5] - w * 0.0168980f;
            const float pink = b[0] + b[1] + b[2] + b[3] + b[4] + b[5] + b[6] + w * 0.5362f;
            b[6] = w * 0.115926f;
            return 0.1f * pink;
        }
        case kind::sine: {
            const float sample = float(amplitude_ * std::sin(6.283185307179586 * phase_));
            phase_ += hz_ / sample_rate;
            phase_ -= std::floor(phase_);
            return sample;
        }
    }
    return 0.0f;
}

}  // namespace tessvane::host
