#include "resources/embedded_files.h"
#include "resources/resource_table.h"

namespace resources {

blob find_resource(int id) {
    for (std::size_t i = 0; i < embedded_file_count; ++i) {
        if (embedded_files[i].id == id) return {embedded_files[i].data, embedded_files[i].size};
    }
    return {};
}

}  // namespace resources
