// The table of embedded files that the build generates from resources/bitmaps.
#pragma once

#include <cstddef>

namespace resources {

struct embedded_file {
    int id;
    const unsigned char* data;
    std::size_t size;
};

extern const embedded_file embedded_files[];
extern const std::size_t embedded_file_count;

}  // namespace resources
