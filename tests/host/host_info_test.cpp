#include "host_test_support.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <sstream>

namespace tessvane::host::testing {
namespace {

using ::testing::HasSubstr;

TEST(HostHelp, TheManPageListsEveryOptionOfEveryCommandAndTheVersionIsPrinted) {
    std::ostringstream man;
    man << std::ifstream(MAN_PAGE).rdbuf();
    const std::regex option("--[a-z-]+");
    for (const char* command : {"info", "render", "bench", "response", "gui"}) {
        const std::string help = run_host({command, "--help"}).out;
        for (std::sregex_iterator it(help.begin(), help.end(), option), end; it != end; ++it) {
            const std::string in_man = std::regex_replace(it->str(), std::regex("-"), "\\-");
            EXPECT_NE(man.str().find(in_man), std::string::npos) << command << " " << it->str();
        }
    }
    const host_run version = run_host({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "tessvane-host " TESSVANE_VERSION "\n");
}

TEST(HostInfo, DescribesAThirdPartyEqualiserWithNameStereoIoAndParameters) {
    // Its libraries keep what their static initialisers allocated, which a
    // leak-checking build of the host would count as ours.
    const auto run = run_host({"info", "/usr/lib/vst/lsp-plugins/para-equalizer-x16-stereo.so"},
                              "ASAN_OPTIONS=\"$ASAN_OPTIONS:detect_leaks=0\"");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_THAT(run.out, ::testing::ContainsRegex("name: +[^ \n]+"));
    EXPECT_THAT(run.out, ::testing::ContainsRegex("inputs: +2\n"));
    EXPECT_THAT(run.out, ::testing::ContainsRegex("outputs: +2\n"));
    EXPECT_THAT(run.out, ::testing::ContainsRegex("parameters: +[1-9][0-9]*\n"));
    EXPECT_THAT(run.out, ::testing::ContainsRegex("\n +0  [^ ]+ +value "));
}

TEST(HostInfo, PrintsIdentityFlagsLatencyEveryParameterAndProgram) {
    const auto run = run_host({"info", DELAY_TEST_PLUGIN});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_THAT(run.out, HasSubstr("name:           Tessvane Test Delay\n"));
    EXPECT_THAT(run.out, HasSubstr("vendor:         Tessvane Tests\n"));
    EXPECT_THAT(run.out, HasSubstr("vendor version: 7\n"));
    EXPECT_THAT(run.out, HasSubstr("unique id:      'TvDl' (0x5476446c)\n"));
    EXPECT_THAT(run.out, HasSubstr("flags:          0x30 replacing chunks\n"));
    EXPECT_THAT(run.out, HasSubstr("initial delay:  37 samples\n"));
    EXPECT_THAT(run.out, ::testing::ContainsRegex("\n +0  Gain +value 0.5 +display 1.000 x\n"));
    EXPECT_THAT(run.out, ::testing::ContainsRegex("programs: +1\n +0  Default\n"));
}

TEST(HostInfo, EndsATextThatFillsTheWholeBufferWithoutATerminator) {
    // The test plug-in writes 256 characters and no zero as its product.
    const auto run = run_host({"info", DELAY_TEST_PLUGIN});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_THAT(run.out, HasSubstr("product:        " + std::string(256, 'p') + "\n"));
}

struct unloadable_case {
    const char* path;
    const char* message;
};

class HostInfoRefuses : public ::testing::TestWithParam<unloadable_case> {};

TEST_P(HostInfoRefuses, AFileThatIsNoPluginWithAClearMessageAndFailureStatus) {
    const auto run = run_host({"info", GetParam().path});
    EXPECT_EQ(run.status, 1);
    EXPECT_THAT(run.err, HasSubstr(GetParam().message));
    EXPECT_TRUE(run.out.empty());
}

INSTANTIATE_TEST_SUITE_P(
    UnloadableFiles, HostInfoRefuses,
    ::testing::Values(unloadable_case{"/nonexistent/plugin.so", "cannot load /nonexistent/plugin.so"},
                      unloadable_case{"/bin/true", "cannot load /bin/true"},
                      unloadable_case{TEXT_FILE_NOT_A_PLUGIN, "cannot load"},
                      unloadable_case{NO_ENTRY_TEST_PLUGIN, "exports neither VSTPluginMain nor main"},
                      unloadable_case{NULL_ENTRY_TEST_PLUGIN, "entry point returned no effect"},
                      unloadable_case{BAD_MAGIC_TEST_PLUGIN, "wrong magic number"},
                      unloadable_case{BAD_CHANNELS_TEST_PLUGIN, "claims -2 inputs and 2 outputs"}));

TEST(HostCommandLine, RejectsUnknownCommandsOptionsAndMissingArgumentsWithUsageStatus) {
    EXPECT_EQ(run_host({}).status, 2);
    EXPECT_THAT(run_host({"frobnicate"}).err, HasSubstr("unknown command 'frobnicate'"));
    const auto unknown_option = run_host({"info", DELAY_TEST_PLUGIN, "--colour"});
    EXPECT_EQ(unknown_option.status, 2);
    EXPECT_THAT(unknown_option.err, HasSubstr("unknown option --colour"));
    const auto missing_value = run_host({"info", DELAY_TEST_PLUGIN, "--block"});
    EXPECT_EQ(missing_value.status, 2);
    EXPECT_THAT(missing_value.err, HasSubstr("--block needs a value"));
    const auto bad_number = run_host({"info", DELAY_TEST_PLUGIN, "--block", "0"});
    EXPECT_EQ(bad_number.status, 2);
    EXPECT_THAT(bad_number.err, HasSubstr("--block needs a positive whole number"));
    EXPECT_EQ(run_host({"render", DELAY_TEST_PLUGIN}).status, 2);
}

TEST(HostCommandLine, DescribesEachCommandOnAskingForHelp) {
    for (const char* command : {"info", "render", "bench"}) {
        const auto run = run_host({command, "--help"});
        EXPECT_EQ(run.status, 0);
        EXPECT_THAT(run.out, HasSubstr(std::string("usage: tessvane-host ") + command));
    }
    EXPECT_THAT(run_host({"--help"}).out, HasSubstr("render"));
}

TEST(HostBench, ReportsCpuAndCallTimesFlatOutAndPacedAndByTheThreadsCpuClockOnRequest) {
    for (const bool paced : {false, true}) {
        std::vector<std::string> arguments{"bench", DELAY_TEST_PLUGIN, "--block", "64", "--seconds", "0.25"};
        if (paced) arguments.insert(arguments.end(), {"--paced", "--cpu-time"});
        const auto run = run_host(arguments);
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_THAT(run.out, HasSubstr(paced ? "paced to the deadline" : "flat out"));
        EXPECT_THAT(run.out, ::testing::ContainsRegex("188 blocks of 64 frames at 48000 Hz"));
        for (const char* figure : {"cpu: ", "median: ", "p99.9: ", "worst: ", "deadline: "})
            EXPECT_THAT(run.out, ::testing::ContainsRegex(std::string(figure) + " *[0-9.]+ "));
        EXPECT_THAT(run.out, HasSubstr("deadline: 1333.3 us"));
        EXPECT_EQ(run.out.find("thread cpu time per call:") != std::string::npos, paced);
        EXPECT_EQ(::testing::Matches(::testing::ContainsRegex("a read of this clock costs [0-9.]+ us"))(run.out),
                  paced);
    }
}

}  // namespace
}  // namespace tessvane::host::testing
