#include "host_test_support.h"
#include "png_image.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

namespace tessvane::host::testing {
namespace {

using ::testing::HasSubstr;

// The number in "peak <dB> dB at". Not std::regex: GCC 12 warns inside it
// under the sanitizers.
double printed_peak_db(const std::string& out) {
    const std::size_t at = out.find("peak ");
    double db = NAN;
    char unit[3] = {};
    if (at == std::string::npos || std::sscanf(out.c_str() + at, "peak %lf %2s at", &db, unit) != 2 ||
        std::string(unit) != "dB")
        return NAN;
    return db;
}

TEST(HostResponse, ShowsAFlatResponseAtTheRequestedSize) {
    const temp_folder folder;
    const std::string plot = folder.file("flat.png");
    const host_run run = run_host({"response", DELAY_TEST_PLUGIN, plot, "--size", "640x360", "--probe-wait"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NEAR(printed_peak_db(run.out), 0.0, 0.01) << run.out;
    EXPECT_THAT(run.out, HasSubstr("magnitude at 1000 Hz: +0.00 dB"));
    EXPECT_THAT(run.out, HasSubstr("latency 37 samples"));
    const picture header = png_header(plot);
    EXPECT_EQ(header.width, 640);
    EXPECT_EQ(header.height, 360);
}

TEST(HostResponse, MeasuresTheGainThatTheParametersSet) {
    // Gain 0.25 halves the signal: -6.02 dB everywhere.
    const temp_folder folder;
    const host_run run =
        run_host({"response", DELAY_TEST_PLUGIN, folder.file("half.png"), "--param", "gain=0.25", "--probe-wait"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NEAR(printed_peak_db(run.out), 20.0 * std::log10(0.5), 0.01) << run.out;
}

TEST(HostResponse, FailsClearlyOnAnOutputItCannotWriteOrABadSize) {
    const temp_folder folder;
    const host_run missing_folder = run_host({"response", DELAY_TEST_PLUGIN, folder.file("no/such/plot.png")});
    EXPECT_NE(missing_folder.status, 0);
    EXPECT_THAT(missing_folder.err, HasSubstr("cannot write"));

    const host_run folder_as_file = run_host({"response", DELAY_TEST_PLUGIN, folder.file("")});
    EXPECT_NE(folder_as_file.status, 0);
    EXPECT_THAT(folder_as_file.err, HasSubstr("cannot write"));

    const host_run bad_size = run_host({"response", DELAY_TEST_PLUGIN, folder.file("p.png"), "--size", "640by360"});
    EXPECT_EQ(bad_size.status, 2);
    EXPECT_THAT(bad_size.err, HasSubstr("--size"));
}

}  // namespace
}  // namespace tessvane::host::testing
