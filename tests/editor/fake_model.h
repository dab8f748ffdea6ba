// The editor's model without a plug-in: values a test sets, bands from the
// real band code, a FIR length and rate of the test's choosing, the
// per-user FIR-length setting through the settings store, and a log of what
// the editor asked the host to do.
#pragma once

#include <vector>

#include "dsp/eq_layout.h"
#include "dsp/fir_cascaded_biquad.h"
#include "editor/eq_model.h"
#include "gui/bitmap.h"
#include "resources/resource_table.h"
#include "settings/fir_length_setting.h"

class fake_model : public editor::eq_model {
public:
    fake_model() { VSTGUI::set_resource_lookup(resources::find_resource); }

    // The band's five values, as the plug-in files them.
    void set_band(int band, const dsp::band_values& values) {
        const int slot = dsp::band_slot_start(band);
        values_[slot + dsp::slot_on_off] = values.on_off;
        values_[slot + dsp::slot_mode] = values.mode;
        values_[slot + dsp::slot_frequency] = values.frequency;
        values_[slot + dsp::slot_gain] = values.gain;
        values_[slot + dsp::slot_q] = values.q;
        bands_.apply_band(band, values);
    }

    float parameter(int index) const override { return values_[index]; }
    void change_parameter(int index, float value) override {
        values_[index] = value;
        changes.push_back(index);
    }
    void begin_edit(int) override {}
    void end_edit(int) override {}
    dsp::band_readout band_readout(int band) const override { return bands_.read_band(band); }
    void band_sections(dsp::section_coefficients (&out)[dsp::band_count]) const override {
        bands_.read_sections(out, dsp::band_count);
    }
    bool fir_response_db(const double* frequencies, float* db, int count) const override {
        if (!fir_db) return false;
        for (int i = 0; i < count; ++i) db[i] = fir_db(frequencies[i]);
        return true;
    }
    dsp::placement band_placement(int band) const override { return placements[band]; }
    bool redesign_busy() const override { return busy; }
    int redesign_passes() const override { return passes; }
    int fir_length_in_use() const override { return fir_length; }
    int stored_fir_length() const override { return settings::stored_fir_length(); }
    void store_fir_length(int length) override { settings::write_fir_length_setting(length); }
    int sample_rate() const override { return rate; }
    int vendor_version() const override { return 1004; }
    void host_idle() override {}

    int fir_length = 8192;
    int rate = 44100;
    bool busy = false;
    int passes = 0;
    float (*fir_db)(double frequency) = nullptr;  // the FIR in use, when set
    std::vector<int> changes;                     // indices the editor changed, in order
    dsp::placement placements[dsp::band_count] = {};

private:
    float values_[dsp::control_count] = {};
    dsp::fir_cascaded_biquad bands_{dsp::band_count, 44100, 1};
};
