#include "vst3/eq_component.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "core/product.h"
#include "core/state_image.h"
#include "vst3/plug_view.h"
#include "vst3/utf16.h"
#include "vst3/vst2_bank.h"

namespace vst3 {

namespace {

eq_component& self_of(void* self) { return owner_of<eq_component>(self); }

// ---- FUnknown and IPluginBase, shared by every table -------------------------

tresult VST3_CALL query_interface(void* self, const TUID iid, void** obj) { return self_of(self).query(iid, obj); }
std::uint32_t VST3_CALL add_ref(void* self) { return self_of(self).add_ref(); }
std::uint32_t VST3_CALL release(void* self) { return self_of(self).release(); }
constexpr FUnknown_vtbl unknown_table{query_interface, add_ref, release};

tresult VST3_CALL initialize(void*, FUnknown*) { return kResultOk; }
tresult VST3_CALL terminate(void*) { return kResultOk; }

// ---- IComponent ---------------------------------------------------------------

bool is_main_audio_bus(std::int32_t type, std::int32_t dir, std::int32_t index) {
    return type == kAudio && (dir == kInput || dir == kOutput) && index == 0;
}

tresult VST3_CALL get_controller_class_id(void*, TUID class_id) {
    // The controller is this object: hosts then ask it for IEditController.
    if (class_id) std::memset(class_id, 0, sizeof(TUID));
    return kResultFalse;
}
tresult VST3_CALL set_io_mode(void*, std::int32_t) { return kResultOk; }
std::int32_t VST3_CALL get_bus_count(void*, std::int32_t type, std::int32_t dir) {
    return type == kAudio && (dir == kInput || dir == kOutput) ? 1 : 0;
}
tresult VST3_CALL get_bus_info(void*, std::int32_t type, std::int32_t dir, std::int32_t index, BusInfo* bus) {
    if (!bus || !is_main_audio_bus(type, dir, index)) return kInvalidArgument;
    *bus = {};
    bus->mediaType = kAudio;
    bus->direction = dir;
    bus->channelCount = 2;
    copy_utf16(bus->name, dir == kInput ? "Stereo In" : "Stereo Out");
    bus->busType = kMain;
    bus->flags = kDefaultActive;
    return kResultOk;
}
tresult VST3_CALL get_routing_info(void*, RoutingInfo*, RoutingInfo*) { return kNotImplemented; }
tresult VST3_CALL activate_bus(void*, std::int32_t type, std::int32_t dir, std::int32_t index, TBool) {
    return is_main_audio_bus(type, dir, index) ? kResultOk : kInvalidArgument;
}
tresult VST3_CALL set_active(void* self, TBool state) { return self_of(self).set_active(state != 0); }
tresult VST3_CALL set_state(void* self, IBStream* stream) { return self_of(self).set_state(stream); }
tresult VST3_CALL get_state(void* self, IBStream* stream) { return self_of(self).get_state(stream); }

constexpr IComponent_vtbl component_table{{unknown_table, initialize, terminate},
                                          get_controller_class_id,
                                          set_io_mode,
                                          get_bus_count,
                                          get_bus_info,
                                          get_routing_info,
                                          activate_bus,
                                          set_active,
                                          set_state,
                                          get_state};

// ---- IAudioProcessor ------------------------------------------------------------

tresult VST3_CALL set_bus_arrangements(void*, SpeakerArrangement* inputs, std::int32_t num_ins,
                                       SpeakerArrangement* outputs, std::int32_t num_outs) {
    const bool stereo =
        num_ins == 1 && num_outs == 1 && inputs && outputs && inputs[0] == kStereo && outputs[0] == kStereo;
    return stereo ? kResultTrue : kResultFalse;
}
tresult VST3_CALL get_bus_arrangement(void*, std::int32_t dir, std::int32_t index, SpeakerArrangement* arr) {
    if (!arr || !is_main_audio_bus(kAudio, dir, index)) return kInvalidArgument;
    *arr = kStereo;
    return kResultOk;
}
tresult VST3_CALL can_process_sample_size(void*, std::int32_t size) {
    return size == kSample32 ? kResultTrue : kResultFalse;
}
std::uint32_t VST3_CALL get_latency_samples(void* self) {
    return static_cast<std::uint32_t>(self_of(self).instance().latency());
}
tresult VST3_CALL setup_processing(void* self, ProcessSetup* setup) {
    return setup ? self_of(self).setup_processing(*setup) : kInvalidArgument;
}
tresult VST3_CALL set_processing(void*, TBool) { return kResultOk; }
tresult VST3_CALL process(void* self, ProcessData* data) {
    return data ? self_of(self).process(*data) : kInvalidArgument;
}
// The FIR's response lasts its length past its latency, which is twice its
// centre; after that the output is silent.
std::uint32_t VST3_CALL get_tail_samples(void* self) {
    return static_cast<std::uint32_t>(2 * self_of(self).instance().latency());
}

constexpr IAudioProcessor_vtbl processor_table{
    unknown_table,       set_bus_arrangements, get_bus_arrangement, can_process_sample_size,
    get_latency_samples, setup_processing,     set_processing,      process,
    get_tail_samples};

// ---- IEditController ------------------------------------------------------------

// The component's setState has the state already.
tresult VST3_CALL set_component_state(void*, IBStream* stream) { return stream ? kResultOk : kInvalidArgument; }
// Nothing belongs to the controller alone.
tresult VST3_CALL set_controller_state(void*, IBStream*) { return kResultOk; }
tresult VST3_CALL get_controller_state(void*, IBStream*) { return kResultOk; }
std::int32_t VST3_CALL get_parameter_count(void* self) { return self_of(self).parameter_count(); }
tresult VST3_CALL get_parameter_info(void* self, std::int32_t index, ParameterInfo* info) {
    return info ? self_of(self).parameter_info(index, *info) : kInvalidArgument;
}
tresult VST3_CALL get_param_string_by_value(void* self, ParamID id, ParamValue value, char16_t* text) {
    return text ? self_of(self).string_of_value(id, value, text) : kInvalidArgument;
}
tresult VST3_CALL get_param_value_by_string(void* self, ParamID id, char16_t* text, ParamValue* value) {
    return text && value ? self_of(self).value_of_string(id, text, *value) : kInvalidArgument;
}
// Plain values are the normalised ones, but the program's number.
ParamValue VST3_CALL normalized_to_plain(void* self, ParamID id, ParamValue value) {
    return id == self_of(self).program_id() ? std::round(value * (core::program_count - 1)) : value;
}
ParamValue VST3_CALL plain_to_normalized(void* self, ParamID id, ParamValue plain) {
    return id == self_of(self).program_id() ? plain / (core::program_count - 1) : plain;
}
ParamValue VST3_CALL get_param_normalized(void* self, ParamID id) { return self_of(self).normalized(id); }
tresult VST3_CALL set_param_normalized(void* self, ParamID id, ParamValue value) {
    return self_of(self).set_normalized(id, value);
}
tresult VST3_CALL set_component_handler(void* self, IComponentHandler* handler) {
    self_of(self).set_handler(handler);
    return kResultOk;
}
IPlugView* VST3_CALL create_view(void* self, const char* name) { return self_of(self).create_view(name); }

constexpr IEditController_vtbl controller_table{{unknown_table, initialize, terminate},
                                                set_component_state,
                                                set_controller_state,
                                                get_controller_state,
                                                get_parameter_count,
                                                get_parameter_info,
                                                get_param_string_by_value,
                                                get_param_value_by_string,
                                                normalized_to_plain,
                                                plain_to_normalized,
                                                get_param_normalized,
                                                set_param_normalized,
                                                set_component_handler,
                                                create_view};

// ---- IUnitInfo: one unit, the root, with the program list -----------------------

std::int32_t VST3_CALL get_unit_count(void*) { return 1; }
tresult VST3_CALL get_unit_info(void*, std::int32_t index, UnitInfo* info) {
    if (!info || index != 0) return kInvalidArgument;
    *info = {};
    info->id = kRootUnitId;
    info->parentUnitId = kNoParentUnitId;
    copy_utf16(info->name, "Root");
    info->programListId = program_list_id;
    return kResultOk;
}
std::int32_t VST3_CALL get_program_list_count(void*) { return 1; }
tresult VST3_CALL get_program_list_info(void*, std::int32_t index, ProgramListInfo* info) {
    if (!info || index != 0) return kInvalidArgument;
    *info = {};
    info->id = program_list_id;
    copy_utf16(info->name, "Programs");
    info->programCount = core::program_count;
    return kResultOk;
}
tresult VST3_CALL get_program_name(void* self, std::int32_t list, std::int32_t program, char16_t* name) {
    if (!name || list != program_list_id || program < 0 || program >= core::program_count) return kInvalidArgument;
    char field[sizeof(core::program_record::program_name) + 1];
    self_of(self).instance().bank().name_of(program, field);
    copy_utf16(name, 128, field);
    return kResultOk;
}
tresult VST3_CALL get_program_info(void*, std::int32_t, std::int32_t, const char*, char16_t*) { return kResultFalse; }
tresult VST3_CALL has_program_pitch_names(void*, std::int32_t, std::int32_t) { return kResultFalse; }
tresult VST3_CALL get_program_pitch_name(void*, std::int32_t, std::int32_t, std::int16_t, char16_t*) {
    return kResultFalse;
}
std::int32_t VST3_CALL get_selected_unit(void*) { return kRootUnitId; }
tresult VST3_CALL select_unit(void*, std::int32_t unit) { return unit == kRootUnitId ? kResultOk : kResultFalse; }
tresult VST3_CALL get_unit_by_bus(void*, std::int32_t, std::int32_t, std::int32_t, std::int32_t, std::int32_t* unit) {
    if (!unit) return kInvalidArgument;
    *unit = kRootUnitId;
    return kResultOk;
}
tresult VST3_CALL set_unit_program_data(void*, std::int32_t, std::int32_t, IBStream*) { return kNotImplemented; }

constexpr IUnitInfo_vtbl unit_info_table{
    unknown_table,    get_unit_count,   get_unit_info,           get_program_list_count, get_program_list_info,
    get_program_name, get_program_info, has_program_pitch_names, get_program_pitch_name, get_selected_unit,
    select_unit,      get_unit_by_bus,  set_unit_program_data};

// ---- Helpers --------------------------------------------------------------------

// What a host sends is brought into 0..1 once, at the boundary; NaN is 0.
float clamped(ParamValue v) { return std::isnan(v) ? 0.0f : static_cast<float>(std::clamp(v, 0.0, 1.0)); }

int program_of(ParamValue v) { return static_cast<int>(std::lround(clamped(v) * (core::program_count - 1))); }

// A state is one of ours or a VST 2.x bank: anything longer is refused
// without being read to its end.
constexpr std::size_t longest_state = 64 * 1024;

bool read_whole(IBStream* stream, std::vector<unsigned char>& bytes) {
    bytes.resize(longest_state + 1);
    std::size_t have = 0;
    while (have < bytes.size()) {
        std::int32_t got = 0;
        const auto want = static_cast<std::int32_t>(bytes.size() - have);
        if (stream->vtbl->read(stream, bytes.data() + have, want, &got) != kResultOk || got <= 0) break;
        have += static_cast<std::size_t>(std::min(got, want));
    }
    bytes.resize(have);
    return have <= longest_state;
}

}  // namespace

// ---- The object -------------------------------------------------------------------

tresult eq_component::create(const core::edition& plugin, const char* iid, void** obj) {
    auto* component = new eq_component(plugin);
    const tresult result = component->query(iid, obj);
    component->release();
    return result;
}

eq_component::eq_component(const core::edition& plugin)
    : component_slot_{&component_table, this},
      processor_slot_{&processor_table, this},
      controller_slot_{&controller_table, this},
      unit_info_slot_{&unit_info_table, this},
      instance_(std::make_unique<core::eq_instance>(static_cast<core::host_link&>(*this), 44100.0f, plugin)),
      editor_(std::make_unique<editor::eq_editor>(*instance_)) {}

eq_component::~eq_component() {
    editor_.reset();
    if (handler_) handler_->vtbl->unknown.release(handler_);
}

tresult eq_component::query(const char* iid, void** obj) {
    if (!obj) return kInvalidArgument;
    interface_slot* slot = nullptr;
    if (is_id(iid, iid::FUnknown) || is_id(iid, iid::IPluginBase) || is_id(iid, iid::IComponent))
        slot = &component_slot_;
    else if (is_id(iid, iid::IAudioProcessor))
        slot = &processor_slot_;
    else if (is_id(iid, iid::IEditController))
        slot = &controller_slot_;
    else if (is_id(iid, iid::IUnitInfo))
        slot = &unit_info_slot_;
    *obj = slot;
    if (!slot) return kNoInterface;
    add_ref();
    return kResultOk;
}

std::uint32_t eq_component::release() {
    const std::uint32_t left = --refs_;
    if (left == 0) delete this;
    return left;
}

tresult eq_component::set_active(bool state) {
    if (state) {
        instance_->reset();
        if (bypass_) bypass_->clear();
    }
    active_ = state;
    return kResultOk;
}

tresult eq_component::set_state(IBStream* stream) {
    if (!stream) return kInvalidArgument;
    std::vector<unsigned char> bytes;
    if (!read_whole(stream, bytes)) return kResultFalse;
    core::state_contents ours;
    vst2_bank theirs;
    if (core::read_state_image(bytes.data(), bytes.size(), ours)) {
        instance_->load_bank(ours.bank_image, ours.program);
    } else if (read_vst2_bank(bytes.data(), bytes.size(), instance_->plugin_edition().vst2_unique_id, theirs)) {
        instance_->load_bank(theirs.bank_image, theirs.program);
        bypassed_ = theirs.bypassed;
    } else {
        return kResultFalse;
    }
    return kResultOk;
}

tresult eq_component::get_state(IBStream* stream) {
    if (!stream) return kInvalidArgument;
    std::vector<unsigned char> image = core::state_image(instance_->bank());
    std::int32_t written = 0;
    const tresult result = stream->vtbl->write(stream, image.data(), static_cast<std::int32_t>(image.size()), &written);
    return result == kResultOk && written == static_cast<std::int32_t>(image.size()) ? kResultOk : kResultFalse;
}

tresult eq_component::setup_processing(const ProcessSetup& setup) {
    // Buffers are made here; hosts set up only while the audio is stopped.
    if (active_ || setup.symbolicSampleSize != kSample32 || setup.maxSamplesPerBlock <= 0) return kResultFalse;
    instance_->set_sample_rate(static_cast<float>(setup.sampleRate));
    setup_mode_ = setup.processMode;
    const int frames = std::min(setup.maxSamplesPerBlock, core::eq_instance::max_block);
    try {
        bypass_ = std::make_unique<core::latency_bypass>(instance_->latency(), frames);
    } catch (const std::exception&) {
        max_frames_ = 0;
        return kResultFalse;
    }
    max_frames_ = setup.maxSamplesPerBlock;
    return kResultOk;
}

void eq_component::apply(ParamID id, ParamValue value) {
    if (is_control(id))
        instance_->set_parameter(static_cast<int>(id), clamped(value));
    else if (id == bypass_id())
        bypassed_ = clamped(value) >= 0.5f;
    else if (id == program_id())
        instance_->set_program(program_of(value), core::delivery::queued);
}

void eq_component::silence(ProcessData& data) {
    if (data.numOutputs < 1 || !data.outputs || data.numSamples <= 0) return;
    const AudioBusBuffers& bus = data.outputs[0];
    if (!bus.channelBuffers32) return;
    for (int ch = 0; ch < bus.numChannels; ++ch)
        if (bus.channelBuffers32[ch]) std::memset(bus.channelBuffers32[ch], 0, sizeof(float) * data.numSamples);
}

tresult eq_component::process(ProcessData& data) {
    // The queues' cursors: a host sends one queue per changed parameter.
    constexpr int most_queues = 64;
    IParamValueQueue* queues[most_queues];
    std::int32_t cursors[most_queues] = {};
    int queue_count = 0;
    if (IParameterChanges* changes = data.inputParameterChanges) {
        const std::int32_t n = changes->vtbl->getParameterCount(changes);
        for (std::int32_t i = 0; i < n && queue_count < most_queues; ++i)
            if (IParamValueQueue* q = changes->vtbl->getParameterData(changes, i)) queues[queue_count++] = q;
    }
    const int frames = std::max(data.numSamples, 0);
    // Applies every point up to `pos` and answers where the next one lies.
    auto apply_until = [&](int pos) {
        int next = frames;
        for (int i = 0; i < queue_count; ++i) {
            IParamValueQueue* q = queues[i];
            const std::int32_t points = q->vtbl->getPointCount(q);
            const ParamID id = q->vtbl->getParameterId(q);
            for (; cursors[i] < points; ++cursors[i]) {
                std::int32_t offset = 0;
                ParamValue value = 0.0;
                if (q->vtbl->getPoint(q, cursors[i], &offset, &value) != kResultOk) continue;
                offset = std::clamp(offset, 0, frames);
                if (offset > pos) {
                    next = std::min(next, static_cast<int>(offset));
                    break;
                }
                apply(id, value);
            }
        }
        return next;
    };

    const AudioBusBuffers* in_bus = data.numInputs >= 1 && data.inputs ? &data.inputs[0] : nullptr;
    const AudioBusBuffers* out_bus = data.numOutputs >= 1 && data.outputs ? &data.outputs[0] : nullptr;
    const bool has_audio = in_bus && out_bus && in_bus->numChannels >= 2 && out_bus->numChannels >= 2 &&
                           in_bus->channelBuffers32 && out_bus->channelBuffers32 && in_bus->channelBuffers32[0] &&
                           in_bus->channelBuffers32[1] && out_bus->channelBuffers32[0] && out_bus->channelBuffers32[1];
    const bool ready = active_ && max_frames_ > 0 && frames <= max_frames_ && data.symbolicSampleSize == kSample32;
    if (frames == 0 || !has_audio || !ready) {
        // A flush, or audio this instance cannot take: the values still
        // count, the output is silence.
        apply_until(frames);
        if (frames > 0 && data.symbolicSampleSize == kSample32) silence(data);
        return kResultOk;
    }

    const dsp::render_mode mode = setup_mode_ == kOffline || data.processMode == kOffline ? dsp::render_mode::offline
                                  : data.processMode == kRealtime || data.processMode == kPrefetch
                                      ? dsp::render_mode::real_time
                                      : dsp::render_mode::unknown;
    const float* const* in = in_bus->channelBuffers32;
    float* const* out = out_bus->channelBuffers32;
    for (int pos = 0; pos < frames;) {
        const int next = apply_until(pos);
        bypass_->process(*instance_, in, out, pos, next - pos, mode, bypassed_.load(std::memory_order_relaxed));
        pos = next;
    }
    apply_until(frames);
    return kResultOk;
}

tresult eq_component::parameter_info(std::int32_t index, ParameterInfo& info) const {
    if (index < 0 || index >= parameter_count()) return kInvalidArgument;
    info = {};
    info.unitId = kRootUnitId;
    if (is_control(static_cast<ParamID>(index))) {
        const core::control_info& control = core::control_at(index);
        info.id = static_cast<ParamID>(index);
        copy_utf16(info.title, control.name);
        copy_utf16(info.shortTitle, control.name);
        copy_utf16(info.units, control.label);
        // Placements start on Stereo, 0.
        info.defaultNormalizedValue = index < dsp::control_count ? dsp::default_control_values[index] : 0.0;
        info.flags = kCanAutomate;
    } else if (index == static_cast<std::int32_t>(bypass_id())) {
        info.id = bypass_id();
        copy_utf16(info.title, "Bypass");
        copy_utf16(info.shortTitle, "Bypass");
        info.stepCount = 1;
        info.flags = kCanAutomate | kIsBypass;
    } else {
        info.id = program_id();
        copy_utf16(info.title, "Program");
        copy_utf16(info.shortTitle, "Program");
        info.stepCount = core::program_count - 1;
        info.flags = kIsProgramChange | kIsList;
    }
    return kResultOk;
}

tresult eq_component::string_of_value(ParamID id, ParamValue value, char16_t* text) const {
    if (is_control(id)) {
        char display[core::display_capacity];
        instance_->value_display(static_cast<int>(id), clamped(value), display);
        copy_utf16(text, 128, display);
    } else if (id == bypass_id()) {
        copy_utf16(text, 128, clamped(value) >= 0.5f ? "On" : "Off");
    } else if (id == program_id()) {
        char field[sizeof(core::program_record::program_name) + 1];
        instance_->bank().name_of(program_of(value), field);
        copy_utf16(text, 128, field);
    } else {
        return kInvalidArgument;
    }
    return kResultOk;
}

tresult eq_component::value_of_string(ParamID id, const char16_t* text, ParamValue& value) const {
    char narrow[128];
    if (!narrow_ascii(text, narrow, sizeof narrow)) return kResultFalse;
    float v = 0.0f;
    if (is_control(id)) {
        if (!core::value_of_text(static_cast<int>(id), narrow, v)) return kResultFalse;
    } else if (id == bypass_id()) {
        // The bypass reads like any on/off control.
        if (!core::value_of_text(dsp::filters_control, narrow, v)) return kResultFalse;
    } else if (id == program_id()) {
        int found = -1;
        for (int p = 0; p < core::program_count && found < 0; ++p) {
            char field[sizeof(core::program_record::program_name) + 1];
            instance_->bank().name_of(p, field);
            if (std::strcmp(field, narrow) == 0) found = p;
        }
        if (found < 0) return kResultFalse;
        v = static_cast<float>(found) / (core::program_count - 1);
    } else {
        return kInvalidArgument;
    }
    value = v;
    return kResultOk;
}

ParamValue eq_component::normalized(ParamID id) const {
    if (is_control(id)) return instance_->parameter(static_cast<int>(id));
    if (id == bypass_id()) return bypassed_ ? 1.0 : 0.0;
    if (id == program_id()) return static_cast<ParamValue>(instance_->program()) / (core::program_count - 1);
    return 0.0;
}

tresult eq_component::set_normalized(ParamID id, ParamValue value) {
    if (id == program_id()) {
        const int program = program_of(value);
        if (program != instance_->program()) {
            instance_->set_program(program);
            if (handler_) handler_->vtbl->restartComponent(handler_, kParamValuesChanged);
        }
        return kResultOk;
    }
    if (id > program_id()) return kInvalidArgument;
    apply(id, value);
    return kResultOk;
}

void eq_component::set_handler(IComponentHandler* handler) {
    if (handler) handler->vtbl->unknown.addRef(handler);
    if (handler_) handler_->vtbl->unknown.release(handler_);
    handler_ = handler;
}

IPlugView* eq_component::create_view(const char* name) {
    if (!name || std::strcmp(name, "editor") != 0) return nullptr;
    return plug_view::create(*this);
}

void eq_component::perform_host_edit(int index, float value) {
    if (handler_) handler_->vtbl->performEdit(handler_, static_cast<ParamID>(index), value);
}

void eq_component::begin_host_edit(int index) {
    if (handler_) handler_->vtbl->beginEdit(handler_, static_cast<ParamID>(index));
}

void eq_component::end_host_edit(int index) {
    if (handler_) handler_->vtbl->endEdit(handler_, static_cast<ParamID>(index));
}

void eq_component::value_changed(int index, float) {
    if (editor_) editor_->parameter_changed(index);
}

}  // namespace vst3
