#include "lv2/analyser_port.h"

#include <lv2/atom/util.h>
#include <lv2/urid/urid.h>

#include <cstring>

namespace lv2plugin {

namespace {

constexpr int frames_per_message = 8192;

const LV2_URID_Map* urid_map(const LV2_Feature* const* features) {
    for (; features && *features; ++features)
        if (std::strcmp((*features)->URI, LV2_URID__map) == 0)
            return static_cast<const LV2_URID_Map*>((*features)->data);
    return nullptr;
}

}  // namespace

analyser_port::analyser_port(const LV2_Feature* const* features)
    : output_(frames_per_message), input_(frames_per_message) {
    if (const LV2_URID_Map* map = urid_map(features)) {
        bool_type_ = map->map(map->handle, LV2_ATOM__Bool);
        float_type_ = map->map(map->handle, LV2_ATOM__Float);
        vector_type_ = map->map(map->handle, LV2_ATOM__Vector);
        sequence_type_ = map->map(map->handle, LV2_ATOM__Sequence);
    }
}

void analyser_port::run(dsp::analyser_ring& ring) noexcept {
    if (sequence_type_ == 0) return;
    if (request_) {
        LV2_ATOM_SEQUENCE_FOREACH(request_, event) {
            if (event->body.type == bool_type_ && event->body.size >= sizeof(int32_t))
                ring.set_wanted(reinterpret_cast<const LV2_Atom_Bool*>(&event->body)->body != 0);
        }
    }
    if (!notify_) return;
    // The host says how much room the buffer has; an empty sequence first.
    const std::uint32_t room = notify_->atom.size;
    notify_->atom.type = sequence_type_;
    notify_->atom.size = sizeof(LV2_Atom_Sequence_Body);
    notify_->body.unit = 0;
    notify_->body.pad = 0;
    constexpr std::uint32_t overhead =
        sizeof(LV2_Atom_Sequence_Body) + sizeof(LV2_Atom_Event) + sizeof(LV2_Atom_Vector_Body);
    if (!ring.wanted() || room < overhead + 2 * sizeof(float)) return;
    const int fits = int((room - overhead) / (2 * sizeof(float)));
    const int frames = ring.read(output_.data(), input_.data(), fits < frames_per_message ? fits : frames_per_message);
    if (frames == 0) return;

    auto* event = reinterpret_cast<LV2_Atom_Event*>(&notify_->body + 1);
    event->time.frames = 0;
    event->body.type = vector_type_;
    event->body.size = std::uint32_t(sizeof(LV2_Atom_Vector_Body) + 2 * sizeof(float) * std::size_t(frames));
    auto* vector = reinterpret_cast<LV2_Atom_Vector_Body*>(&event->body + 1);
    vector->child_size = sizeof(float);
    vector->child_type = float_type_;
    auto* samples = reinterpret_cast<float*>(vector + 1);
    for (int i = 0; i < frames; ++i) {
        samples[2 * i] = output_[std::size_t(i)];
        samples[2 * i + 1] = input_[std::size_t(i)];
    }
    notify_->atom.size += std::uint32_t(sizeof(LV2_Atom_Event)) + lv2_atom_pad_size(event->body.size);
}

}  // namespace lv2plugin
