// The LV2 plug-in as a host loads it: through lilv, from the bundle in the
// build tree, its ports set by symbol and connected to buffers of ours.
#pragma once

#include <lilv/lilv.h>

#include <string>
#include <vector>

class lilv_instance {
public:
    // The analyser's atom ports are left unconnected (connect them below).
    explicit lilv_instance(double sample_rate = 44100.0, const LV2_Feature* const* features = nullptr);
    ~lilv_instance();
    lilv_instance(const lilv_instance&) = delete;
    lilv_instance& operator=(const lilv_instance&) = delete;

    // False when instantiate answered null.
    bool loaded() const { return instance_ != nullptr; }
    void set(const std::string& symbol, float value);
    float value(const std::string& symbol) const;
    // The port's value itself, to change between runs without a look-up.
    float* value_of(const std::string& symbol) { return &values_[index_of(symbol)]; }
    void activate();
    void deactivate();
    // Runs both channels in blocks of `block`; the output of the left one.
    std::vector<float> run(const std::vector<float>& left, const std::vector<float>& right, int block = 512);
    std::vector<float> run(const std::vector<float>& both, int block = 512) { return run(both, both, block); }
    void connect(const std::string& symbol, void* data);
    // One run on buffers of the caller's, nothing else in between.
    void run_block(float* const (&buffers)[4], unsigned frames);
    // Every control port's symbol, inputs only.
    std::vector<std::string> control_inputs() const;
    float minimum(const std::string& symbol) const;
    float maximum(const std::string& symbol) const;

private:
    unsigned index_of(const std::string& symbol) const;

    LilvInstance* instance_ = nullptr;
    std::vector<float> values_;  // one per port; audio ports' entries unused
    bool active_ = false;
};

// A unit impulse followed by silence.
std::vector<float> unit_impulse(int length);
