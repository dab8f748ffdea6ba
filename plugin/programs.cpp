// The bank of 48 programs: selection, names and chunks. Chunks are the
// records' own bytes; nothing is copied out and nothing allocated.
#include <cstring>

#include "plugin/error_report.h"
#include "plugin/tessvane_plugin.h"

namespace plugin {

void tessvane_plugin::setProgram(VstInt32 program) {
    if (program < 0 || program >= kNumPrograms) return;
    curProgram = program;
    program_record* record = refresh_current_program();
    run_guarded(": Seen during setProgram", delivery::modal, message_owner, [&] {
        // Each call stores the value back unchanged, applies its band and
        // tells the editor; errors inside are reported by setParameter.
        for (int i = 0; i < kNumParams; ++i) setParameter(i, record->value(i));
        request_redesign();
    });
}

void tessvane_plugin::setProgramName(const char* name) {
    program_record* record = refresh_current_program();
    const std::size_t n = strnlen(name, sizeof record->program_name - 1);
    std::memset(record->program_name, 0, sizeof record->program_name);
    std::memcpy(record->program_name, name, n);
}

void tessvane_plugin::getProgramName(char* name) {
    const program_record* record = refresh_current_program();
    // A name restored from a chunk may fill all 24 bytes without a zero.
    char field[sizeof record->program_name + 1] = {};
    std::memcpy(field, record->program_name, sizeof record->program_name);
    copy_bounded(name, field, kVstMaxProgNameLen);
}

bool tessvane_plugin::getProgramNameIndexed(VstInt32, VstInt32 index, char* text) {
    if (index < 0 || index >= kNumPrograms) return false;
    const char* field = programs[index].program_name;
    const std::size_t n = strnlen(field, sizeof programs[index].program_name);
    std::memcpy(text, field, n);
    text[n] = '\0';
    return true;
}

VstInt32 tessvane_plugin::getChunk(void** data, bool is_preset) {
    if (is_preset) {
        *data = refresh_current_program();
        return kProgramChunkSize;
    }
    *data = programs.get();
    return kBankChunkSize;
}

VstInt32 tessvane_plugin::setChunk(const void* data, VstInt32 byte_size, bool is_preset) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    if (is_preset) {
        if (byte_size != kProgramChunkSize) return 0;
        copy_program_image(*refresh_current_program(), bytes);
    } else {
        if (byte_size != kBankChunkSize) return 0;
        for (int i = 0; i < kNumPrograms; ++i) copy_program_image(programs[i], bytes + i * kProgramChunkSize);
    }
    setProgram(curProgram);
    return 1;
}

}  // namespace plugin
