// Aligned blocks: over-allocate, align, and keep the underlying address in
// the pointer-sized slot just before the aligned block.
#include <cstdint>
#include <cstdlib>

#include "dsp/dsp.h"
#include "platform/fault_injection.h"

void* dsp_alloc_aligned(std::size_t bytes, std::size_t alignment) {
    if (bytes == 0 || alignment == 0 || (alignment & (alignment - 1)) != 0) return nullptr;
    if (platform::should_fail(platform::fault::aligned_allocation)) return nullptr;
    const std::size_t slack = alignment - 1 + sizeof(void*);
    if (bytes > SIZE_MAX - slack) return nullptr;
    void* raw = std::malloc(bytes + slack);
    if (raw == nullptr) return nullptr;
    const std::uintptr_t first = reinterpret_cast<std::uintptr_t>(raw) + sizeof(void*);
    void** block = reinterpret_cast<void**>((first + alignment - 1) & ~std::uintptr_t(alignment - 1));
    block[-1] = raw;
    return block;
}

float* dsp_alloc_floats(int count) {
    if (count <= 0) return nullptr;
    if (std::size_t(count) > SIZE_MAX / sizeof(float)) return nullptr;
    return static_cast<float*>(dsp_alloc_aligned(std::size_t(count) * sizeof(float), 32));
}

void dsp_free(void* block) {
    if (block != nullptr) std::free(static_cast<void**>(block)[-1]);
}
