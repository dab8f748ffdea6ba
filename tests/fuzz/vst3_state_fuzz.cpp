// setState with any bytes: raw, a state of ours with some of its bytes
// replaced, or a VST 2.x bank around them. A state taken reads back whole;
// one refused leaves the state as it was; the audio that follows stays sound.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "vst3_fuzz_instance.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    restore_vst3_default_state();
    vst3_host::instance& plugin = vst3_fuzz_instance();
    const std::vector<unsigned char> before = plugin.state();
    FuzzedDataProvider in(data, size);
    std::vector<unsigned char> sent;
    switch (in.ConsumeIntegralInRange<int>(0, 2)) {
        case 0: sent = in.ConsumeRemainingBytes<unsigned char>(); break;
        case 1: {
            sent = before;
            const std::size_t at = in.ConsumeIntegralInRange<std::size_t>(0, sent.size() - 1);
            for (unsigned char b : in.ConsumeRemainingBytes<unsigned char>()) {
                if (at + 1 >= sent.size()) break;
                sent[at] = b;
            }
            break;
        }
        case 2: {
            auto word = [&](std::uint32_t v) {
                for (int shift = 24; shift >= 0; shift -= 8) sent.push_back(static_cast<unsigned char>(v >> shift));
            };
            if (in.ConsumeBool()) word(0x56737457), word(in.ConsumeIntegral<std::uint32_t>()), word(1), word(0);
            word(0x43636E4B), word(in.ConsumeIntegral<std::uint32_t>()), word(0x46424368);
            word(in.ConsumeIntegralInRange<std::uint32_t>(0, 3)), word(0x31303136), word(1004), word(1);
            word(in.ConsumeIntegral<std::uint32_t>());
            sent.resize(sent.size() + 124);
            word(in.ConsumeIntegral<std::uint32_t>());
            const std::vector<unsigned char> rest = in.ConsumeRemainingBytes<unsigned char>();
            sent.insert(sent.end(), rest.begin(), rest.end());
            break;
        }
    }
    const vst3::tresult taken = plugin.set_state(sent);
    const std::vector<unsigned char> after = plugin.state();
    if (taken != vst3::kResultOk && after != before) std::abort();
    if (taken == vst3::kResultOk && after.size() != before.size()) std::abort();
    for (int block = 0; block < 3; ++block) process_vst3_and_check(256, nullptr, static_cast<std::uint32_t>(block));
    return 0;
}
