#include <xmmintrin.h>

#include <thread>

#include "dsp_test_support.h"

namespace {

constexpr unsigned daz = 1u << 6, underflow_mask = 1u << 11, ftz = 1u << 15;
// The mode bits, without the sticky exception flags the arithmetic raises.
unsigned modes() { return _mm_getcsr() & ~0x3Fu; }

// Keeps the compiler from folding the arithmetic at build time.
volatile float smallest_normal = 1.17549435e-38f;
volatile float a_denormal = 1.0e-40f;

TEST(denormal_modes, are_set_and_restored_on_the_calling_thread_only) {
    const unsigned main_before = modes();
    std::thread worker([] {
        const unsigned before = modes();
        int saved = -1;
        ASSERT_EQ(dsp_set_denormals_are_zero(1), dsp_ok);
        ASSERT_EQ(dsp_set_flush_to_zero(1, &saved), dsp_ok);
        EXPECT_EQ(saved, (before & underflow_mask) ? 1 : 0);
        const unsigned during = _mm_getcsr();
        EXPECT_TRUE(during & daz);
        EXPECT_TRUE(during & ftz);
        EXPECT_TRUE(during & underflow_mask);
        EXPECT_EQ(smallest_normal * 0.5f, 0.0f);  // flushed result
        EXPECT_EQ(a_denormal + 0.0f, 0.0f);       // operand read as zero

        ASSERT_EQ(dsp_set_flush_to_zero(0, &saved), dsp_ok);
        ASSERT_EQ(dsp_set_denormals_are_zero(0), dsp_ok);
        EXPECT_EQ(modes(), before);
        EXPECT_NE(smallest_normal * 0.5f, 0.0f);
    });
    worker.join();
    EXPECT_EQ(modes(), main_before);
}

TEST(denormal_modes, clearing_flush_to_zero_unmasks_underflow_only_when_it_was_unmasked) {
    std::thread worker([] {
        const unsigned before = _mm_getcsr();
        int saved = 0;  // as if underflow had been unmasked
        ASSERT_EQ(dsp_set_flush_to_zero(0, &saved), dsp_ok);
        EXPECT_FALSE(_mm_getcsr() & underflow_mask);
        saved = 1;
        ASSERT_EQ(dsp_set_flush_to_zero(1, nullptr), dsp_ok);
        ASSERT_EQ(dsp_set_flush_to_zero(0, &saved), dsp_ok);
        EXPECT_TRUE(_mm_getcsr() & underflow_mask);
        ASSERT_EQ(dsp_set_flush_to_zero(0, nullptr), dsp_ok);
        EXPECT_TRUE(_mm_getcsr() & underflow_mask);
        _mm_setcsr(before);
    });
    worker.join();
}

}  // namespace
