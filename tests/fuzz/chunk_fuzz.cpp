// effSetChunk with any size and any bytes (NaN, infinities, subnormals, huge
// values, names without a terminator), bank or program. A chunk that is
// taken must read back byte for byte; names read back stay inside their
// fields; the audio that follows stays sound.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "fuzz_instance.h"
#include "guarded_buffer.h"

namespace {

constexpr std::size_t kProgramBytes = 532;
constexpr std::size_t kBankBytes = 48 * kProgramBytes;

// The chunk's bytes: the input's, repeated to fill the size.
void fill_from(unsigned char* chunk, std::size_t size, const std::vector<unsigned char>& pattern) {
    if (pattern.empty()) return;
    for (std::size_t i = 0; i < size; ++i) chunk[i] = pattern[i % pattern.size()];
}

void check_names(AEffect* effect, guarded_buffer& text) {
    effect->dispatcher(effect, effGetProgramName, 0, 0, text.place(kVstMaxProgNameLen + 1, 0xAA), 0.0f);
    if (text.data()[kVstMaxProgNameLen] != 0) std::abort();
    for (VstInt32 program : {0, 47}) {
        effect->dispatcher(effect, effGetProgramNameIndexed, program, 0, text.place(kVstMaxProgNameLen + 1, 0xAA),
                           0.0f);
        if (std::memchr(text.data(), 0, text.size()) == nullptr) std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    AEffect* effect = fuzz_instance();
    restore_default_state(effect);
    static guarded_buffer chunk;
    static guarded_buffer text;
    FuzzedDataProvider in(data, size);

    const bool is_program = in.ConsumeBool();
    const VstInt32 index = is_program ? 1 : (in.ConsumeBool() ? 0 : in.ConsumeIntegral<VstInt32>());
    const bool as_program = index != 0;
    std::size_t chunk_size = as_program ? kProgramBytes : kBankBytes;
    switch (in.ConsumeIntegralInRange<int>(0, 3)) {
        case 0: break;  // the exact size
        case 1: chunk_size = in.ConsumeIntegralInRange<std::size_t>(0, 2); break;
        case 2: chunk_size = in.ConsumeIntegralInRange<std::size_t>(0, guarded_buffer::max_size); break;
        case 3: chunk_size = as_program ? kBankBytes : kProgramBytes; break;  // the other kind
    }
    const bool null_data = in.ConsumeIntegralInRange<int>(0, 15) == 0;
    if (as_program) effect->dispatcher(effect, effSetProgram, 0, in.ConsumeIntegralInRange<int>(0, 47), nullptr, 0.0f);
    const std::vector<unsigned char> pattern = in.ConsumeRemainingBytes<unsigned char>();

    unsigned char* bytes = chunk.place(chunk_size, 0);
    fill_from(bytes, chunk_size, pattern);
    const std::vector<unsigned char> sent(bytes, bytes + chunk_size);
    const VstIntPtr taken = effect->dispatcher(effect, effSetChunk, index, static_cast<VstIntPtr>(chunk_size),
                                               null_data ? nullptr : bytes, 0.0f);
    if (taken != 0 && (null_data || chunk_size != (as_program ? kProgramBytes : kBankBytes))) std::abort();
    if (taken) {
        void* stored = nullptr;
        const VstIntPtr stored_size = effect->dispatcher(effect, effGetChunk, index, 0, &stored, 0.0f);
        if (stored_size != static_cast<VstIntPtr>(sent.size()) || std::memcmp(stored, sent.data(), sent.size()) != 0)
            std::abort();
    }
    check_names(effect, text);
    for (int block = 0; block < 3; ++block)
        process_and_check(effect, 256, block == 1, static_cast<std::uint32_t>(block));
    return 0;
}
