// A VST 2.x bank that a host hands to setState when it puts this build in
// place of the VST 2.x one: optionally a "VstW" header (its size, version
// and the bypass state), then the bank file's "CcnK" header with an opaque
// chunk ("FBCh"), all numbers big-endian, and the chunk itself: the bank
// image the VST 2.x build saved.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vst3 {

struct vst2_bank {
    const unsigned char* bank_image = nullptr;  // bank_image_size bytes
    int program = 0;
    bool bypassed = false;
};

// False unless the data is exactly one such bank of the plug-in with that
// unique ID (a whole bank image, a program in range).
bool read_vst2_bank(const unsigned char* data, std::size_t size, std::int32_t unique_id, vst2_bank& out);

}  // namespace vst3
