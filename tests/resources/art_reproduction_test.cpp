// The committed bitmaps are exactly what the art program draws, so the art
// can always be rebuilt from source.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sys/wait.h>

#include "bitmap_files.h"

namespace tessvane_test {
namespace {

// The art program's exit status when fontconfig has no Liberation Sans.
constexpr int font_missing_status = 2;

TEST(ArtProgram, RedrawsTheCommittedFilesByteForByte) {
    std::string pattern = (std::filesystem::temp_directory_path() / "tessvane-art-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    const std::filesystem::path folder = pattern;
    const std::string command = std::string("'") + TESSVANE_ART_PROGRAM + "' '" + folder.string() + "'";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == font_missing_status) {
        std::filesystem::remove_all(folder);
        GTEST_SKIP() << "Liberation Sans is not installed (fonts-liberation2); cannot redraw the art";
    }
    ASSERT_EQ(WEXITSTATUS(status), 0);
    for (const expected_bitmap& b : editor_bitmaps) {
        SCOPED_TRACE(file_name(b));
        const std::vector<std::uint8_t> drawn = read_bytes(folder / file_name(b));
        const std::vector<std::uint8_t> committed = read_bytes(bitmaps_dir() / file_name(b));
        EXPECT_TRUE(drawn == committed) << "drawn " << drawn.size() << " bytes, committed " << committed.size()
                                        << "; run the regenerate-art target";
    }
    std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace tessvane_test
