// Plays a test signal into a loaded plug-in from a thread of its own, in
// blocks at the pace a sound device would take them, as a host's audio
// thread does; the output is thrown away. Stops when destroyed.
#pragma once

#include <atomic>
#include <thread>

#include "test_signal.h"

namespace tessvane::host {

class loaded_plugin;

class signal_player {
public:
    // The plug-in must be running, with stereo input and output.
    signal_player(loaded_plugin& plugin, test_signal signal, double sample_rate, int block_size);
    ~signal_player();
    signal_player(const signal_player&) = delete;
    signal_player& operator=(const signal_player&) = delete;

private:
    void run(loaded_plugin& plugin, test_signal signal, double sample_rate, int block_size);

    std::atomic<bool> stop_{false};
    std::thread thread_;
};

}  // namespace tessvane::host
