#include <cstdint>

#include "dsp_test_support.h"
#include "platform/fault_injection.h"

namespace {

TEST(allocation, float_blocks_are_32_byte_aligned_and_writable) {
    for (int count : {1, 3, 8, 1000, 131072}) {
        float* block = dsp_alloc_floats(count);
        ASSERT_NE(block, nullptr);
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(block) % 32, 0u);
        for (int k = 0; k < count; ++k) block[k] = float(k);
        EXPECT_EQ(block[count - 1], float(count - 1));
        dsp_free(block);
    }
}

TEST(allocation, aligned_blocks_honour_any_power_of_two_and_refuse_other_requests) {
    for (std::size_t alignment : {1u, 2u, 8u, 64u, 128u, 4096u}) {
        void* block = dsp_alloc_aligned(100, alignment);
        ASSERT_NE(block, nullptr);
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(block) % alignment, 0u);
        dsp_free(block);
    }
    EXPECT_EQ(dsp_alloc_aligned(100, 0), nullptr);
    EXPECT_EQ(dsp_alloc_aligned(100, 48), nullptr);
    EXPECT_EQ(dsp_alloc_aligned(0, 64), nullptr);
    EXPECT_EQ(dsp_alloc_aligned(SIZE_MAX - 8, 128), nullptr);
    EXPECT_EQ(dsp_alloc_floats(0), nullptr);
    EXPECT_EQ(dsp_alloc_floats(-5), nullptr);
    dsp_free(nullptr);
}

TEST(allocation, an_injected_failure_fails_exactly_the_armed_call) {
    platform::inject_fault(platform::fault::aligned_allocation, 1);
    float* first = dsp_alloc_floats(16);
    void* second = dsp_alloc_aligned(64, 128);
    float* third = dsp_alloc_floats(16);
    platform::clear_faults();
    EXPECT_NE(first, nullptr);
    EXPECT_EQ(second, nullptr);
    EXPECT_NE(third, nullptr);
    dsp_free(first);
    dsp_free(third);
}

}  // namespace
