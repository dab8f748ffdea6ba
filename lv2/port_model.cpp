#include "lv2/port_model.h"

#include "core/control_table.h"
#include "core/product.h"
#include "lv2/analyser_feed.h"

#include <bit>

#include "dsp/denormals_off_scope.h"
#include "lv2/port_table.h"
#include "settings/fir_length_setting.h"

namespace lv2plugin {

namespace {

constexpr int assumed_sample_rate = 44100;

}  // namespace

port_model::port_model(const ui_host& host, int sample_rate)
    : host_(host),
      sample_rate_(sample_rate),
      bands_(dsp::band_count, sample_rate > 0 ? sample_rate : assumed_sample_rate, 1) {
    for (int control = 0; control < control_port_count; ++control)
        port_values_[control] = core::range_of(control).default_value;
    for (int band = 0; band < dsp::band_count; ++band) file_band(band);
}

void port_model::file_band(int band) {
    const int start = dsp::band_slot_start(band);
    const auto normalised = [&](int slot) { return parameter(start + slot); };
    bands_.apply_band(band, {normalised(dsp::slot_on_off), normalised(dsp::slot_frequency), normalised(dsp::slot_gain),
                             normalised(dsp::slot_q), normalised(dsp::slot_mode)});
    ++bands_version_;
}

bool port_model::fir_response_db(const double* frequencies, float* db, int count) const {
    if (fir_length_ < 4 || !std::has_single_bit(unsigned(fir_length_)) || !(parameter(dsp::filters_control) > 0))
        return false;
    if (measured_version_ != bands_version_ || measured_length_ != fir_length_) {
        if (measured_length_ != fir_length_) {
            magnitude_ = std::make_unique<dsp::fir_magnitude>(fir_length_);
            fir_ = std::make_unique<dsp::channel_buffers>(1, fir_length_, "Memory allocation error in the FIR display");
        }
        // As the DSP designs: with denormals off, so the taps are the same.
        const dsp::denormals_off_scope denormals_off;
        bands_.design_fir(fir_->data(), fir_length_);
        magnitude_->measure((*fir_)[0]);
        measured_version_ = bands_version_;
        measured_length_ = fir_length_;
    }
    for (int i = 0; i < count; ++i) db[i] = magnitude_->db_at(frequencies[i]);
    return true;
}

int port_model::take_port_value(std::uint32_t port, float value) {
    if (port == latency_port) {
        // The latency is the FIR length (dsp/eq_layout.h); 0 while locked.
        fir_length_ = value >= 0.0f && value <= dsp::max_fir_length ? static_cast<int>(value) : 0;
        return -1;
    }
    if (!is_control_port(port)) return -1;
    const int control = control_of_port(port);
    const float clamped = core::clamp_unit_value(control, value);
    if (clamped == port_values_[control]) return -1;
    port_values_[control] = clamped;
    if (dsp::is_band_control(control)) file_band(dsp::band_of(control));
    return control;
}

float port_model::parameter(int index) const {
    if (index < 0 || index >= control_port_count) return 0.0f;
    return core::normalised_of_unit_value(index, port_values_[index]);
}

void port_model::change_parameter(int index, float value) {
    if (index < 0 || index >= control_port_count) return;
    float port_value = core::unit_value_of(index, value);
    port_values_[index] = port_value;
    if (dsp::is_band_control(index)) file_band(dsp::band_of(index));
    host_.write(host_.controller, port_of_control(index), sizeof port_value, 0, &port_value);
}

void port_model::begin_edit(int index) {
    if (host_.touch) host_.touch->touch(host_.touch->handle, port_of_control(index), true);
}

void port_model::end_edit(int index) {
    if (host_.touch) host_.touch->touch(host_.touch->handle, port_of_control(index), false);
}

int port_model::stored_fir_length() const { return settings::stored_fir_length(); }

void port_model::store_fir_length(int length) { settings::write_fir_length_setting(length); }

int port_model::vendor_version() const { return core::vendor_version; }

void port_model::want_analyser_samples(bool wanted) {
    if (analyser_feed_) analyser_feed_->want(wanted);
}

int port_model::take_analyser_samples(float* output, float* input, int max) {
    return analyser_feed_ ? analyser_feed_->take(output, input, max) : 0;
}

}  // namespace lv2plugin
