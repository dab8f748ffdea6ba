// What the editor shows and changes, as one small interface: the plug-in
// implements it, the editor, the response view and the about view take it,
// and the editor's tests fake it. Every call comes from the editor's thread
// (the host's user-interface thread).
#pragma once

#include "dsp/eq_layout.h"
#include "dsp/fir_cascaded_biquad.h"

namespace editor {

class eq_model {
public:
    virtual ~eq_model() = default;

    // How many controls the plug-in has: the 27, or those and the M/S
    // plug-in's placements.
    virtual int parameter_count() const { return dsp::control_count; }
    // A control's normalised value, by its index in dsp/eq_layout.h.
    virtual float parameter(int index) const = 0;
    // A user's change: applied, and reported to the host as automation.
    virtual void change_parameter(int index, float value) = 0;
    // Around every gesture on a control, so the host can group automation.
    virtual void begin_edit(int index) = 0;
    virtual void end_edit(int index) = 0;

    // A band's physical settings, after its limits.
    virtual dsp::band_readout band_readout(int band) const = 0;
    // The bands' sections as the design uses them, for the response curve
    // while a redesign is pending.
    virtual void band_sections(dsp::section_coefficients (&out)[dsp::band_count]) const = 0;
    // The magnitude in dB of the FIR in use at each frequency (cycles per
    // sample); false while there is none to show (a redesign pending, the
    // filters off): the curve is then the sections'.
    virtual bool fir_response_db(const double* frequencies, float* db, int count) const = 0;
    // The M/S plug-in's: where a band works, and the side FIR's magnitude as
    // fir_response_db gives the mid's (false where there is none).
    virtual dsp::placement band_placement(int) const { return dsp::place_stereo; }
    virtual bool side_fir_response_db(const double*, float*, int) const { return false; }
    // The redesign worker: busy from its wake-up to the end of each pass,
    // and the count of passes it has finished.
    virtual bool redesign_busy() const = 0;
    virtual int redesign_passes() const = 0;

    // The FIR length this instance runs, 0 when it has none.
    virtual int fir_length_in_use() const = 0;
    // The per-user setting for instances created from now on: -1 when it
    // cannot be read; storing throws std::exception with the message to show.
    virtual int stored_fir_length() const = 0;
    virtual void store_fir_length(int length) = 0;

    // Whole hertz, 0 when the host has not said.
    virtual int sample_rate() const = 0;
    // 1004 for version 1.004.
    virtual int vendor_version() const = 0;
    // The editor's idle step, every 100 ms, lets the host do its own.
    virtual void host_idle() = 0;

    // The spectrum analyser's feed (dsp/analyser_ring.h): the audio hands
    // over its samples only while an analyser wants them. take gives up to
    // max frames of the output's and the input's channel means, oldest
    // first, and answers how many. A model without a feed gives none.
    virtual void want_analyser_samples(bool) {}
    virtual int take_analyser_samples(float* /*output*/, float* /*input*/, int /*max*/) { return 0; }
};

}  // namespace editor
