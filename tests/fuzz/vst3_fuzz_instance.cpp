#include "vst3_fuzz_instance.h"

#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

#include "fuzz_settings.h"
#include "vst3/eq_component.h"

namespace {

// As fuzz_instance.cpp: five bands at +20 dB and a gain of 2, with margin.
constexpr float kOutputBound = 1.0e6f;

struct holder {
    fuzz_settings settings;
    std::unique_ptr<vst3_host::instance> plugin;
    std::vector<unsigned char> default_state;

    holder() {
        void* component = nullptr;
        if (vst3::eq_component::create(vst3::id_bytes(vst3::iid::IComponent).data(), &component) != vst3::kResultOk)
            std::abort();
        plugin = std::make_unique<vst3_host::instance>(component);
        if (plugin->start(44100.0, vst3_max_frames) != vst3::kResultOk) std::abort();
        default_state = plugin->state();
    }

    ~holder() {
        plugin->stop();
        plugin.reset();
    }
};

holder& the_holder() {
    static holder h;
    return h;
}

bool is_sound(float x) {
    const int kind = std::fpclassify(x);
    return (kind == FP_ZERO || kind == FP_NORMAL) && std::fabs(x) < kOutputBound;
}

}  // namespace

vst3_host::instance& vst3_fuzz_instance() { return *the_holder().plugin; }

void restore_vst3_default_state() {
    holder& h = the_holder();
    h.plugin->stop();
    if (h.plugin->set_state(h.default_state) != vst3::kResultOk) std::abort();
    h.plugin->ctrl().setParamNormalized(h.plugin->controller, vst3::bypass_id, 0.0);
    if (h.plugin->start(44100.0, vst3_max_frames) != vst3::kResultOk) std::abort();
}

void process_vst3_and_check(int frames, vst3_host::parameter_changes* changes, std::uint32_t seed) {
    static std::vector<float> left(vst3_max_frames + 64), right(vst3_max_frames + 64), out_left(vst3_max_frames + 64),
        out_right(vst3_max_frames + 64);
    const int n = std::min(frames, vst3_max_frames + 64);
    for (int i = 0; i < n; ++i) {
        seed = seed * 1664525u + 1013904223u;
        left[i] = static_cast<float>(static_cast<std::int32_t>(seed)) * (1.0f / 2147483648.0f);
        right[i] = (seed & 0x100) ? 1.0f : -1.0f;
    }
    const float* ins[] = {left.data(), right.data()};
    float* outs[] = {out_left.data(), out_right.data()};
    if (vst3_fuzz_instance().process(ins, outs, n, changes) != vst3::kResultOk) std::abort();
    for (int i = 0; i < n; ++i) {
        if (!is_sound(out_left[i]) || !is_sound(out_right[i])) {
            std::fprintf(stderr, "output %d of %d is %g / %g\n", i, n, out_left[i], out_right[i]);
            std::abort();
        }
    }
}
