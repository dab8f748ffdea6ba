#include "signal_player.h"

#include <chrono>
#include <vector>

#include "plugin_loader.h"

namespace tessvane::host {

signal_player::signal_player(loaded_plugin& plugin, test_signal signal, double sample_rate, int block_size)
    : thread_([this, &plugin, signal, sample_rate, block_size] { run(plugin, signal, sample_rate, block_size); }) {}

signal_player::~signal_player() {
    stop_ = true;
    thread_.join();
}

void signal_player::run(loaded_plugin& plugin, test_signal signal, double sample_rate, int block_size) {
    const std::size_t frames = std::size_t(block_size);
    std::vector<float> in(frames), left(frames), right(frames);
    float* inputs[] = {in.data(), in.data()};
    float* outputs[] = {left.data(), right.data()};
    const auto period = std::chrono::duration_cast<std::chrono::steady_clock::duration>(
        std::chrono::duration<double>(block_size / sample_rate));
    for (auto next = std::chrono::steady_clock::now(); !stop_; next += period) {
        for (float& sample : in) sample = signal.next(sample_rate);
        plugin.process(inputs, outputs, block_size);
        std::this_thread::sleep_until(next + period);
    }
}

}  // namespace tessvane::host
