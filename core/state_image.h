// The state the VST3 and CLAP builds save: a short versioned header, the
// bank image that VST 2.x saves as its chunk, and the current program. One
// layout for every format, so that a state moves between them.
//
// Layout, little-endian: "TvLE", uint32 version (1), uint32 bank image size
// (25536), the bank image, int32 current program (0 to 47).
#pragma once

#include <cstddef>
#include <vector>

#include "core/program_bank.h"

namespace core {

inline constexpr std::size_t state_header_size = 12;
inline constexpr std::size_t state_image_size = state_header_size + bank_image_size + 4;

std::vector<unsigned char> state_image(const program_bank& bank);

// The bank image and program inside a state; false for anything that is not
// exactly one whole state of this version.
struct state_contents {
    const unsigned char* bank_image = nullptr;
    int program = 0;
};
bool read_state_image(const unsigned char* data, std::size_t size, state_contents& out);

}  // namespace core
