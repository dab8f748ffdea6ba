// Which filter types each band's selector offers, by position, and what the
// types are called: the engine, the editor and every host read this table.
#pragma once

namespace dsp {

// A band's role (biquad_band::role_...) in the five-band layout: bands 1-2
// take the lows, band 3 only peaks, bands 4-5 take the highs.
int role_of_band(int band);

// How many types a band of the role offers (0 for no role), and the type at
// a position of its selector: the peak first, then the cut and the shelf of
// the band's side of the spectrum; -1 where there is none.
int offered_type_count(int role);
int offered_type(int role, int position);
// The position of a type on the role's selector, -1 when it offers none.
int position_of_type(int role, int type);
// The type a mode value selects (dsp/control_units.h); -1 for a value that
// leaves the type as it was. A selector of one type has it for any value.
int selected_type(int role, float mode);

// A cut has no gain: it passes one side and cuts the other.
bool is_cut(int type);

struct band_type_names {
    const char* host;    // the parameter's display: "LoPass" ... "Peaking"
    const char* editor;  // the editor's label: "High Cut" ... "L. Shelf" ... "Peak"
    const char* choice;  // a host's list of choices: "High Cut" ... "Low Shelf" ... "Peak"
};
// "Error" in each for a number that is no type.
const band_type_names& names_of_type(int type);

}  // namespace dsp
