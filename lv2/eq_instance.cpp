#include "lv2/eq_instance.h"

#include <algorithm>
#include <bit>
#include <exception>

#include "core/block_split.h"
#include "core/control_table.h"
#include "core/error_report.h"
#include "dsp/denormals_off_scope.h"
#include "dsp/dsp.h"
#include "settings/fir_length_setting.h"

namespace lv2plugin {

namespace {

// Hosts may run any number of samples; the engine takes them in blocks of
// at most this many.
constexpr int engine_block = 8192;

void show_error(const std::string& text, bool from_audio_thread) {
    core::report_error(text, "", from_audio_thread ? core::delivery::queued : core::delivery::modal);
}

}  // namespace

std::unique_ptr<eq_instance> eq_instance::create(double sample_rate, const LV2_Feature* const* features,
                                                 bool mid_side) {
    if (!(sample_rate >= 1.0 && sample_rate < 2147483648.0)) return nullptr;
    return std::unique_ptr<eq_instance>(new eq_instance(static_cast<int>(sample_rate), features, mid_side));
}

eq_instance::eq_instance(int sample_rate, const LV2_Feature* const* features, bool mid_side)
    : analyser_(features), mid_side_(mid_side) {
    dsp_init_dispatch();
    // The design objects are built with denormals off; the host's mode on
    // this thread comes back however construction ends.
    const dsp::denormals_off_scope denormals_off;
    // Errors raised later on the audio thread are queued for this thread.
    platform::start_message_delivery();
    try {
        engine_ = std::make_unique<dsp::linear_phase_eq>(
            dsp::default_control_values[dsp::gain_control], dsp::default_control_values[dsp::filters_control],
            [](const std::string& text, dsp::failure_stage stage) {
                if (stage == dsp::failure_stage::start)
                    show_error(text + ": Seen during instantiate", false);
                else
                    show_error((text.empty() ? "Unhandled exception" : text) + ": Seen during the redesign worker",
                               true);
            },
            mid_side ? dsp::stereo_coding::mid_side : dsp::stereo_coding::left_right);
        // The bands take the rate before their values, so that the rate
        // alone limits their frequencies, as in the VST 2.x build.
        engine_->set_sample_rate(sample_rate);
        for (int control = 0; control < control_port_count; ++control)
            apply_control(control, core::range_of(control).default_value);
        start_engine();
    } catch (const std::exception& e) {
        show_error(platform::with_suffix(e.what(), ": Seen during instantiate"), false);
    }
}

eq_instance::~eq_instance() {
    try {
        if (engine_) engine_->stop();
    } catch (const std::exception& e) {
        show_error(e.what() + std::string(": Seen during cleanup"), false);
    }
    // A worker that could not be woken to end may still read the engine.
    if (engine_ && engine_->must_be_leaked()) static_cast<void>(engine_.release());
}

void eq_instance::start_engine() {
    // Throws, and so leaves the instance locked, when no setting can be read.
    const int fir_length = settings::usable_fir_length(settings::read_fir_length_setting());
    engine_->start(fir_length, engine_block);
    latency_ = dsp::latency_for(fir_length);
    processing_enabled_ = true;
}

void eq_instance::connect(std::uint32_t port, void* data) {
    if (port == in_left_port || port == in_right_port)
        audio_in_[port - in_left_port] = static_cast<const float*>(data);
    else if (port == out_left_port || port == out_right_port)
        audio_out_[port - out_left_port] = static_cast<float*>(data);
    else if (is_control_port(port))
        controls_[control_of_port(port)] = static_cast<const float*>(data);
    else if (is_placement_port(port) && mid_side_)
        placements_[band_of_placement_port(port)] = static_cast<const float*>(data);
    else if (port == freewheel_port)
        freewheel_ = static_cast<const float*>(data);
    else if (port == analyser_request_port)
        analyser_.connect_request(static_cast<const LV2_Atom_Sequence*>(data));
    else if (port == analyser_port_index)
        analyser_.connect_notify(static_cast<LV2_Atom_Sequence*>(data));
    else if (port == latency_port) {
        latency_out_ = static_cast<float*>(data);
        // Some hosts read the latency before the first run.
        if (latency_out_) *latency_out_ = static_cast<float>(latency_);
    }
}

void eq_instance::apply_control(int control, float port_value) {
    normalised_[control] = core::normalised_of_unit_value(control, core::clamp_unit_value(control, port_value));
    taken_bits_[control] = std::bit_cast<std::uint32_t>(port_value);
    if (control == dsp::gain_control) {
        engine_->set_gain(normalised_[control]);
    } else if (control == dsp::filters_control) {
        engine_->set_filters(normalised_[control]);
    } else {
        const int start = dsp::band_slot_start(dsp::band_of(control));
        engine_->set_band(dsp::band_of(control),
                          {normalised_[start + dsp::slot_on_off], normalised_[start + dsp::slot_frequency],
                           normalised_[start + dsp::slot_gain], normalised_[start + dsp::slot_q],
                           normalised_[start + dsp::slot_mode]});
    }
}

void eq_instance::take_control_ports() {
    for (int control = 0; control < control_port_count; ++control) {
        if (!controls_[control]) continue;
        const float value = *controls_[control];
        if (std::bit_cast<std::uint32_t>(value) != taken_bits_[control]) apply_control(control, value);
    }
    for (int band = 0; band < dsp::band_count; ++band) {
        if (!placements_[band]) continue;
        const int control = dsp::placement_control(band);
        const dsp::placement where = dsp::placement_of(
            core::normalised_of_unit_value(control, core::clamp_unit_value(control, *placements_[band])));
        if (where == placed_[band]) continue;
        placed_[band] = where;
        engine_->set_placement(band, where);
    }
}

void eq_instance::activate() {
    if (!processing_enabled_) return;
    try {
        take_control_ports();
        engine_->reset();
    } catch (const std::exception& e) {
        show_error(e.what() + std::string(": Seen during activate"), false);
    }
    if (engine_->worker_lost()) processing_enabled_ = false;
}

void eq_instance::run(std::uint32_t samples) {
    if (latency_out_) *latency_out_ = static_cast<float>(latency_);
    // What earlier runs handed to the analyser goes to the UI.
    if (engine_) analyser_.run(engine_->analyser());
    // Hosts must connect every audio port; one that does not gets nothing.
    if (!audio_in_[0] || !audio_in_[1] || !audio_out_[0] || !audio_out_[1]) return;
    const dsp::denormals_off_scope denormals_off;
    if (processing_enabled_) {
        try {
            take_control_ports();
        } catch (const std::exception& e) {
            show_error(e.what() + std::string(": Seen during run"), true);
        }
        if (engine_->worker_lost()) processing_enabled_ = false;
    }
    const int count = static_cast<int>(std::min<std::uint32_t>(samples, 1u << 30));
    if (!processing_enabled_) {
        // Plain zeros: an input of NaN or infinity times 0 would not be silent.
        for (float* out : audio_out_) dsp_set(0.0f, out, count);
        return;
    }
    const dsp::render_mode mode =
        freewheel_ && *freewheel_ > 0.0f ? dsp::render_mode::offline : dsp::render_mode::real_time;
    core::for_each_block(count, engine_block, [&](int done, int n) {
        const float* in[2] = {audio_in_[0] + done, audio_in_[1] + done};
        float* out[2] = {audio_out_[0] + done, audio_out_[1] + done};
        engine_->process(in, out, n, mode);
    });
}

}  // namespace lv2plugin
