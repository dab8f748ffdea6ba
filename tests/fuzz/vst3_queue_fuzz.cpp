// Blocks of any size with any parameter queues: any IDs, points at any
// offsets in any order, any values (NaN, infinities, far outside 0..1). The
// output stays sound, and a block longer than announced is silence.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdlib>

#include "vst3_fuzz_instance.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    restore_vst3_default_state();
    FuzzedDataProvider in(data, size);
    for (std::uint32_t block = 0; block < 8 && in.remaining_bytes() > 0; ++block) {
        const int frames = in.ConsumeIntegralInRange<int>(0, vst3_max_frames + 64);
        vst3_host::parameter_changes changes;
        const int queues = in.ConsumeIntegralInRange<int>(0, 6);
        for (int q = 0; q < queues; ++q) {
            const vst3::ParamID id = in.ConsumeBool() ? in.ConsumeIntegralInRange<vst3::ParamID>(0, 30)
                                                      : in.ConsumeIntegral<vst3::ParamID>();
            const int points = in.ConsumeIntegralInRange<int>(1, 6);
            for (int p = 0; p < points; ++p) {
                const std::int32_t offset = in.ConsumeBool() ? in.ConsumeIntegralInRange<std::int32_t>(-2, frames + 2)
                                                             : in.ConsumeIntegral<std::int32_t>();
                const double value =
                    in.ConsumeBool() ? in.ConsumeProbability<double>() : in.ConsumeFloatingPoint<double>();
                changes.add(id, offset, value);
            }
        }
        process_vst3_and_check(frames, &changes, block);
    }
    return 0;
}
