// The equaliser as one CLAP plug-in: its clap_plugin and extensions, each a
// table over the format-free instance (core/eq_instance.h).
//
// Threads, as CLAP has them: the main thread for everything but process,
// reset and flush while active (the audio thread). Where the host offers
// thread-check, main-thread calls made elsewhere are refused.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "clap/clap_abi.h"
#include "clap/edit_queue.h"
#include "clap/editor_view.h"
#include "core/eq_instance.h"
#include "core/latency_bypass.h"
#include "editor/eq_editor.h"

namespace clap {

// Beside a plug-in's controls, whose IDs are their VST 2.x indices, the
// bypass comes after its last one.
constexpr clap_id bypass_id_of(const core::edition& plugin) { return static_cast<clap_id>(plugin.control_count); }
inline constexpr clap_id bypass_id = bypass_id_of(core::stereo_edition);

// A plug-in the module offers: what hosts list, and the edition it builds.
struct offered_plugin {
    const clap_plugin_descriptor& descriptor;
    const core::edition& edition;
};
extern const offered_plugin stereo_plugin;
extern const offered_plugin mid_side_plugin;

class eq_plugin final : private core::host_link {
public:
    explicit eq_plugin(const clap_host* host, const offered_plugin& offered = stereo_plugin);
    ~eq_plugin();
    eq_plugin(const eq_plugin&) = delete;
    eq_plugin& operator=(const eq_plugin&) = delete;

    static eq_plugin& of(const clap_plugin* plugin) { return *static_cast<eq_plugin*>(plugin->plugin_data); }
    const clap_plugin* plugin() const { return &plugin_; }

    bool init();
    bool activate(double sample_rate, std::uint32_t max_frames);
    void deactivate();
    void set_processing(bool on) { processing_.store(on, std::memory_order_relaxed); }
    void reset();
    clap_process_status process(const clap_process& data);
    const void* extension(const char* id) const;

    bool param_info(std::uint32_t index, clap_param_info& info) const;
    bool value(clap_id id, double& out) const;
    bool value_to_text(clap_id id, double value, char* display, std::uint32_t size) const;
    bool text_to_value(clap_id id, const char* display, double& out) const;
    void flush(const clap_input_events* in, const clap_output_events* out);
    bool save(const clap_ostream& stream) const;
    bool load(const clap_istream& stream);
    std::uint32_t latency() const { return instance_ ? static_cast<std::uint32_t>(instance_->latency()) : 0; }
    bool set_render(clap_plugin_render_mode mode);

    std::uint32_t parameter_count() const { return static_cast<std::uint32_t>(edition_.control_count) + 1; }
    bool is_control(clap_id id) const { return id < static_cast<clap_id>(edition_.control_count); }
    clap_id bypass() const { return bypass_id_of(edition_); }

    // True unless the host's thread-check says otherwise.
    bool on_main_thread() const;
    const clap_host* host() const { return host_; }
    template <class Extension>
    const Extension* host_extension(const char* id) const {
        return host_->get_extension ? static_cast<const Extension*>(host_->get_extension(host_, id)) : nullptr;
    }
    core::eq_instance& instance() { return *instance_; }
    editor::eq_editor& editor() { return *editor_; }
    editor_view& view() { return view_; }

private:
    void perform_host_edit(int index, float value) override;
    void begin_host_edit(int index) override;
    void end_host_edit(int index) override;
    void give_host_idle() override {}
    void value_changed(int index, float value) override;

    void queue_edit(std::uint16_t type, int index, double value);
    void apply(const clap_event_header& event);
    void apply_all(const clap_input_events* in);
    void send_edits(const clap_output_events* out);
    void silence(const clap_process& data);

    clap_plugin plugin_;
    const core::edition& edition_;
    const clap_host* host_;
    const clap_host_params* host_params_ = nullptr;
    const clap_host_thread_check* thread_check_ = nullptr;
    std::unique_ptr<core::eq_instance> instance_;
    std::unique_ptr<editor::eq_editor> editor_;
    editor_view view_;

    bool active_ = false;
    std::uint32_t max_frames_ = 0;
    std::atomic<bool> processing_{false};
    std::atomic<bool> bypassed_{false};
    std::atomic<dsp::render_mode> render_{dsp::render_mode::unknown};
    std::unique_ptr<core::latency_bypass> bypass_;
    edit_queue edits_;
};

}  // namespace clap
