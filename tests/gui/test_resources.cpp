#include "test_resources.h"

#include <map>

#include "gui/bitmap.h"

namespace gui_test {
namespace {
std::map<int, std::vector<unsigned char>>& table() {
    static std::map<int, std::vector<unsigned char>> t;
    return t;
}

resources::blob find_test_resource(int id) {
    auto found = table().find(id);
    if (found == table().end()) return {};
    return {found->second.data(), found->second.size()};
}
}  // namespace

void set_resource(int id, std::vector<unsigned char> bytes) {
    VSTGUI::set_resource_lookup(find_test_resource);
    table()[id] = std::move(bytes);
}
void clear_resources() { table().clear(); }

}  // namespace gui_test
