// Waits until a plug-in's response follows the parameters it was given.
//
// A plug-in may design its filter on a background thread after a parameter
// change (and after learning the sample rate), so the first blocks can still
// sound like the old settings. A host cannot ask whether a design is done;
// it can listen. The wait probes the impulse response: flush (suspend and
// resume), a unit impulse on every input followed by silence, in host blocks,
// for twice the reported latency plus a margin; again every few milliseconds.
// The response counts as settled when two successive probes are the same
// up to rounding (a plug-in meets each probe at another phase of its own
// blocks) and either differ from the baseline (a change arrived) or have stayed
// equal to it for a quiet period (nothing audible changed). The baseline is
// the response the previous wait settled on, or the first probe. After the
// time limit the wait gives up. The caller flushes the plug-in afterwards.
//
// So that a change is not mistaken for the end of an earlier design still
// under way, wait once after starting the plug-in and once after the change.
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

    // The plug-in must be running while waiting.
    redesign_wait(loaded_plugin& plugin, audio_block& block) : plugin_(plugin), block_(block) {}

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
