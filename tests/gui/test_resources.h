// The test double of the resource table: tests register bytes per id.
#pragma once

#include <vector>

namespace gui_test {

void set_resource(int id, std::vector<unsigned char> bytes);
void clear_resources();

}  // namespace gui_test
