// The editor's bitmaps, embedded in the plug-in and found by numeric id.
#pragma once

#include <cstddef>

namespace resources {

struct blob {
    const unsigned char* data = nullptr;
    std::size_t size = 0;
};

// The bytes of resource `id` (a PNG, or for id 146 a BMP); an empty blob
// when there is no such resource.
blob find_resource(int id);

}  // namespace resources
