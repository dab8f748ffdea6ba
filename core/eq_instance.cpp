#include "core/eq_instance.h"

#include <algorithm>
#include <cmath>

#include "core/error_report.h"
#include "core/product.h"
#include "dsp/denormals_off_scope.h"
#include "dsp/dsp.h"
#include "platform/message_box.h"
#include "platform/processor_probe.h"
#include "settings/fir_length_setting.h"

namespace core {

namespace {

// The rate truncated to whole hertz; one that no int holds (NaN,
// infinities, beyond 2^31) is taken as unknown, 0, like a host that has none.
int whole_hertz(float rate) { return std::fabs(rate) < 2147483648.0f ? static_cast<int>(rate) : 0; }

// A placement from a host or a chunk, NaN and values beyond either end
// included, is kept as the one it selects, within 0..1.
float placement_in_range(float v) { return v > 0.0f ? std::min(v, 1.0f) : 0.0f; }

}  // namespace

eq_instance::eq_instance(host_link& host, float sample_rate, const edition& plugin) : host_(host), edition_(plugin) {
    dsp_init_dispatch();
    // The design objects are built with denormals off; the host's own mode
    // on this thread is given back however construction ends.
    const dsp::denormals_off_scope denormals_off;

    // Errors raised later on the audio thread are queued for this thread.
    platform::start_message_delivery();
    message_owner_ = platform::foreground_root_owner();
    if (!accepted_sample_rate(sample_rate)) throw std::runtime_error("Invalid sample rate reported");
    sample_rate_hz_ = static_cast<int>(sample_rate);

    run_guarded(": Seen during constructor", delivery::modal, message_owner_, [&] {
        if (platform::probe_sse_level() < 1)
            throw std::runtime_error("SSE instruction set required (Pentium III/Athlon XP or above).");
        const program_record& first = bank_.at(0);
        engine_ = std::make_unique<dsp::linear_phase_eq>(
            first.value(dsp::gain_control), first.value(dsp::filters_control),
            [this](const std::string& text, dsp::failure_stage stage) { report_engine_failure(text, stage); },
            edition_.mid_side ? dsp::stereo_coding::mid_side : dsp::stereo_coding::left_right);
        fir_length_ = settings::usable_fir_length(settings::read_fir_length_setting());
        latency_ = dsp::latency_for(fir_length_);
        engine_->start(fir_length_, max_block);
        processing_enabled_ = true;
    });
}

void eq_instance::report_engine_failure(const std::string& text, dsp::failure_stage stage) {
    if (stage == dsp::failure_stage::start)
        report_error(text, ": Seen during constructor", delivery::modal);
    else if (text.empty())
        report_error("Unhandled exception in thread process loop, contact Ravelthorpe technical support.", "",
                     delivery::queued);
    else
        report_error(text, ": Seen during ThreadEntryPoint (main thread loop)", delivery::queued);
}

eq_instance::~eq_instance() {
    run_guarded(": Seen during destructor", delivery::modal, nullptr, [&] {
        if (engine_) engine_->stop();
    });
    // A worker that could not be woken to end may still read the engine.
    if (engine_ && engine_->must_be_leaked()) static_cast<void>(engine_.release());
}

void eq_instance::set_sample_rate(float rate) {
    run_guarded(": Seen during setSampleRate", delivery::modal, nullptr, [&] {
        sample_rate_hz_ = whole_hertz(rate);
        // The bands take the new rate before the program is filed again, so
        // that its frequencies are limited by the new rate alone and the
        // redesign it asks for uses it.
        if (engine_) engine_->set_sample_rate(sample_rate_hz_);
        if (is_processing_enabled()) set_program(program());
    });
}

void eq_instance::reset() {
    run_guarded(": Seen during resume", delivery::modal, nullptr, [&] {
        if (engine_) engine_->reset();
    });
}

void eq_instance::process(const float* const* inputs, float* const* outputs, int frames, dsp::render_mode mode) {
    const dsp::denormals_off_scope denormals_off;
    if (!is_processing_enabled()) {
        // Plain zeros: an input of NaN or infinity times 0 would not be silent.
        for (int ch = 0; ch < 2; ++ch) dsp_set(0.0f, outputs[ch], frames);
        return;
    }
    engine_->process(inputs, outputs, frames, mode);
}

void eq_instance::set_parameter(int index, float value) {
    // Any thread may call this, the audio thread included: the engine only
    // stores and wakes its worker, and errors are queued.
    run_guarded(": Seen during setParameter", delivery::queued, nullptr, [&] {
        program_record* record = bank_.refresh_current();
        if (has_control(index) && dsp::is_placement_control(index)) value = placement_in_range(value);
        if (has_control(index)) record->set_value(index, value);
        if (!engine_) return;
        if (index == dsp::gain_control)
            engine_->set_gain(value);
        else if (index == dsp::filters_control)
            engine_->set_filters(value);
        else if (dsp::is_band_control(index))
            apply_band(dsp::band_of(index));
        else if (has_control(index) && dsp::is_placement_control(index))
            engine_->set_placement(index - dsp::first_placement_control, dsp::placement_of(value));
    });
    if (engine_ && engine_->worker_lost()) enter_locked_state();
    host_.value_changed(index, value);
}

void eq_instance::apply_band(int band) {
    const program_record* record = bank_.last_refreshed();
    const int slot = dsp::band_slot_start(band);
    dsp::band_values v;
    v.on_off = record->value(slot + dsp::slot_on_off);
    v.mode = record->value(slot + dsp::slot_mode);
    v.frequency = record->value(slot + dsp::slot_frequency);
    v.gain = record->value(slot + dsp::slot_gain);
    v.q = record->value(slot + dsp::slot_q);
    engine_->set_band(band, v);
}

void eq_instance::request_redesign() {
    if (!engine_) return;
    try {
        engine_->request_redesign();
    } catch (const std::exception&) {
        enter_locked_state();
        throw;
    }
}

void eq_instance::parameter_display(int index, char (&text)[display_capacity]) const {
    const program_record* record = bank_.refresh_current();
    if (!has_control(index)) {
        text[0] = '\0';
        return;
    }
    // Without the bands (locked early in construction) a band has nothing to show.
    if (dsp::is_band_control(index) && !engine_) {
        text[0] = '\0';
        return;
    }
    const dsp::band_readout band =
        dsp::is_band_control(index) ? engine_->read_band(dsp::band_of(index)) : dsp::band_readout{};
    display_text(index, record->value(index), band, text);
}

void eq_instance::value_display(int index, float value, char (&text)[display_capacity]) const {
    if (has_control(index) && bank_.refresh_current()->value(index) == value) return parameter_display(index, text);
    if (!has_control(index) || (dsp::is_band_control(index) && !engine_)) {
        text[0] = '\0';
        return;
    }
    const dsp::band_readout band =
        dsp::is_band_control(index) ? engine_->read_band(dsp::band_of(index)) : dsp::band_readout{};
    display_text_for(index, value, band, sample_rate(), text);
}

float eq_instance::parameter(int index) const {
    const program_record* record = bank_.refresh_current();
    if (!is_processing_enabled() || !has_control(index)) return 0.0f;
    return record->value(index);
}

void eq_instance::change_parameter(int index, float value) {
    set_parameter(index, value);
    host_.perform_host_edit(index, value);
}

void eq_instance::set_program(int program, delivery how) {
    if (program < 0 || program >= program_count) return;
    bank_.select(program);
    const program_record* record = bank_.refresh_current();
    run_guarded(": Seen during setProgram", how, how == delivery::modal ? message_owner_ : nullptr, [&] {
        // Each call stores the value back unchanged, applies its band and
        // tells the editor; errors inside are reported by set_parameter.
        for (int i = 0; i < control_count(); ++i) set_parameter(i, record->value(i));
        request_redesign();
    });
}

void eq_instance::program_name(char (&out)[sizeof(program_record::program_name) + 1]) const {
    bank_.refresh_current();
    bank_.name_of(bank_.current(), out);
}

bool eq_instance::load_image(const void* image, std::size_t size, bool program_only) {
    const bool loaded = program_only ? bank_.load_program_image(image, size) : bank_.load_bank_image(image, size);
    if (loaded) set_program(program());
    return loaded;
}

void eq_instance::load_bank(const unsigned char* bank_image, int program) {
    bank_.load_bank_image(bank_image, bank_image_size);
    set_program(program);
}

dsp::band_readout eq_instance::band_readout(int band) const {
    return engine_ ? engine_->read_band(band) : dsp::band_readout{};
}

void eq_instance::band_sections(dsp::section_coefficients (&out)[dsp::band_count]) const {
    // A pass-through section: what an instance without its bands shows.
    for (dsp::section_coefficients& band : out) band = {44100.0f, {1.0f, 0.0f, 0.0f, 0.0f, 0.0f}};
    if (engine_) engine_->read_sections(out);
    if (!(out[0].sample_rate > 0.0f)) out[0].sample_rate = 44100.0f;
}

int eq_instance::stored_fir_length() const { return settings::stored_fir_length(); }

void eq_instance::store_fir_length(int length) { settings::write_fir_length_setting(length); }

int eq_instance::vendor_version() const { return core::vendor_version; }

}  // namespace core
