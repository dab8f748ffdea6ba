// The editor's bitmaps, embedded in the plug-in and found by numeric id.
#pragma once

#include <cstddef>

namespace resources {

struct blob {
    const unsigned char* data = nullptr;
    std::size_t size = 0;
};

// Resource `id` + double_size_offset, where the art has it, is the same
// picture at twice the size, for editors drawn at a scale.
inline constexpr int double_size_offset = 1000;

// The bytes of resource `id` (a PNG, or for id 146 a BMP); an empty blob
// when there is no such resource.
blob find_resource(int id);

}  // namespace resources
