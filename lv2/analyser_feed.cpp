#include "lv2/analyser_feed.h"

#include <lv2/atom/atom.h>

#include <cstring>

#include "lv2/port_table.h"

namespace lv2plugin {

namespace {

// A second at 192 kHz: an editor that idles at all never gets near it.
constexpr std::size_t most_waiting_frames = 192000;

}  // namespace

analyser_feed::analyser_feed(const ui_host& host, const LV2_URID_Map& map)
    : host_(host),
      event_transfer_(map.map(map.handle, LV2_ATOM__eventTransfer)),
      bool_type_(map.map(map.handle, LV2_ATOM__Bool)),
      float_type_(map.map(map.handle, LV2_ATOM__Float)),
      vector_type_(map.map(map.handle, LV2_ATOM__Vector)) {}

void analyser_feed::want(bool wanted) {
    const LV2_Atom_Bool request{{sizeof(std::int32_t), bool_type_}, wanted ? 1 : 0};
    host_.write(host_.controller, analyser_request_port, sizeof request, event_transfer_, &request);
    waiting_.clear();
    taken_ = 0;
}

void analyser_feed::port_event(std::uint32_t format, std::uint32_t size, const void* buffer) {
    if (format != event_transfer_ || !buffer || size < sizeof(LV2_Atom_Vector)) return;
    LV2_Atom_Vector vector;
    std::memcpy(&vector, buffer, sizeof vector);
    if (vector.atom.type != vector_type_ || vector.body.child_type != float_type_ ||
        vector.body.child_size != sizeof(float) || vector.atom.size < sizeof(LV2_Atom_Vector_Body) ||
        vector.atom.size > size - sizeof(LV2_Atom))
        return;
    const std::size_t floats = (vector.atom.size - sizeof(LV2_Atom_Vector_Body)) / sizeof(float) / 2 * 2;
    if (waiting_.size() - taken_ + floats > 2 * most_waiting_frames) return;
    if (taken_ == waiting_.size()) {
        waiting_.clear();
        taken_ = 0;
    }
    const auto* first = reinterpret_cast<const unsigned char*>(buffer) + sizeof(LV2_Atom_Vector);
    const std::size_t start = waiting_.size();
    waiting_.resize(start + floats);
    std::memcpy(waiting_.data() + start, first, floats * sizeof(float));
}

int analyser_feed::take(float* output, float* input, int max) {
    int count = 0;
    for (; count < max && taken_ + 1 < waiting_.size(); ++count, taken_ += 2) {
        output[count] = waiting_[taken_];
        input[count] = waiting_[taken_ + 1];
    }
    return count;
}

}  // namespace lv2plugin
