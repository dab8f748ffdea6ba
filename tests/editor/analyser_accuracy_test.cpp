// The analyser's traces, read through the editor's model while signals play
// through the real plug-in with its editor open: where a tone peaks and how
// narrow it stays, how flat pink noise reads, how deep a cut of the plug-in's
// own shows. At every common rate, since the transform grows with it.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "dsp/control_units.h"
#include "dsp/eq_layout.h"
#include "editor/analyser_display.h"
#include "editor/eq_editor.h"
#include "editor/response_axis.h"
#include "editor/response_view.h"
#include "editor_window_fixture.h"
#include "plugin/tessvane_plugin.h"
#include "test_signal.h"

namespace {

using prefs = settings::analyser_preferences;
constexpr int plot_width = editor::eq_editor::kWidth - 10 - editor::response_axis::label_columns;

class AnalyserAccuracy : public EditorWindow, public ::testing::WithParamInterface<int> {
protected:
    // The editor open at the test's rate with the analyser set as given.
    void open(const prefs& preferences) {
        instance.dispatch(effMainsChanged, 0, 0);
        instance.dispatch(effSetSampleRate, 0, 0, nullptr, float(GetParam()));
        instance.dispatch(effMainsChanged, 0, 1);
        ASSERT_TRUE(instance.open_in(parent));
        instance.editor().controls().responseView->analyser()->set_preferences(preferences);
    }

    // Both channels carry the signal; the editor idles 60 times a second.
    void play(tessvane::host::test_signal& signal, double seconds) {
        const int rate = GetParam(), block = rate / 60;
        const std::size_t frames = std::size_t(block);
        std::vector<float> left(frames), right(frames), out_left(frames), out_right(frames);
        float* in[] = {left.data(), right.data()};
        float* out[] = {out_left.data(), out_right.data()};
        for (int done = 0; done < int(seconds * rate); done += block) {
            for (int i = 0; i < block; ++i) left[std::size_t(i)] = right[std::size_t(i)] = signal.next(rate);
            instance.effect()->processReplacing(instance.effect(), in, out, block);
            instance.idle();
        }
    }

    const std::vector<float>& output_levels() {
        return instance.editor().controls().responseView->analyser()->analyser()->levels_db(
            dsp::spectrum_analyser::output_trace);
    }
    static double hz(int column) { return editor::response_axis::column_hz(column, plot_width); }
    int peak_column() {
        const std::vector<float>& levels = output_levels();
        return int(std::max_element(levels.begin(), levels.end()) - levels.begin());
    }
    void play(tessvane::host::test_signal&& signal, double seconds) { play(signal, seconds); }

    host_window parent;
    recorded_instance instance;  // closed before its parent goes
};

TEST_P(AnalyserAccuracy, ASineAtMinus6DbfsPeaksAtItsFrequencyAndLevel) {
    open({prefs::traces::output, prefs::speed::fast, 0, 0, false});
    play(tessvane::host::test_signal::sine(1000.0, 0.5011872), 1.5);
    const int peak = peak_column();
    EXPECT_LT(std::fabs(std::log2(hz(peak) / 1000.0)), 1.0 / 24.0) << hz(peak);
    EXPECT_NEAR(output_levels()[std::size_t(peak)], -6.0, 0.5);
}

TEST_P(AnalyserAccuracy, A40HzToneIsNarrowerThanHalfAnOctave20DbDown) {
    open({prefs::traces::output, prefs::speed::fast, 0, 0, false});
    play(tessvane::host::test_signal::sine(40.0, 0.5), 2.0);
    const std::vector<float>& levels = output_levels();
    const int peak = peak_column();
    const float edge = levels[std::size_t(peak)] - 20.0f;
    int low = peak, high = peak;
    while (low > 0 && levels[std::size_t(low)] > edge) --low;
    while (high + 1 < plot_width && levels[std::size_t(high)] > edge) ++high;
    EXPECT_LT(std::log2(hz(high) / hz(low)), 0.5) << hz(low) << " to " << hz(high);
}

// Noise reads as noise: the trace is read 40 times over 16 s and averaged.
TEST_P(AnalyserAccuracy, PinkNoiseReadsFlatAtThe3DbSlope) {
    open({prefs::traces::output, prefs::speed::slow, 6, 30, false});
    tessvane::host::test_signal pink = tessvane::host::test_signal::pink();
    play(pink, 4.0);
    constexpr int readings = 40;
    std::vector<double> band;
    for (int reading = 0; reading < readings; ++reading) {
        play(pink, 0.4);
        std::size_t i = 0;
        for (int x = 0; x < plot_width; ++x) {
            if (hz(x) < 50.0 || hz(x) > 15000.0) continue;
            if (reading == 0) band.push_back(0.0);
            band[i++] += output_levels()[std::size_t(x)] / double(readings);
        }
    }
    double mean = 0.0;
    for (double db : band) mean += db / double(band.size());
    for (std::size_t i = 0; i < band.size(); ++i) ASSERT_NEAR(band[i], mean, 1.5) << i;
}

TEST_P(AnalyserAccuracy, AMinus40DbCutOfThePlugInShowsAtLeast30DbDeep) {
    // Two peaks of -20 dB at 1 kHz.
    for (int band : {0, 2}) {
        const int slot = dsp::band_slot_start(band);
        instance.set(slot + dsp::slot_on_off, 1.0f);
        instance.set(slot + dsp::slot_mode, 0.0f);
        instance.set(slot + dsp::slot_frequency, dsp::normalised_of_frequency_hz(1000.0f));
        instance.set(slot + dsp::slot_gain, dsp::normalised_of_band_gain_db(-20.0f));
        instance.set(slot + dsp::slot_q, dsp::normalised_of_q(2.0f));
    }
    instance.set(dsp::filters_control, 1.0f);
    open({prefs::traces::output, prefs::speed::medium, 12, 0, false});
    wait_until_settled(instance.effect());
    play(tessvane::host::test_signal::white(), 3.0);
    const std::vector<float>& levels = output_levels();
    float deepest = 0.0f, around = -200.0f;
    for (int x = 0; x < plot_width; ++x) {
        if (hz(x) > 950.0 && hz(x) < 1050.0) deepest = std::min(deepest, levels[std::size_t(x)]);
        if (hz(x) > 100.0 && hz(x) < 200.0) around = std::max(around, levels[std::size_t(x)]);
    }
    EXPECT_GT(around - deepest, 30.0f) << around << " " << deepest;
}

INSTANTIATE_TEST_SUITE_P(Rates, AnalyserAccuracy, ::testing::Values(44100, 48000, 96000, 192000));

}  // namespace
