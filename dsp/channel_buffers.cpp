#include "dsp/channel_buffers.h"

#include <new>
#include <stdexcept>

#include "dsp/dsp.h"

namespace dsp {

channel_buffers::channel_buffers(int channel_count, int length, const char* failure_message) : length_(length) {
    try {
        blocks_.assign(static_cast<std::size_t>(channel_count), nullptr);
    } catch (const std::bad_alloc&) {
        throw std::runtime_error(failure_message);
    }
    for (float*& block : blocks_) {
        block = dsp_alloc_floats(length);
        if (!block) {
            for (float* allocated : blocks_) dsp_free(allocated);
            throw std::runtime_error(failure_message);
        }
        dsp_set(0.0f, block, length);
    }
}

channel_buffers::~channel_buffers() {
    for (float* block : blocks_) dsp_free(block);
}

void channel_buffers::clear() {
    for (float* block : blocks_) dsp_set(0.0f, block, length_);
}

}  // namespace dsp
