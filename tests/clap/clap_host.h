// A CLAP host of our own for the suites: it loads the built module through
// clap_entry and gives the plug-in the host's side of the format (event
// lists, streams, params, timer and descriptor support, thread-check), each
// extension offered or answered with null as a test asks.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "../support/module_library.h"
#include "clap/clap_abi.h"

namespace clap_test_host {

using namespace clap;

// The module, loaded and entered; closed when this ends.
class module {
public:
    explicit module(const std::string& path);
    ~module();
    const clap_plugin_entry& entry() const { return *entry_; }
    const clap_plugin_factory& factory() const { return *factory_; }

private:
    module_library library_;
    const clap_plugin_entry* entry_ = nullptr;
    const clap_plugin_factory* factory_ = nullptr;
};

// The host's side. With every offer off, get_extension answers null.
class host {
public:
    struct offers {
        bool params = true;
        bool timer = true;
        bool posix_fd = true;
        bool thread_check = true;
    };
    explicit host(offers offered);
    host() : host(offers{}) {}
    host(const host&) = delete;
    host& operator=(const host&) = delete;
    const clap_host* get() const { return &host_; }

    // Calls every timer, and on_fd for each descriptor that is readable.
    void run_once(const clap_plugin* plugin);

    offers offered;
    bool main_thread = true;  // what thread-check answers
    bool audio_thread = true;
    int flush_requests = 0;
    int rescans = 0;
    std::vector<std::pair<clap_id, std::uint32_t>> timers;  // id, period
    std::vector<int> descriptors;

private:
    clap_host host_;
};

// An input event list of parameter values, and an output list that records.
struct events {
    std::vector<clap_event_param_value> in;
    std::vector<std::string> out;  // "begin 4", "value 4 0.25", "end 4"
    void add(clap_id id, std::uint32_t time, double value);
    clap_input_events input();
    clap_output_events output();
};

// One instance, made and initialised.
class instance {
public:
    // The stereo plug-in, or the one with that id.
    instance(const module& loaded, const host& h, const char* id = "com.ravelthorpe.tessvane-le");
    // A plug-in already made (in the process itself), taken over.
    explicit instance(const clap_plugin* made);
    ~instance();
    instance(const instance&) = delete;
    instance& operator=(const instance&) = delete;

    bool start(double rate, std::uint32_t max_frames, clap_plugin_render_mode mode = render_realtime);
    // One block, the outputs replaced.
    clap_process_status process(const float* const* in, float* const* out, std::uint32_t frames, events* ev = nullptr);

    std::vector<unsigned char> state();
    bool set_state(const std::vector<unsigned char>& bytes);
    double value(clap_id id);
    std::string text_of(clap_id id, double value);

    template <class Extension>
    const Extension& ext(const char* id) const {
        return *static_cast<const Extension*>(plugin->get_extension(plugin, id));
    }
    const clap_plugin_params& params() const { return ext<clap_plugin_params>(ext_params); }
    const clap_plugin_gui& gui() const { return ext<clap_plugin_gui>(ext_gui); }

    const clap_plugin* plugin = nullptr;
    bool initialised = false;
    bool active = false;
};

}  // namespace clap_test_host
