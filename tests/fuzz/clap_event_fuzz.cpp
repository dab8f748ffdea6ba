// Blocks of any size with any input events: parameter values for any IDs at
// any times in any order, any values (NaN, infinities, far outside 0..1),
// events of other types and sizes, some through a flush between blocks. The
// output stays sound, and a block longer than announced is silence.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdlib>

#include "clap_fuzz_instance.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    restore_clap_default_state();
    FuzzedDataProvider in(data, size);
    for (std::uint32_t block = 0; block < 8 && in.remaining_bytes() > 0; ++block) {
        const int frames = in.ConsumeIntegralInRange<int>(0, fuzz_max_frames + 64);
        clap_test_host::events ev;
        const int count = in.ConsumeIntegralInRange<int>(0, 12);
        for (int e = 0; e < count; ++e) {
            const clap::clap_id id = in.ConsumeBool() ? in.ConsumeIntegralInRange<clap::clap_id>(0, 30)
                                                      : in.ConsumeIntegral<clap::clap_id>();
            const std::uint32_t time = in.ConsumeBool() ? in.ConsumeIntegralInRange<std::uint32_t>(0, frames + 2)
                                                        : in.ConsumeIntegral<std::uint32_t>();
            const double value = in.ConsumeBool() ? in.ConsumeProbability<double>() : in.ConsumeFloatingPoint<double>();
            ev.add(id, time, value);
            if (in.ConsumeIntegralInRange<int>(0, 7) == 0) {
                ev.in.back().header.type = in.ConsumeIntegral<std::uint16_t>();
                ev.in.back().header.size = in.ConsumeIntegral<std::uint32_t>();
                ev.in.back().header.space_id = in.ConsumeIntegral<std::uint16_t>();
            }
        }
        if (in.ConsumeIntegralInRange<int>(0, 3) == 0) {
            const clap::clap_input_events list = ev.input();
            const clap::clap_output_events out = ev.output();
            clap_fuzz_instance().params().flush(clap_fuzz_instance().plugin, &list, &out);
        } else {
            process_clap_and_check(frames, &ev, block);
        }
    }
    return 0;
}
