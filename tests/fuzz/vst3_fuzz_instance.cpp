#include "vst3_fuzz_instance.h"

#include <cstdlib>
#include <memory>
#include <vector>

#include "fuzz_settings.h"
#include "fuzz_signal.h"
#include "vst3/eq_component.h"

namespace {

struct holder {
    fuzz_settings settings;
    std::unique_ptr<vst3_host::instance> plugin;
    std::vector<unsigned char> default_state;

    holder() {
        void* component = nullptr;
        if (vst3::eq_component::create(core::stereo_edition, vst3::id_bytes(vst3::iid::IComponent).data(),
                                       &component) != vst3::kResultOk)
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
    process_noise_and_check(frames, seed, [&](const float* const* in, float* const* out, int n) {
        return vst3_fuzz_instance().process(in, out, n, changes) == vst3::kResultOk;
    });
}
