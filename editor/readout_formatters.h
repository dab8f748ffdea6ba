// The read-outs' string conversions: each writes a NUL-terminated text for a
// value into a buffer of VSTGUI::CParamDisplay::kTextBufferSize bytes.
#pragma once

namespace readout {

// Hz below 1000 ("%.0f Hz"), kHz from 1000 on ("%.1f kHz").
void frequency_text(float hz, char* text);
// "%.1f dB".
void gain_text(float db, char* text);
// "Q = %.1f".
void q_text(float q, char* text);
// A linear gain (twice the "Gain" parameter) in dB; "-oo dB" at or below 0.001.
void master_gain_text(float linear_gain, char* text);

}  // namespace readout
