// find_resource hands out exactly the committed files under their ids.
#include <gtest/gtest.h>

#include "bitmap_files.h"
#include "resources/resource_table.h"

namespace tessvane_test {
namespace {

TEST(EmbeddedResources, EveryCommittedFileIsFoundUnderItsIdByteForByte) {
    for (const expected_bitmap& b : editor_bitmaps) {
        SCOPED_TRACE(file_name(b));
        const std::vector<std::uint8_t> file = read_bytes(bitmaps_dir() / file_name(b));
        const resources::blob blob = resources::find_resource(b.id);
        ASSERT_EQ(blob.size, file.size());
        EXPECT_TRUE(std::equal(file.begin(), file.end(), blob.data));
    }
}

TEST(EmbeddedResources, IdsWithoutABitmapGiveAnEmptyBlob) {
    for (int id : {-1, 0, 1, 129, 132, 152, 1000, 1132, 1152}) {
        SCOPED_TRACE(id);
        const resources::blob blob = resources::find_resource(id);
        EXPECT_EQ(blob.data, nullptr);
        EXPECT_EQ(blob.size, 0u);
    }
}

}  // namespace
}  // namespace tessvane_test
