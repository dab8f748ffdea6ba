// Signals a host plays into a plug-in to look at it: deterministic white or
// pink noise (the same samples on every run), or a sine. Both channels get
// the same samples.
#pragma once

#include <cstdint>
#include <string>

namespace tessvane::host {

class test_signal {
public:
    // "white", "pink" or "sine:HZ"; throws std::invalid_argument otherwise.
    static test_signal parse(const std::string& text);
    static test_signal white() { return test_signal(kind::white, 0.0, 1.0); }
    // About -15 dBFS RMS.
    static test_signal pink() { return test_signal(kind::pink, 0.0, 1.0); }
    static test_signal sine(double hz, double amplitude) { return test_signal(kind::sine, hz, amplitude); }

    float next(double sample_rate);

private:
    enum class kind { white, pink, sine };
    test_signal(kind k, double hz, double amplitude) : kind_(k), hz_(hz), amplitude_(amplitude) {}
    float white_sample();

    kind kind_;
    double hz_;
    double amplitude_;
    double phase_ = 0.0;  // cycles
    std::uint32_t state_ = 12345;
    float pink_state_[7] = {};
};

}  // namespace tessvane::host
