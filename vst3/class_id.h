// The class ID VST3 hosts derive from a VST 2.x plug-in's unique ID and
// name, so that a project saved with the VST 2.x build opens with this one:
// "VST", the unique ID's four bytes, then the first nine characters of the
// name in lower case (zeros past its end), read as four big-endian words.
// Ours never changes again.
#pragma once

#include <cstdint>

#include "core/product.h"
#include "vst3/vst3_abi.h"

namespace vst3 {

constexpr uid_words class_id_of_vst2(std::int32_t unique_id, const char* name) {
    unsigned char bytes[16] = {'V', 'S', 'T'};
    for (int i = 0; i < 4; ++i)
        bytes[3 + i] = static_cast<unsigned char>(static_cast<std::uint32_t>(unique_id) >> (24 - 8 * i));
    bool ended = false;
    for (int i = 0; i < 9; ++i) {
        const char c = ended ? '\0' : name[i];
        ended = ended || c == '\0';
        bytes[7 + i] = static_cast<unsigned char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    }
    std::uint32_t words[4] = {};
    for (int i = 0; i < 16; ++i) words[i / 4] = words[i / 4] << 8 | bytes[i];
    return {words[0], words[1], words[2], words[3]};
}

inline constexpr uid_words class_id = class_id_of_vst2(core::vst2_unique_id, core::product_name);
inline constexpr uid_words mid_side_class_id =
    class_id_of_vst2(core::mid_side_edition.vst2_unique_id, core::mid_side_edition.name);

}  // namespace vst3
