#include "core/program_bank.h"

#include <cstring>

namespace core {

namespace {

// Writes "Default" and the default values, every band on Stereo; the other
// name bytes and the reserved bytes are left as they are.
void make_default_program(program_record& record) {
    std::memcpy(record.program_name, "Default", 8);
    for (int i = 0; i < dsp::control_count; ++i) record.set_value(i, dsp::default_control_values[i]);
    for (int band = 0; band < dsp::band_count; ++band)
        record.set_value(dsp::placement_control(band), dsp::normalised_of_placement(dsp::place_stereo));
}

// The image may be our own record, handed back by a host.
void copy_program_image(program_record& target, const unsigned char* image) {
    std::memmove(target.program_name, image + offsetof(program_record, program_name), sizeof target.program_name);
    // The placements follow the values in the image as they do in the record.
    static_assert(offsetof(program_record, placements) ==
                  offsetof(program_record, values) + sizeof(float) * dsp::control_count);
    for (int i = 0; i < dsp::mid_side_control_count; ++i) {
        float v;
        std::memcpy(&v, image + offsetof(program_record, values) + 4 * i, sizeof v);
        target.set_value(i, v);
    }
    std::memmove(target.reserved, image + offsetof(program_record, reserved), sizeof target.reserved);
}

}  // namespace

program_bank::program_bank() : records_(std::make_unique<program_record[]>(program_count)) {
    for (int i = 0; i < program_count; ++i) make_default_program(records_[i]);
    refreshed_ = &records_[0];
}

program_record* program_bank::refresh_current() const {
    program_record* record = &records_[current()];
    refreshed_.store(record, std::memory_order_relaxed);
    return record;
}

void program_bank::rename_current(const char* name) {
    program_record* record = refresh_current();
    const std::size_t n = strnlen(name, sizeof record->program_name - 1);
    std::memset(record->program_name, 0, sizeof record->program_name);
    std::memcpy(record->program_name, name, n);
}

void program_bank::name_of(int program, char (&out)[sizeof(program_record::program_name) + 1]) const {
    std::memset(out, 0, sizeof out);
    std::memcpy(out, records_[program].program_name, sizeof records_[program].program_name);
}

bool program_bank::load_bank_image(const void* image, std::size_t size) {
    if (size != static_cast<std::size_t>(bank_image_size)) return false;
    const auto* bytes = static_cast<const unsigned char*>(image);
    for (int i = 0; i < program_count; ++i) copy_program_image(records_[i], bytes + i * program_image_size);
    return true;
}

bool program_bank::load_program_image(const void* image, std::size_t size) {
    if (size != static_cast<std::size_t>(program_image_size)) return false;
    copy_program_image(*refresh_current(), static_cast<const unsigned char*>(image));
    return true;
}

}  // namespace core
