#include "clap_fuzz_instance.h"

#include <cstdlib>
#include <memory>
#include <vector>

#include "clap/eq_plugin.h"
#include "fuzz_settings.h"

namespace {

struct holder {
    fuzz_settings settings;
    clap_test_host::host host;
    std::unique_ptr<clap_test_host::instance> plugin;
    std::vector<unsigned char> default_state;

    holder() {
        plugin = std::make_unique<clap_test_host::instance>((new clap::eq_plugin(host.get()))->plugin());
        if (!plugin->initialised || !plugin->start(44100.0, fuzz_max_frames)) std::abort();
        default_state = plugin->state();
    }
    ~holder() { plugin.reset(); }
};

holder& the_holder() {
    static holder h;
    return h;
}

}  // namespace

clap_test_host::instance& clap_fuzz_instance() { return *the_holder().plugin; }

void restore_clap_default_state() {
    holder& h = the_holder();
    if (!h.plugin->set_state(h.default_state)) std::abort();
    clap_test_host::events bypass_off;
    bypass_off.add(clap::bypass_id, 0, 0.0);
    process_clap_and_check(0, &bypass_off, 0);
}

void process_clap_and_check(int frames, clap_test_host::events* ev, std::uint32_t seed) {
    process_noise_and_check(frames, seed, [&](const float* const* in, float* const* out, int n) {
        return clap_fuzz_instance().process(in, out, static_cast<std::uint32_t>(n), ev) == clap::process_continue;
    });
}
