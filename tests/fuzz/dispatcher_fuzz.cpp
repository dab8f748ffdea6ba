// Any sequence of dispatcher calls: opcode, index, value and opt at random,
// ptr null or a guarded buffer of a random size. Where the interface obliges
// the host to pass a buffer of some size, the buffer has at least that size;
// beyond it the plug-in must neither read nor write. Each input ends with
// audio, which must still be sound.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

#include "fuzz_instance.h"
#include "guarded_buffer.h"

namespace {

constexpr VstInt32 kLastOpcode = effGetNumMidiOutputChannels + 2;

// The smallest buffer the host must provide for the opcode's ptr.
std::size_t required_size(VstInt32 opcode) {
    switch (opcode) {
        case effGetParamLabel:
        case effGetParamDisplay:
        case effGetParamName: return kVstMaxParamStrLen + 1;
        case effGetProgramName:
        case effGetProgramNameIndexed: return kVstMaxProgNameLen + 1;
        case effGetEffectName: return kVstMaxEffectNameLen + 1;
        case effGetVendorString: return kVstMaxVendorStrLen + 1;
        case effGetProductString: return kVstMaxProductStrLen + 1;
        case effEditGetRect:
        case effGetChunk:
        case effGetSpeakerArrangement: return sizeof(void*);
        case effSetProgramName:
        case effCanDo:
        case effString2Parameter: return 1;  // a terminated string
        default: return 0;
    }
}

bool takes_string(VstInt32 opcode) {
    return opcode == effSetProgramName || opcode == effCanDo || opcode == effString2Parameter;
}

// Touches every byte the plug-in handed out, as a host saving it would.
void read_chunk(const void* data, VstIntPtr size) {
    if (size <= 0) return;
    if (!data) std::abort();
    volatile unsigned sum = 0;
    for (VstIntPtr i = 0; i < size; ++i) sum = sum + static_cast<const unsigned char*>(data)[i];
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    AEffect* effect = fuzz_instance();
    restore_default_state(effect);
    static guarded_buffer buffer;
    static guarded_buffer value_buffer;
    FuzzedDataProvider in(data, size);

    while (in.remaining_bytes() > 0) {
        const VstInt32 opcode =
            in.ConsumeBool() ? in.ConsumeIntegral<VstInt32>() : in.ConsumeIntegralInRange<VstInt32>(0, kLastOpcode);
        if (opcode == effClose) continue;  // ends the instance; covered at exit
        const VstInt32 index = in.ConsumeIntegral<VstInt32>();
        VstIntPtr value = in.ConsumeIntegral<VstIntPtr>();
        const float opt = std::bit_cast<float>(in.ConsumeIntegral<std::uint32_t>());
        const bool null_ptr = in.ConsumeIntegralInRange<int>(0, 7) == 0;
        std::size_t length =
            std::max(required_size(opcode), in.ConsumeIntegralInRange<std::size_t>(0, guarded_buffer::max_size));
        unsigned char* ptr = null_ptr ? nullptr : buffer.place(length, in.ConsumeIntegral<unsigned char>());
        if (ptr && takes_string(opcode)) ptr[length - 1] = '\0';
        // The speaker-arrangement opcodes take a second pointer in value, and
        // a chunk's size is that of the host's buffer.
        if (opcode == effGetSpeakerArrangement || opcode == effSetSpeakerArrangement)
            value = reinterpret_cast<VstIntPtr>(value_buffer.place(sizeof(void*), 0));
        if (opcode == effSetChunk) value = ptr ? static_cast<VstIntPtr>(std::min<std::size_t>(value, length)) : value;

        const VstIntPtr answer = effect->dispatcher(effect, opcode, index, value, ptr, opt);
        if (opcode == effGetChunk && ptr) {
            void* chunk = nullptr;
            std::memcpy(&chunk, ptr, sizeof chunk);
            read_chunk(chunk, answer);
        }
    }
    effect->dispatcher(effect, effMainsChanged, 0, 1, nullptr, 0.0f);
    process_and_check(effect, 700, false, static_cast<std::uint32_t>(size));
    return 0;
}
