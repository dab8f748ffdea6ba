// The DSP side of the analyser for an LV2 UI, which may run in another
// process: the UI asks for samples with an atom:Bool on the request port
// (true while it shows a trace), and each run then hands what the engine's
// analyser ring holds to the notification port as one atom:Vector of
// floats, the output's and the input's channel means frame by frame.
// Nothing is copied while no UI has asked, nor without the host's URID map;
// both ports may be left unconnected.
//
// Construction allocates; run (audio thread) does not.
#pragma once

#include <lv2/atom/atom.h>
#include <lv2/core/lv2.h>
#include <lv2/urid/urid.h>

#include <vector>

#include "dsp/analyser_ring.h"

namespace lv2plugin {

class analyser_port {
public:
    explicit analyser_port(const LV2_Feature* const* features);

    void connect_request(const LV2_Atom_Sequence* port) { request_ = port; }
    void connect_notify(LV2_Atom_Sequence* port) { notify_ = port; }
    // Takes the UI's requests, then sends what the ring holds, as far as
    // the notification port's buffer takes it; the rest waits for the next.
    void run(dsp::analyser_ring& ring) noexcept;

private:
    LV2_URID bool_type_ = 0, float_type_ = 0, vector_type_ = 0, sequence_type_ = 0;
    const LV2_Atom_Sequence* request_ = nullptr;
    LV2_Atom_Sequence* notify_ = nullptr;
    std::vector<float> output_, input_;  // one message's frames
};

}  // namespace lv2plugin
