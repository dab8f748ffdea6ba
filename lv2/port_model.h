// The editor's model in the LV2 UI, made of port values alone: the UI may
// run in another process than the DSP, so it keeps the controls as the host
// reports them, designs its own bands from them with the engine's band code
// (the read-outs and the response curves: the M/S plug-in's mid and side FIRs
// are designed as its DSP designs them), takes the FIR length in use from
// the latency port, and sends the editor's changes to the host's write
// function, with touch around each gesture where the host offers it. All on
// the host's UI thread.
#pragma once

#include <lv2/ui/ui.h>

#include <cstdint>
#include <memory>

#include "dsp/channel_buffers.h"
#include "dsp/fir_cascaded_biquad.h"
#include "dsp/fir_magnitude.h"
#include "editor/eq_model.h"
#include "lv2/port_table.h"

namespace lv2plugin {

class analyser_feed;

struct ui_host {
    LV2UI_Write_Function write = nullptr;
    LV2UI_Controller controller = nullptr;
    const LV2UI_Touch* touch = nullptr;  // null when the host offers none
};

class port_model : public editor::eq_model {
public:
    // sample_rate 0: the host has not said (the bands then assume 44100 Hz).
    // The M/S plug-in's model has the placements' controls too.
    port_model(const ui_host& host, int sample_rate, bool mid_side);

    // A value the host reports for a port: the control it changed, or -1
    // (another port, or no change).
    int take_port_value(std::uint32_t port, float value);

    int parameter_count() const override { return mid_side_ ? dsp::mid_side_control_count : dsp::control_count; }
    float parameter(int index) const override;
    void change_parameter(int index, float value) override;
    void begin_edit(int index) override;
    void end_edit(int index) override;
    dsp::band_readout band_readout(int band) const override { return bands_.read_band(band); }
    void band_sections(dsp::section_coefficients (&out)[dsp::band_count]) const override {
        bands_.read_sections(out, dsp::band_count);
    }
    // The FIR in use, designed here as the DSP designs it (the design is
    // deterministic) once the bands or the length have changed; the M/S
    // plug-in's mid FIR, and its side FIR below.
    bool fir_response_db(const double* frequencies, float* db, int count) const override {
        return measure(dsp::place_mid, frequencies, db, count);
    }
    dsp::placement band_placement(int band) const override;
    bool side_fir_response_db(const double* frequencies, float* db, int count) const override {
        return mid_side_ && measure(dsp::place_side, frequencies, db, count);
    }
    // The redesign worker lives with the DSP, out of the UI's sight.
    bool redesign_busy() const override { return false; }
    int redesign_passes() const override { return 0; }
    int fir_length_in_use() const override { return fir_length_; }
    int stored_fir_length() const override;
    void store_fir_length(int length) override;
    int sample_rate() const override { return sample_rate_; }
    int vendor_version() const override;
    void host_idle() override {}
    // The DSP's samples for the analyser, when the host maps URIDs.
    void set_analyser_feed(analyser_feed* feed) { analyser_feed_ = feed; }
    void want_analyser_samples(bool wanted) override;
    int take_analyser_samples(float* output, float* input, int max) override;

private:
    void file_band(int band);
    // A control's new value into the bands and curves.
    void take_change(int control);
    // The FIR of the bands working on `half` (every band on the stereo plug-in).
    bool measure(dsp::placement half, const double* frequencies, float* db, int count) const;

    // The last FIR designed for one half's curve, and what it was designed from.
    struct measured_fir {
        std::unique_ptr<dsp::fir_magnitude> magnitude;
        std::unique_ptr<dsp::channel_buffers> fir;
        int version = -1;
        int length = 0;
    };

    ui_host host_;
    bool mid_side_;
    analyser_feed* analyser_feed_ = nullptr;
    int sample_rate_;
    int fir_length_ = 0;
    float port_values_[dsp::mid_side_control_count];  // clamped
    mutable dsp::fir_cascaded_biquad bands_;
    int bands_version_ = 0;             // counts changes of the bands and their placements
    mutable measured_fir measured_[2];  // mid (or the whole), side
};

}  // namespace lv2plugin
