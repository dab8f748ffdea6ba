// State load with any bytes: raw, or a state of ours with some of its bytes
// replaced, read back by the host a little at a time. A state taken saves
// back whole; one refused leaves the state as it was; the audio that follows
// stays sound.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "clap_fuzz_instance.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    restore_clap_default_state();
    clap_test_host::instance& plugin = clap_fuzz_instance();
    const std::vector<unsigned char> before = plugin.state();
    FuzzedDataProvider in(data, size);
    std::vector<unsigned char> sent;
    if (in.ConsumeBool()) {
        sent = in.ConsumeRemainingBytes<unsigned char>();
    } else {
        sent = before;
        std::size_t at = in.ConsumeIntegralInRange<std::size_t>(0, sent.size() - 1);
        for (unsigned char b : in.ConsumeRemainingBytes<unsigned char>()) {
            if (at >= sent.size()) break;
            sent[at++] = b;
        }
    }
    const bool taken = plugin.set_state(sent);
    const std::vector<unsigned char> after = plugin.state();
    if (!taken && after != before) std::abort();
    if (taken && after != sent) std::abort();
    for (int block = 0; block < 3; ++block) process_clap_and_check(256, nullptr, static_cast<std::uint32_t>(block));
    return 0;
}
