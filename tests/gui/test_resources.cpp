#include "test_resources.h"

#include <map>

#include "resources/resource_table.h"

namespace gui_test {
namespace {
std::map<int, std::vector<unsigned char>>& table() {
    static std::map<int, std::vector<unsigned char>> t;
    return t;
}
}  // namespace

void set_resource(int id, std::vector<unsigned char> bytes) { table()[id] = std::move(bytes); }
void clear_resources() { table().clear(); }

}  // namespace gui_test

namespace resources {

blob find_resource(int id) {
    auto found = gui_test::table().find(id);
    if (found == gui_test::table().end()) return {};
    return {found->second.data(), found->second.size()};
}

}  // namespace resources
