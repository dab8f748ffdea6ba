// Waits until a plug-in's response follows the parameters it was just given.
//
// A plug-in may design its filter on a background thread after a parameter
// change, so the first blocks after a change can still sound like the old
// settings. A host cannot ask whether a design is done; it can listen. The
// wait probes the plug-in's impulse response: flush (suspend and resume),
// a unit impulse on every input followed by silence, in host blocks, for
// twice the reported latency plus a margin. It takes one probe before the
// change as the baseline and probes again every few milliseconds after it.
// The response counts as settled when two successive probes are identical
// and either differ from the baseline (the change arrived) or have stayed
// equal to it for a quiet period (the change did not alter the sound). After
// the time limit it gives up. The caller flushes the plug-in afterwards.
#pragma once

#include "audio_block.h"

#include <chrono>
#include <vector>

namespace tessvane::host {

class redesign_wait {
public:
    static constexpr std::chrono::milliseconds probe_interval{20};
    static constexpr std::chrono::milliseconds quiet_period{1000};
    static constexpr std::chrono::milliseconds time_limit{10000};

    // Takes the baseline probe; the plug-in must be running.
    redesign_wait(loaded_plugin& plugin, audio_block& block);

    struct outcome {
        bool settled;
        int probes;
        std::chrono::milliseconds waited;
    };
    outcome until_settled();

private:
    std::vector<float> probe();

    loaded_plugin& plugin_;
    audio_block& block_;
    std::vector<float> baseline_;
};

}  // namespace tessvane::host
