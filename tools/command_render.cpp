#include "audio_file.h"
#include "command.h"
#include "plugin_settings.h"
#include "progress_bar.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>

namespace tessvane::host {
namespace {

constexpr known_option render_options[] = {{"param", true},       {"program-chunk", true}, {"block", true},
                                           {"sample-rate", true}, {"keep-latency", false}, {"verbose", false},
                                           {"probe-wait", false}, {"float", false}};

int run_render(std::span<char* const> arguments) {
    const command_line options(arguments, render_options);
    if (options.positional().size() != 3) throw usage_error("render takes PLUGIN IN OUT");
    const std::string& plugin_path = options.positional()[0];
    const std::string& in_path = options.positional()[1];
    const std::string& out_path = options.positional()[2];
    const int block_size = options.positive_int("block", 512);
    const bool keep_latency = options.has("keep-latency");

    audio_reader reader(in_path);
    if (reader.frames() == 0) throw std::runtime_error(in_path + " holds no audio frames: there is nothing to render");
    const auto rate = static_cast<float>(options.positive_number("sample-rate", reader.sample_rate()));
    auto plugin =
        loaded_plugin::load(plugin_path, {rate, block_size, options.has("verbose"), {}, kVstProcessLevelOffline});
    const AEffect& effect = *plugin->effect();
    if (effect.numOutputs < 1) throw std::runtime_error(plugin_path + ": the plug-in has no outputs");
    if (effect.numInputs > 0 && reader.channels() != 1 && reader.channels() != effect.numInputs)
        throw std::runtime_error(in_path + " has " + std::to_string(reader.channels()) +
                                 " channels; the plug-in takes " + std::to_string(effect.numInputs) +
                                 " (or a mono file)");

    const auto started = std::chrono::steady_clock::now();
    audio_block block(effect.numInputs, effect.numOutputs, block_size);
    plugin->start(rate, block_size);
    apply_settings(*plugin, block, options, options.has("probe-wait"), stdout);

    // Read after the settings: a plug-in may change its latency with them.
    const sf_count_t latency = std::max(effect.initialDelay, 0);
    const sf_count_t to_drop = keep_latency ? 0 : latency;
    audio_writer writer(out_path, effect.numOutputs, reader.sample_rate(),
                        options.has("float") ? SF_FORMAT_FLOAT : reader.sample_format());
    std::vector<float> in_frames(static_cast<std::size_t>(block_size) * reader.channels());
    std::vector<float> out_frames(static_cast<std::size_t>(block_size) * effect.numOutputs);

    progress_bar progress(reader.frames() + latency);
    sf_count_t frames_in = 0, processed = 0, written = 0, tail_left = latency;
    long blocks = 0;
    bool input_done = false;
    float peak = 0.0f;
    for (;;) {
        sf_count_t frames = input_done ? 0 : reader.read(in_frames.data(), block_size);
        if (frames > 0) {
            for (VstInt32 channel = 0; channel < effect.numInputs; ++channel) {
                const int source = reader.channels() == 1 ? 0 : channel;
                for (sf_count_t i = 0; i < frames; ++i)
                    block.input(channel)[i] = in_frames[i * reader.channels() + source];
            }
            frames_in += frames;
        } else {
            // The input is over: zeros push the latency's worth of output out.
            input_done = true;
            frames = std::min<sf_count_t>(block_size, tail_left);
            if (frames == 0) break;
            tail_left -= frames;
            block.clear_inputs();
        }
        block.process(*plugin, static_cast<VstInt32>(frames));
        ++blocks;

        const sf_count_t first = std::clamp<sf_count_t>(to_drop - processed, 0, frames);
        for (sf_count_t i = first; i < frames; ++i)
            for (VstInt32 channel = 0; channel < effect.numOutputs; ++channel) {
                const float sample = block.output(channel)[i];
                out_frames[(i - first) * effect.numOutputs + channel] = sample;
                peak = std::max(peak, std::abs(sample));
            }
        writer.write(out_frames.data(), frames - first);
        written += frames - first;
        processed += frames;
        progress.update(processed);
    }
    progress.finish();
    writer.close();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();

    std::printf("rendered %s -> %s\n", in_path.c_str(), out_path.c_str());
    std::printf("frames in %lld, frames out %lld, %ld blocks of up to %d at %g Hz\n", static_cast<long long>(frames_in),
                static_cast<long long>(written), blocks, block_size, static_cast<double>(rate));
    std::printf("latency %lld samples %s\n", static_cast<long long>(latency), keep_latency ? "kept" : "removed");
    std::printf("peak %.6g (%.2f dBFS)\n", static_cast<double>(peak),
                peak > 0.0f ? 20.0 * std::log10(static_cast<double>(peak)) : -INFINITY);
    std::printf("took %.3f s\n", seconds);
    if (peak > 1.0f)
        std::fprintf(stderr, "tessvane-host render: warning: the output peaks at %+.2f dBFS, above full scale%s\n",
                     20.0 * std::log10(static_cast<double>(peak)),
                     writer.is_float() ? "" : ": OUT's samples are clipped (--float keeps them)");
    return 0;
}

}  // namespace

const command render_command{
    "render", "an audio file through the plug-in",
    "usage: tessvane-host render PLUGIN IN OUT [--param NAME_OR_INDEX=VALUE ...]\n"
    "       [--program-chunk FILE] [--block N] [--sample-rate R] [--keep-latency] [--verbose]\n"
    "       [--probe-wait] [--float]\n"
    "\n"
    "Reads IN (any format libsndfile reads; a mono file feeds every input),\n"
    "streams it through the plug-in's processReplacing in blocks of N frames\n"
    "(default 512) and writes OUT as WAV at IN's sample rate, in IN's sample\n"
    "format (32-bit float where WAV has no such format, or with --float). It\n"
    "warns when the output peaks above full scale. The plug-in is told IN's\n"
    "rate unless --sample-rate R is given.\n"
    "\n"
    "--param sets a parameter, by name (case, surrounding blanks and blanks\n"
    "before '#' ignored) or by index, to a normalised value from 0 to 1, or\n"
    "to a value as its read-out shows it: a number with the read-out's unit\n"
    "or a sign (\"Freq #2=1806Hz\", \"Gain #2=+12dB\", \"Q #2=4amt\") or the start\n"
    "of its text (\"Mode #2=Peak\"); it may be repeated.\n"
    "--program-chunk loads FILE's bytes as a program chunk (effSetChunk) first;\n"
    "the render fails if the plug-in refuses it.\n"
    "\n"
    "The host renders offline: it answers the process level query\n"
    "(audioMasterGetCurrentProcessLevel) with 4, as a DAW does when it bounces,\n"
    "and sets everything before it resumes the plug-in, so a plug-in that\n"
    "honours that has its sound in place from the first block (Tessvane LE\n"
    "does). For one that designs in the background all the same,\n"
    "--probe-wait makes the host wait until its sound follows the settings:\n"
    "it probes the impulse response (a unit impulse and silence, after\n"
    "suspend and resume) every few milliseconds until two probes in a row\n"
    "agree (to 1e-5 of the peak) and differ from the response it settled on\n"
    "before, or have matched that for a second; once after starting the\n"
    "plug-in and once after applying the settings; after 10 s it warns and\n"
    "goes on.\n"
    "\n"
    "After the input, the plug-in's initial delay in silence is fed so that the\n"
    "whole signal comes out; that delay is cut from the start of OUT unless\n"
    "--keep-latency is given. A progress bar is drawn when stderr is a terminal.\n",
    run_render};

}  // namespace tessvane::host
