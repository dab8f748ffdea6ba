// The equaliser as one VST3 object: the component, its audio processor, its
// edit controller and the program list's unit info, each a table over the
// format-free instance (core/eq_instance.h). Hosts load single-object
// plug-ins like this by asking the component for the controller.
//
// Threads, as VST3 has them: everything on the host's UI thread except
// process (the audio thread), which applies the parameter queues at their
// sample offsets, and setProcessing. The editor's window is eq_editor,
// opened through plug_view.h.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "core/eq_instance.h"
#include "core/latency_bypass.h"
#include "editor/eq_editor.h"
#include "vst3/interface_slot.h"

namespace vst3 {

// Beside a plug-in's controls, whose IDs are their VST 2.x indices, the
// bypass and the program come after its last one.
constexpr ParamID bypass_id_of(const core::edition& plugin) { return static_cast<ParamID>(plugin.control_count); }
constexpr ParamID program_id_of(const core::edition& plugin) { return bypass_id_of(plugin) + 1; }
constexpr std::int32_t parameter_count_of(const core::edition& plugin) { return plugin.control_count + 2; }
inline constexpr ParamID bypass_id = bypass_id_of(core::stereo_edition);
inline constexpr ParamID program_id = program_id_of(core::stereo_edition);
inline constexpr std::int32_t parameter_count = parameter_count_of(core::stereo_edition);
inline constexpr std::int32_t program_list_id = 0;

class eq_component final : private core::host_link {
public:
    // The new object as the interface asked for, or null.
    static tresult create(const core::edition& plugin, const char* iid, void** obj);

    explicit eq_component(const core::edition& plugin);
    ~eq_component();
    eq_component(const eq_component&) = delete;
    eq_component& operator=(const eq_component&) = delete;

    tresult query(const char* iid, void** obj);
    std::uint32_t add_ref() { return ++refs_; }
    std::uint32_t release();

    // IComponent
    tresult set_active(bool state);
    tresult set_state(IBStream* stream);
    tresult get_state(IBStream* stream);
    // IAudioProcessor
    tresult setup_processing(const ProcessSetup& setup);
    tresult process(ProcessData& data);
    // IEditController
    tresult parameter_info(std::int32_t index, ParameterInfo& info) const;
    tresult string_of_value(ParamID id, ParamValue value, char16_t* text) const;
    tresult value_of_string(ParamID id, const char16_t* text, ParamValue& value) const;
    ParamValue normalized(ParamID id) const;
    tresult set_normalized(ParamID id, ParamValue value);
    void set_handler(IComponentHandler* handler);
    IPlugView* create_view(const char* name);

    core::eq_instance& instance() { return *instance_; }
    editor::eq_editor& editor() { return *editor_; }
    ParamID bypass_id() const { return bypass_id_of(instance_->plugin_edition()); }
    ParamID program_id() const { return program_id_of(instance_->plugin_edition()); }
    std::int32_t parameter_count() const { return parameter_count_of(instance_->plugin_edition()); }
    bool is_control(ParamID id) const { return id < static_cast<ParamID>(instance_->control_count()); }

private:
    void perform_host_edit(int index, float value) override;
    void begin_host_edit(int index) override;
    void end_host_edit(int index) override;
    void give_host_idle() override {}
    void value_changed(int index, float value) override;

    // A point of a parameter queue, on the audio thread.
    void apply(ParamID id, ParamValue value);
    void silence(ProcessData& data);

    interface_slot component_slot_;
    interface_slot processor_slot_;
    interface_slot controller_slot_;
    interface_slot unit_info_slot_;
    std::atomic<std::uint32_t> refs_{1};
    std::unique_ptr<core::eq_instance> instance_;
    std::unique_ptr<editor::eq_editor> editor_;
    IComponentHandler* handler_ = nullptr;

    bool active_ = false;
    std::int32_t setup_mode_ = kRealtime;
    int max_frames_ = 0;  // 0 until setupProcessing
    std::atomic<bool> bypassed_{false};
    std::unique_ptr<core::latency_bypass> bypass_;
};

}  // namespace vst3
