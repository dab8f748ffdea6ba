#include "core/latency_bypass.h"

#include <cstring>

#include "core/block_split.h"

namespace core {

latency_bypass::latency_bypass(int latency, int max_block)
    : delay_(2, latency, max_block), scratch_(2, max_block, "Memory allocation error") {}

void latency_bypass::process(eq_instance& instance, const float* const* in, float* const* out, int offset, int count,
                             dsp::render_mode mode, bool bypassed) {
    for_each_block(count, scratch_.length(), [&](int done, int n) {
        const float* block_in[2] = {in[0] + offset + done, in[1] + offset + done};
        float* block_out[2] = {out[0] + offset + done, out[1] + offset + done};
        if (!bypassed) {
            delay_.keep(block_in, n);
            instance.process(block_in, block_out, n, mode);
            return;
        }
        instance.process(block_in, scratch_.data(), n, mode);
        for (int ch = 0; ch < 2; ++ch)
            if (block_out[ch] != block_in[ch]) std::memmove(block_out[ch], block_in[ch], sizeof(float) * n);
        delay_.process(block_out, n);
    });
}

}  // namespace core
