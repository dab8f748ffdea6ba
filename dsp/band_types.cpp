#include "dsp/band_types.h"

#include "dsp/biquad_band.h"
#include "dsp/control_units.h"
#include "dsp/eq_layout.h"

#include <iterator>

namespace dsp {

namespace {

constexpr int roles[band_count] = {biquad_band::role_low, biquad_band::role_low, biquad_band::role_peak_only,
                                   biquad_band::role_high, biquad_band::role_high};

constexpr int low_side[type_positions] = {biquad_band::peaking, biquad_band::hi_pass, biquad_band::lo_shelf};
constexpr int high_side[type_positions] = {biquad_band::peaking, biquad_band::lo_pass, biquad_band::hi_shelf};

// Indexed by type; the last row names anything else.
constexpr band_type_names names[] = {
    {"LoPass", "High Cut", "High Cut"},    {"HiPass", "Low Cut", "Low Cut"}, {"LoShelf", "L. Shelf", "Low Shelf"},
    {"HiShelf", "H. Shelf", "High Shelf"}, {"Peaking", "Peak", "Peak"},      {"Error", "Error", "Error"},
};
constexpr int type_count = static_cast<int>(std::size(names)) - 1;

}  // namespace

int role_of_band(int band) { return band >= 0 && band < band_count ? roles[band] : 0; }

int offered_type_count(int role) {
    switch (role) {
        case biquad_band::role_low:
        case biquad_band::role_high: return type_positions;
        case biquad_band::role_peak_only: return 1;
        default: return 0;
    }
}

int offered_type(int role, int position) {
    if (position < 0 || position >= offered_type_count(role)) return -1;
    return role == biquad_band::role_high ? high_side[position] : low_side[position];
}

int position_of_type(int role, int type) {
    for (int position = 0; position < offered_type_count(role); ++position)
        if (offered_type(role, position) == type) return position;
    return -1;
}

int selected_type(int role, float mode) {
    return offered_type(role, offered_type_count(role) == 1 ? 0 : type_position_of(mode));
}

bool is_cut(int type) { return type == biquad_band::lo_pass || type == biquad_band::hi_pass; }

const band_type_names& names_of_type(int type) { return names[type >= 0 && type < type_count ? type : type_count]; }

}  // namespace dsp
