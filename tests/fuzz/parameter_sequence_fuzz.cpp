// Parameter changes of any value, to any index, interleaved with program
// changes, flushes, display queries and blocks of 0 to 2000 frames, in place
// or not. Every block must stay sound.
#include <fuzzer/FuzzedDataProvider.h>

#include <bit>
#include <cstdint>
#include <cstdlib>

#include "fuzz_instance.h"
#include "guarded_buffer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    AEffect* effect = fuzz_instance();
    restore_default_state(effect);
    static guarded_buffer text;
    FuzzedDataProvider in(data, size);

    while (in.remaining_bytes() > 0) {
        switch (in.ConsumeIntegralInRange<int>(0, 5)) {
            case 0: {
                const VstInt32 index = in.ConsumeIntegralInRange<VstInt32>(-2, 28);
                const float value = std::bit_cast<float>(in.ConsumeIntegral<std::uint32_t>());
                effect->setParameter(effect, index, value);
                break;
            }
            case 1: {
                const float value = effect->getParameter(effect, in.ConsumeIntegralInRange<VstInt32>(-2, 28));
                (void)value;
                break;
            }
            case 2:
                process_and_check(effect, in.ConsumeIntegralInRange<int>(0, 2000), in.ConsumeBool(),
                                  in.ConsumeIntegral<std::uint32_t>());
                break;
            case 3:
                effect->dispatcher(effect, effSetProgram, 0, in.ConsumeIntegralInRange<int>(-1, 48), nullptr, 0.0f);
                break;
            case 4:
                effect->dispatcher(effect, effMainsChanged, 0, 0, nullptr, 0.0f);
                effect->dispatcher(effect, effMainsChanged, 0, 1, nullptr, 0.0f);
                break;
            case 5: {
                // A parameter's text ends inside its bound; other indices get nothing.
                const VstInt32 index = in.ConsumeIntegralInRange<VstInt32>(-2, 28);
                effect->dispatcher(effect, effGetParamDisplay, index, 0, text.place(kVstMaxParamStrLen + 1, 0xAA),
                                   0.0f);
                if (index >= 0 && index < 27 && text.data()[kVstMaxParamStrLen] != 0) std::abort();
                break;
            }
        }
    }
    return 0;
}
