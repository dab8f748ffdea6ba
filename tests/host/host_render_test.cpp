#include "host_test_support.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>

namespace tessvane::host::testing {
namespace {

using ::testing::HasSubstr;

constexpr std::size_t plugin_delay = 37;  // the delay test plug-in's initial delay

class HostRender : public ::testing::Test {
protected:
    // Renders input through the delay test plug-in, which designs in the
    // background even offline, so the host probes; the run must succeed.
    audio render(const audio& input, std::vector<std::string> options = {}) {
        write_audio(in_path, input);
        std::vector<std::string> arguments{"render", DELAY_TEST_PLUGIN, in_path, out_path, "--probe-wait"};
        arguments.insert(arguments.end(), options.begin(), options.end());
        last = run_host(arguments);
        EXPECT_EQ(last.status, 0) << last.err;
        return read_audio(out_path);
    }

    host_run render_failing(const audio& input, std::vector<std::string> options) {
        write_audio(in_path, input);
        std::vector<std::string> arguments{"render", DELAY_TEST_PLUGIN, in_path, out_path, "--probe-wait"};
        arguments.insert(arguments.end(), options.begin(), options.end());
        return run_host(arguments);
    }

    temp_folder folder;
    std::string in_path = folder.file("in.wav");
    std::string out_path = folder.file("out.wav");
    host_run last{};
};

void expect_scaled_copy(const audio& output, const audio& input, float scale) {
    ASSERT_EQ(output.channels, 2);
    ASSERT_EQ(output.frames(), input.frames());
    for (std::size_t frame = 0; frame < input.frames(); ++frame)
        for (int channel = 0; channel < 2; ++channel)
            ASSERT_EQ(output.at(frame, channel), scale * input.at(frame, input.channels == 1 ? 0 : channel))
                << "frame " << frame << " channel " << channel;
}

TEST_F(HostRender, RemovesExactlyTheReportedLatency) {
    const audio output = render(impulse(2, 1000, 100));
    expect_scaled_copy(output, impulse(2, 1000, 100), 1.0f);
    EXPECT_THAT(last.out, HasSubstr("latency 37 samples removed"));
}

TEST_F(HostRender, KeepsTheLatencyAndTheWholeTailWhenAsked) {
    const audio output = render(impulse(2, 1000, 100), {"--keep-latency"});
    ASSERT_EQ(output.frames(), 1000 + plugin_delay);
    for (std::size_t frame = 0; frame < output.frames(); ++frame)
        EXPECT_EQ(output.at(frame, 0), frame == 100 + plugin_delay ? 1.0f : 0.0f) << "frame " << frame;
    EXPECT_THAT(last.out, HasSubstr("latency 37 samples kept"));
}

TEST_F(HostRender, ProbesUntilTheBackgroundDesignIsHeardOnlyWhenAsked) {
    // The plug-in is silent until its worker has applied the gain.
    const audio input = noise(2, 3000);
    expect_scaled_copy(render(input), input, 1.0f);
    EXPECT_THAT(last.out, HasSubstr("response settled"));

    write_audio(in_path, input);
    const host_run offline = run_host({"render", DELAY_TEST_PLUGIN, in_path, out_path});
    ASSERT_EQ(offline.status, 0) << offline.err;
    EXPECT_THAT(offline.out, ::testing::Not(HasSubstr("response settled")));
}

TEST_F(HostRender, GivesIdenticalOutputForEveryBlockSize) {
    const audio input = noise(2, 2500);
    const audio reference = render(input, {"--block", "1"});
    for (const char* block : {"64", "1000"})
        EXPECT_EQ(render(input, {"--block", block}).samples, reference.samples) << "block " << block;
    expect_scaled_copy(reference, input, 1.0f);
}

TEST_F(HostRender, SetsAParameterByNameIgnoringCaseAndBlanksOrByIndex) {
    const audio input = noise(2, 2000);
    expect_scaled_copy(render(input, {"--param", " gAIN =0.25"}), input, 0.5f);
    EXPECT_THAT(last.out, HasSubstr("parameter 0 Gain = 0.25"));
    expect_scaled_copy(render(input, {"--param", "0=0.25"}), input, 0.5f);
    expect_scaled_copy(render(input, {"--param=Gain=1"}), input, 2.0f);
}

TEST_F(HostRender, TakesAValueAsTheReadoutShowsItWithItsUnitOrSign) {
    const audio input = impulse(2, 600, 0);
    // Within the read-out's rounding ("%.3f"): the tool probes the values
    // around it, and this plug-in applies each only when its worker runs.
    for (const char* setting : {"Gain=1.5x", "gain= +1.5", "Gain=1.5 X"})
        EXPECT_NEAR(render(input, {"--param", setting}).at(0, 0), 1.5f, 1e-3f) << setting;
}

TEST_F(HostRender, RefusesParametersThatDoNotExistOrValuesOutsideTheRange) {
    const audio input = noise(2, 100);
    for (const auto& [setting, message] :
         std::vector<std::pair<std::string, std::string>>{{"Volume=0.5", "no parameter named 'Volume'"},
                                                          {"1=0.5", "parameter index 1 is out of range"},
                                                          {"Gain=1.5", "a plain number must be from 0 to 1"},
                                                          {"Gain=2.5x", "outside what the parameter shows"},
                                                          {"Gain=loud", "the parameter never shows it"},
                                                          {"Gain", "needs NAME_OR_INDEX=VALUE"}}) {
        const auto run = render_failing(input, {"--param", setting});
        EXPECT_EQ(run.status, 2) << setting;
        EXPECT_THAT(run.err, HasSubstr(message)) << setting;
    }
}

TEST_F(HostRender, FeedsAMonoInputToBothChannels) {
    const audio input = noise(1, 1500);
    expect_scaled_copy(render(input), input, 1.0f);
}

TEST_F(HostRender, RefusesAnInputWhoseChannelsTheInputsCannotTake) {
    const auto run = render_failing(noise(3, 100), {});
    EXPECT_EQ(run.status, 1);
    EXPECT_THAT(run.err, HasSubstr("has 3 channels; the plug-in takes 2"));
}

TEST_F(HostRender, WritesTheInputsRateWhateverRateThePluginIsTold) {
    const audio output = render(noise(2, 500, 44100), {"--sample-rate", "96000"});
    EXPECT_EQ(output.sample_rate, 44100);
    EXPECT_THAT(last.out, HasSubstr("at 96000 Hz"));
}

TEST_F(HostRender, ReportsFramesBlocksAndPeakWithoutProgressWhenStderrIsNoTerminal) {
    audio input = impulse(2, 1000, 10);
    input.samples[20 * 2 + 1] = -0.5f;
    render(input, {"--param", "Gain=0.25"});
    EXPECT_THAT(last.out, HasSubstr("frames in 1000, frames out 1000, 3 blocks of up to 512"));
    EXPECT_THAT(last.out, HasSubstr("peak 0.5 (-6.02 dBFS)"));
    EXPECT_EQ(last.err.find('\r'), std::string::npos);
    EXPECT_EQ(last.err, "");
}

TEST_F(HostRender, LoadsAProgramChunkAndFailsWhenThePluginRefusesIt) {
    const std::string chunk_path = folder.file("program.chunk");
    const float gain = 0.25f;
    std::ofstream(chunk_path, std::ios::binary).write(reinterpret_cast<const char*>(&gain), sizeof gain);
    const audio input = noise(2, 800);
    expect_scaled_copy(render(input, {"--program-chunk", chunk_path}), input, 0.5f);
    EXPECT_THAT(last.out, HasSubstr("program chunk: " + chunk_path + " (4 bytes)"));

    std::ofstream(chunk_path, std::ios::binary | std::ios::app).put('x');
    const auto refused = render_failing(input, {"--program-chunk", chunk_path});
    EXPECT_EQ(refused.status, 1);
    EXPECT_THAT(refused.err, HasSubstr("refused the program chunk"));
}

TEST_F(HostRender, WritesTheInputsSampleFormatWarnsAboveFullScaleAndRefusesAnEmptyInput) {
    const audio input = impulse(2, 600, 0);
    write_audio(in_path, input);
    ASSERT_EQ(run_program("sox", {in_path, "-b", "16", folder.file("in16.wav")}).status, 0);
    for (const bool as_float : {false, true}) {
        std::vector<std::string> arguments{
            "render", DELAY_TEST_PLUGIN, folder.file("in16.wav"), out_path, "--probe-wait", "--param", "Gain=1"};
        if (as_float) arguments.push_back("--float");
        last = run_host(arguments);
        ASSERT_EQ(last.status, 0) << last.err;
        const host_run format = run_program("soxi", {"-e", out_path});
        EXPECT_EQ(format.out, as_float ? "Floating Point PCM\n" : "Signed Integer PCM\n");
        EXPECT_THAT(last.err, HasSubstr("warning: the output peaks at +6.02 dBFS, above full scale"));
        EXPECT_EQ(last.err.find("clipped") == std::string::npos, as_float) << last.err;
    }
    const auto empty = render_failing(audio{2, 44100, {}}, {});
    EXPECT_EQ(empty.status, 1);
    EXPECT_THAT(empty.err, HasSubstr("holds no audio frames: there is nothing to render"));
}

TEST_F(HostRender, FailsClearlyOnFilesItCannotReadOrWrite) {
    std::ofstream(in_path) << "not audio";
    const auto unreadable = run_host({"render", DELAY_TEST_PLUGIN, in_path, out_path});
    EXPECT_EQ(unreadable.status, 1);
    EXPECT_THAT(unreadable.err, HasSubstr("cannot read " + in_path));

    const std::string unwritable = folder.file("missing-folder/out.wav");
    write_audio(in_path, noise(2, 100));
    const auto unwritable_run = run_host({"render", DELAY_TEST_PLUGIN, in_path, unwritable});
    EXPECT_EQ(unwritable_run.status, 1);
    EXPECT_THAT(unwritable_run.err, HasSubstr("cannot write " + unwritable));
}

}  // namespace
}  // namespace tessvane::host::testing
