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

port_model::port_model(const ui_host& host, int sample_rate, bool mid_side)
    : host_(host),
      mid_side_(mid_side),
      sample_rate_(sample_rate),
      bands_(dsp::band_count, sample_rate > 0 ? sample_rate : assumed_sample_rate, 1) {
    for (int control = 0; control < parameter_count(); ++control)
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

void port_model::take_change(int control) {
    if (dsp::is_band_control(control))
        file_band(dsp::band_of(control));
    else if (dsp::is_placement_control(control))
        ++bands_version_;
}

dsp::placement port_model::band_placement(int band) const {
    return mid_side_ ? dsp::placement_of(parameter(dsp::placement_control(band))) : dsp::place_stereo;
}

bool port_model::measure(dsp::placement half, const double* frequencies, float* db, int count) const {
    if (fir_length_ < 4 || !std::has_single_bit(unsigned(fir_length_)) || !(parameter(dsp::filters_control) > 0))
        return false;
    measured_fir& measured = measured_[half == dsp::place_side];
    if (measured.version != bands_version_ || measured.length != fir_length_) {
        if (measured.length != fir_length_) {
            measured.magnitude = std::make_unique<dsp::fir_magnitude>(fir_length_);
            measured.fir =
                std::make_unique<dsp::channel_buffers>(1, fir_length_, "Memory allocation error in the FIR display");
        }
        const unsigned rows = dsp::rows_of_half(half, [this](int band) { return band_placement(band); });
        // As the DSP designs: with denormals off, so the taps are the same.
        const dsp::denormals_off_scope denormals_off;
        bands_.design_fir_of_rows((*measured.fir)[0], fir_length_, rows);
        measured.magnitude->measure((*measured.fir)[0]);
        measured.version = bands_version_;
        measured.length = fir_length_;
    }
    for (int i = 0; i < count; ++i) db[i] = measured.magnitude->db_at(frequencies[i]);
    return true;
}

int port_model::take_port_value(std::uint32_t port, float value) {
    if (port == latency_port) {
        // The latency is the FIR length (dsp/eq_layout.h); 0 while locked.
        fir_length_ = value >= 0.0f && value <= dsp::max_fir_length ? static_cast<int>(value) : 0;
        return -1;
    }
    int control;
    if (is_control_port(port))
        control = control_of_port(port);
    else if (mid_side_ && is_placement_port(port))
        control = dsp::placement_control(band_of_placement_port(port));
    else
        return -1;
    const float clamped = core::clamp_unit_value(control, value);
    if (clamped == port_values_[control]) return -1;
    port_values_[control] = clamped;
    take_change(control);
    return control;
}

float port_model::parameter(int index) const {
    if (index < 0 || index >= parameter_count()) return 0.0f;
    return core::normalised_of_unit_value(index, port_values_[index]);
}

void port_model::change_parameter(int index, float value) {
    if (index < 0 || index >= parameter_count()) return;
    float port_value = core::unit_value_of(index, value);
    port_values_[index] = port_value;
    take_change(index);
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
