#include "clap/eq_plugin.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "core/number_format.h"
#include "core/state_image.h"

namespace clap {

namespace {

eq_plugin& self_of(const clap_plugin* plugin) { return eq_plugin::of(plugin); }

// ---- clap_plugin ---------------------------------------------------------------

bool CLAP_CALL init(const clap_plugin* plugin) { return self_of(plugin).init(); }
void CLAP_CALL destroy(const clap_plugin* plugin) { delete &self_of(plugin); }
bool CLAP_CALL activate(const clap_plugin* plugin, double rate, std::uint32_t, std::uint32_t max_frames) {
    return self_of(plugin).activate(rate, max_frames);
}
void CLAP_CALL deactivate(const clap_plugin* plugin) { self_of(plugin).deactivate(); }
bool CLAP_CALL start_processing(const clap_plugin* plugin) {
    self_of(plugin).set_processing(true);
    return true;
}
void CLAP_CALL stop_processing(const clap_plugin* plugin) { self_of(plugin).set_processing(false); }
void CLAP_CALL reset(const clap_plugin* plugin) { self_of(plugin).reset(); }
clap_process_status CLAP_CALL process(const clap_plugin* plugin, const clap_process* data) {
    return data ? self_of(plugin).process(*data) : process_error;
}
const void* CLAP_CALL get_extension(const clap_plugin* plugin, const char* id) {
    return id ? self_of(plugin).extension(id) : nullptr;
}
void CLAP_CALL on_main_thread(const clap_plugin*) {}

// ---- Extensions ------------------------------------------------------------------

std::uint32_t CLAP_CALL port_count(const clap_plugin*, bool) { return 1; }
bool CLAP_CALL port_info(const clap_plugin*, std::uint32_t index, bool is_input, clap_audio_port_info* info) {
    if (!info || index != 0) return false;
    *info = {};
    info->id = 0;
    std::snprintf(info->name, sizeof info->name, "%s", is_input ? "Stereo In" : "Stereo Out");
    info->flags = audio_port_is_main;
    info->channel_count = 2;
    info->port_type = port_stereo;
    info->in_place_pair = 0;
    return true;
}
constexpr clap_plugin_audio_ports audio_ports_table{port_count, port_info};

std::uint32_t CLAP_CALL param_count(const clap_plugin* plugin) { return self_of(plugin).parameter_count(); }
bool CLAP_CALL param_info(const clap_plugin* plugin, std::uint32_t index, clap_param_info* info) {
    return info && self_of(plugin).param_info(index, *info);
}
bool CLAP_CALL param_value(const clap_plugin* plugin, clap_id id, double* value) {
    return value && self_of(plugin).value(id, *value);
}
bool CLAP_CALL value_to_text(const clap_plugin* plugin, clap_id id, double value, char* display, std::uint32_t size) {
    return display && size > 0 && self_of(plugin).value_to_text(id, value, display, size);
}
bool CLAP_CALL text_to_value(const clap_plugin* plugin, clap_id id, const char* display, double* value) {
    return display && value && self_of(plugin).text_to_value(id, display, *value);
}
void CLAP_CALL flush(const clap_plugin* plugin, const clap_input_events* in, const clap_output_events* out) {
    self_of(plugin).flush(in, out);
}
constexpr clap_plugin_params params_table{param_count, param_info, param_value, value_to_text, text_to_value, flush};

bool CLAP_CALL save(const clap_plugin* plugin, const clap_ostream* stream) {
    return stream && stream->write && self_of(plugin).on_main_thread() && self_of(plugin).save(*stream);
}
bool CLAP_CALL load(const clap_plugin* plugin, const clap_istream* stream) {
    return stream && stream->read && self_of(plugin).on_main_thread() && self_of(plugin).load(*stream);
}
constexpr clap_plugin_state state_table{save, load};

std::uint32_t CLAP_CALL latency(const clap_plugin* plugin) { return self_of(plugin).latency(); }
constexpr clap_plugin_latency latency_table{latency};

bool CLAP_CALL has_hard_realtime_requirement(const clap_plugin*) { return false; }
bool CLAP_CALL set_render(const clap_plugin* plugin, clap_plugin_render_mode mode) {
    return self_of(plugin).set_render(mode);
}
constexpr clap_plugin_render render_table{has_hard_realtime_requirement, set_render};

// ---- Helpers -------------------------------------------------------------------

// What a host sends is brought into 0..1 once, at the boundary; NaN is 0.
float clamped(double v) { return std::isnan(v) ? 0.0f : static_cast<float>(std::clamp(v, 0.0, 1.0)); }

// A state is exactly one of ours: anything longer is refused without being
// read to its end.
constexpr std::size_t longest_state = core::state_image_size;

bool read_whole(const clap_istream& stream, std::vector<unsigned char>& bytes) {
    bytes.resize(longest_state + 1);
    std::size_t have = 0;
    while (have < bytes.size()) {
        const std::int64_t got = stream.read(&stream, bytes.data() + have, bytes.size() - have);
        if (got < 0) return false;
        if (got == 0) break;
        have += static_cast<std::size_t>(std::min<std::int64_t>(got, static_cast<std::int64_t>(bytes.size() - have)));
    }
    bytes.resize(have);
    return have <= longest_state;
}

}  // namespace

// ---- The object -------------------------------------------------------------------

eq_plugin::eq_plugin(const clap_host* host, const offered_plugin& offered)
    : plugin_{&offered.descriptor, this,
              clap::init,          clap::destroy,
              clap::activate,      clap::deactivate,
              start_processing,    stop_processing,
              clap::reset,         clap::process,
              get_extension,       clap::on_main_thread},
      edition_(offered.edition),
      host_(host),
      view_(*this) {}

eq_plugin::~eq_plugin() = default;

bool eq_plugin::init() {
    if (instance_) return false;
    host_params_ = host_extension<clap_host_params>(ext_params);
    thread_check_ = host_extension<clap_host_thread_check>(ext_thread_check);
    if (thread_check_ && (!thread_check_->is_main_thread || !thread_check_->is_audio_thread)) thread_check_ = nullptr;
    if (!on_main_thread()) return false;
    view_.find_host_support();
    try {
        instance_ = std::make_unique<core::eq_instance>(static_cast<core::host_link&>(*this), 44100.0f, edition_);
        editor_ = std::make_unique<editor::eq_editor>(*instance_);
    } catch (const std::exception&) {
        // The instance shows what it could not survive before it throws.
        return false;
    }
    return true;
}

bool eq_plugin::on_main_thread() const { return !thread_check_ || thread_check_->is_main_thread(host_); }

const void* eq_plugin::extension(const char* id) const {
    if (!instance_) return nullptr;
    if (std::strcmp(id, ext_audio_ports) == 0) return &audio_ports_table;
    if (std::strcmp(id, ext_params) == 0) return &params_table;
    if (std::strcmp(id, ext_state) == 0) return &state_table;
    if (std::strcmp(id, ext_latency) == 0) return &latency_table;
    if (std::strcmp(id, ext_render) == 0) return &render_table;
    if (std::strcmp(id, ext_gui) == 0) return &gui_extension;
    if (std::strcmp(id, ext_timer_support) == 0) return &timer_extension;
    if (std::strcmp(id, ext_posix_fd_support) == 0) return &fd_extension;
    return nullptr;
}

bool eq_plugin::activate(double sample_rate, std::uint32_t max_frames) {
    if (!instance_ || active_ || !on_main_thread() || max_frames == 0 ||
        !core::accepted_sample_rate(static_cast<float>(sample_rate)) || sample_rate <= 0.0)
        return false;
    instance_->set_sample_rate(static_cast<float>(sample_rate));
    const int frames = static_cast<int>(std::min<std::uint32_t>(max_frames, core::eq_instance::max_block));
    try {
        bypass_ = std::make_unique<core::latency_bypass>(instance_->latency(), frames);
    } catch (const std::exception&) {
        return false;
    }
    instance_->reset();
    max_frames_ = max_frames;
    active_ = true;
    return true;
}

void eq_plugin::deactivate() {
    if (on_main_thread()) active_ = false;
}

void eq_plugin::reset() {
    if (!active_ || processing_.load(std::memory_order_relaxed)) return;
    instance_->reset();
    bypass_->clear();
}

bool eq_plugin::set_render(clap_plugin_render_mode mode) {
    if (mode != render_realtime && mode != render_offline) return false;
    render_ = mode == render_offline ? dsp::render_mode::offline : dsp::render_mode::real_time;
    return true;
}

void eq_plugin::apply(const clap_event_header& event) {
    if (event.space_id != core_event_space || event.type != event_param_value ||
        event.size < sizeof(clap_event_param_value))
        return;
    const auto& change = reinterpret_cast<const clap_event_param_value&>(event);
    if (is_control(change.param_id))
        instance_->set_parameter(static_cast<int>(change.param_id), clamped(change.value));
    else if (change.param_id == bypass())
        bypassed_ = clamped(change.value) >= 0.5f;
}

void eq_plugin::apply_all(const clap_input_events* in) {
    if (!in || !in->size || !in->get) return;
    const std::uint32_t count = in->size(in);
    for (std::uint32_t i = 0; i < count; ++i)
        if (const clap_event_header* event = in->get(in, i)) apply(*event);
}

void eq_plugin::send_edits(const clap_output_events* out) {
    host_edit edit;
    while (edits_.pop(edit)) {
        if (!out || !out->try_push) continue;
        if (edit.type == event_param_value) {
            clap_event_param_value event{};
            event.header = {sizeof event, 0, core_event_space, event_param_value, 0};
            event.param_id = edit.id;
            event.note_id = -1;
            event.port_index = event.channel = event.key = -1;
            event.value = edit.value;
            out->try_push(out, &event.header);
        } else {
            clap_event_param_gesture event{};
            event.header = {sizeof event, 0, core_event_space, edit.type, 0};
            event.param_id = edit.id;
            out->try_push(out, &event.header);
        }
    }
}

void eq_plugin::flush(const clap_input_events* in, const clap_output_events* out) {
    if (!instance_) return;
    apply_all(in);
    send_edits(out);
}

void eq_plugin::silence(const clap_process& data) {
    if (data.audio_outputs_count < 1 || !data.audio_outputs) return;
    const clap_audio_buffer& port = data.audio_outputs[0];
    if (!port.data32) return;
    for (std::uint32_t ch = 0; ch < port.channel_count; ++ch)
        if (port.data32[ch]) std::memset(port.data32[ch], 0, sizeof(float) * data.frames_count);
}

clap_process_status eq_plugin::process(const clap_process& data) {
    if (!instance_) {
        silence(data);
        return process_error;
    }
    const clap_audio_buffer* in_port = data.audio_inputs_count >= 1 ? data.audio_inputs : nullptr;
    const clap_audio_buffer* out_port = data.audio_outputs_count >= 1 ? data.audio_outputs : nullptr;
    const bool has_audio = in_port && out_port && in_port->channel_count >= 2 && out_port->channel_count >= 2 &&
                           in_port->data32 && out_port->data32 && in_port->data32[0] && in_port->data32[1] &&
                           out_port->data32[0] && out_port->data32[1];
    const bool on_audio_thread = !thread_check_ || thread_check_->is_audio_thread(host_);
    const std::uint32_t frames = data.frames_count;
    if (!on_audio_thread || !active_ || !has_audio || frames > max_frames_) {
        // Audio this instance cannot take: the values still count, the
        // output is silence.
        if (on_audio_thread) apply_all(data.in_events);
        silence(data);
        send_edits(data.out_events);
        return on_audio_thread ? process_continue : process_error;
    }

    const clap_input_events* in =
        data.in_events && data.in_events->size && data.in_events->get ? data.in_events : nullptr;
    const std::uint32_t event_count = in ? in->size(in) : 0;
    std::uint32_t next_event = 0;
    const dsp::render_mode mode = render_.load(std::memory_order_relaxed);
    const float* const* inputs = in_port->data32;
    float* const* outputs = out_port->data32;
    // Events apply at their sample offsets: the block is split at each.
    for (std::uint32_t pos = 0; pos < frames;) {
        std::uint32_t next = frames;
        for (; next_event < event_count; ++next_event) {
            const clap_event_header* event = in->get(in, next_event);
            if (!event) continue;
            if (event->time > pos) {
                next = std::min(event->time, frames);
                break;
            }
            apply(*event);
        }
        bypass_->process(*instance_, inputs, outputs, static_cast<int>(pos), static_cast<int>(next - pos), mode,
                         bypassed_.load(std::memory_order_relaxed));
        pos = next;
    }
    for (; next_event < event_count; ++next_event)
        if (const clap_event_header* event = in->get(in, next_event)) apply(*event);
    send_edits(data.out_events);
    return process_continue;
}

bool eq_plugin::param_info(std::uint32_t index, clap_param_info& info) const {
    if (index >= parameter_count()) return false;
    info = {};
    info.id = index;
    info.min_value = 0.0;
    info.max_value = 1.0;
    if (is_control(index)) {
        std::snprintf(info.name, sizeof info.name, "%s", core::control_at(static_cast<int>(index)).name);
        info.flags = param_is_automatable;
        // Placements start on Stereo, 0.
        info.default_value = index < dsp::control_count ? dsp::default_control_values[index] : 0.0;
    } else {
        std::snprintf(info.name, sizeof info.name, "Bypass");
        info.flags = param_is_automatable | param_is_bypass | param_is_stepped;
    }
    return true;
}

bool eq_plugin::value(clap_id id, double& out) const {
    if (is_control(id))
        out = instance_->parameter(static_cast<int>(id));
    else if (id == bypass())
        out = bypassed_ ? 1.0 : 0.0;
    else
        return false;
    return true;
}

bool eq_plugin::value_to_text(clap_id id, double value, char* display, std::uint32_t size) const {
    char text[core::display_capacity];
    if (is_control(id))
        instance_->value_display(static_cast<int>(id), clamped(value), text);
    else if (id == bypass())
        std::snprintf(text, sizeof text, "%s", clamped(value) >= 0.5f ? "On" : "Off");
    else
        return false;
    std::snprintf(display, size, "%s", text);
    return true;
}

bool eq_plugin::text_to_value(clap_id id, const char* display, double& out) const {
    float v = 0.0f;
    if (is_control(id)) {
        if (!core::value_of_text(static_cast<int>(id), display, v)) return false;
    } else if (id == bypass()) {
        // The bypass reads like any on/off control.
        if (!core::value_of_text(dsp::filters_control, display, v)) return false;
    } else {
        return false;
    }
    out = v;
    return true;
}

bool eq_plugin::save(const clap_ostream& stream) const {
    const std::vector<unsigned char> image = core::state_image(instance_->bank());
    std::size_t done = 0;
    while (done < image.size()) {
        const std::int64_t wrote = stream.write(&stream, image.data() + done, image.size() - done);
        if (wrote <= 0) return false;
        done += static_cast<std::size_t>(std::min<std::int64_t>(wrote, static_cast<std::int64_t>(image.size() - done)));
    }
    return true;
}

bool eq_plugin::load(const clap_istream& stream) {
    std::vector<unsigned char> bytes;
    core::state_contents state;
    if (!read_whole(stream, bytes) || !core::read_state_image(bytes.data(), bytes.size(), state)) return false;
    instance_->load_bank(state.bank_image, state.program);
    if (host_params_ && host_params_->rescan) host_params_->rescan(host_, param_rescan_values);
    return true;
}

void eq_plugin::queue_edit(std::uint16_t type, int index, double value) {
    edits_.push({type, static_cast<clap_id>(index), value});
    // While processing, the next block takes the edit along.
    if (!processing_.load(std::memory_order_relaxed) && host_params_ && host_params_->request_flush)
        host_params_->request_flush(host_);
}

void eq_plugin::perform_host_edit(int index, float value) { queue_edit(event_param_value, index, value); }
void eq_plugin::begin_host_edit(int index) { queue_edit(event_param_gesture_begin, index, 0.0); }
void eq_plugin::end_host_edit(int index) { queue_edit(event_param_gesture_end, index, 0.0); }

void eq_plugin::value_changed(int index, float) {
    if (editor_) editor_->parameter_changed(index);
}

}  // namespace clap
