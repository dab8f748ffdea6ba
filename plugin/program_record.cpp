#include "plugin/program_record.h"

#include <cstring>

void make_default_program(program_record& record) {
    std::memcpy(record.program_name, "Default", 8);
    for (int i = 0; i < kNumParams; ++i) record.set_value(i, dsp::default_control_values[i]);
}

// The image may be our own record, handed back by a host.
void copy_program_image(program_record& target, const unsigned char* image) {
    std::memmove(target.program_name, image + offsetof(program_record, program_name), sizeof target.program_name);
    for (int i = 0; i < kNumParams; ++i) {
        float v;
        std::memcpy(&v, image + offsetof(program_record, values) + 4 * i, sizeof v);
        target.set_value(i, v);
    }
    std::memmove(target.reserved, image + offsetof(program_record, reserved), sizeof target.reserved);
}
