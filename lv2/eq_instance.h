// One instance of either LV2 plug-in, the stereo one or the M/S one: maps
// its ports onto the equaliser engine (dsp/linear_phase_eq.h). The FIR length is the per-user setting's, as the
// VST 2.x build reads it; without a usable setting the instance is locked:
// silent, latency 0, and it says so once.
//
// Threads, as LV2 has them: create, activate, deactivate and destruction on
// the host's instantiation thread; connect and run on the audio thread. run
// allocates nothing: each control port is read once per call, and only a
// value that changed is clamped, mapped and handed to the engine (atomic
// stores and a wake-up of its worker). With the free-wheeling port on, the
// engine designs in the block that needs it, so exports are exact.
#pragma once

#include <cstdint>
#include <memory>

#include "dsp/eq_layout.h"
#include "dsp/linear_phase_eq.h"
#include "lv2/analyser_port.h"
#include "lv2/port_table.h"

namespace lv2plugin {

class eq_instance {
public:
    // Null when the host's sample rate is not a usable number of hertz.
    static std::unique_ptr<eq_instance> create(double sample_rate, const LV2_Feature* const* features = nullptr,
                                               bool mid_side = false);
    ~eq_instance();
    eq_instance(const eq_instance&) = delete;
    eq_instance& operator=(const eq_instance&) = delete;

    void connect(std::uint32_t port, void* data);
    // Takes the control ports connected so far and puts the response for them
    // in place before it returns.
    void activate();
    void run(std::uint32_t samples);
    void deactivate() {}

private:
    eq_instance(int sample_rate, const LV2_Feature* const* features, bool mid_side);
    void start_engine();
    void apply_control(int control, float port_value);
    void take_control_ports();

    std::unique_ptr<dsp::linear_phase_eq> engine_;
    analyser_port analyser_;
    bool processing_enabled_ = false;
    int latency_ = 0;
    const float* audio_in_[2] = {};
    float* audio_out_[2] = {};
    const float* controls_[control_port_count] = {};
    float* latency_out_ = nullptr;
    const float* freewheel_ = nullptr;
    // Each control port's value as last taken, bit for bit (a NaN that
    // stays is no change), and what the engine was given for it.
    std::uint32_t taken_bits_[control_port_count] = {};
    float normalised_[control_port_count] = {};
    // The M/S plug-in's placement ports, and the placement each last gave.
    bool mid_side_ = false;
    const float* placements_[dsp::band_count] = {};
    dsp::placement placed_[dsp::band_count] = {};
};

}  // namespace lv2plugin
