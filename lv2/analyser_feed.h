// The UI side of the analyser (analyser_port.h): asks the DSP for samples,
// through the host's write function, while the editor wants them, and keeps
// what the analyser port's notifications bring until the editor takes it.
// The host's UI thread only.
#pragma once

#include <lv2/urid/urid.h>

#include <cstdint>
#include <vector>

#include "lv2/port_model.h"

namespace lv2plugin {

class analyser_feed {
public:
    analyser_feed(const ui_host& host, const LV2_URID_Map& map);

    void want(bool wanted);
    // A notification of the analyser port: an atom:Vector of floats, the
    // output's and the input's means frame by frame; anything else is
    // ignored, and so is what comes while too much waits already.
    void port_event(std::uint32_t format, std::uint32_t size, const void* buffer);
    // Up to max frames, oldest first; the count taken.
    int take(float* output, float* input, int max);

private:
    ui_host host_;
    LV2_URID event_transfer_, bool_type_, float_type_, vector_type_;
    std::vector<float> waiting_;  // interleaved frames
    std::size_t taken_ = 0;       // floats of waiting_ already taken
};

}  // namespace lv2plugin
