#include <cstdlib>
#include <string>

#include "dsp_test_support.h"

using namespace dsp_test;

namespace {

// Restores the plain set and the environment after each test.
class dispatch : public testing::Test {
protected:
    void TearDown() override {
        unsetenv("TESSVANE_DSP_VARIANT");
        dsp_select_variant(dsp_variant::none);
    }
};

TEST_F(dispatch, the_plain_set_is_always_supported_and_named) {
    EXPECT_TRUE(dsp_variant_supported(dsp_variant::none));
    EXPECT_STREQ(dsp_variant_name(dsp_variant::none), "none");
    EXPECT_STREQ(dsp_variant_name(dsp_variant::sse2), "sse2");
    EXPECT_STREQ(dsp_variant_name(dsp_variant::sse3), "sse3");
    EXPECT_STREQ(dsp_variant_name(dsp_variant::avx2), "avx2");
    EXPECT_STREQ(dsp_variant_name(dsp_variant::avx512), "avx512");
}

TEST_F(dispatch, init_picks_the_best_supported_set) {
    unsetenv("TESSVANE_DSP_VARIANT");
    EXPECT_EQ(dsp_init_dispatch(), dsp_ok);
    EXPECT_EQ(dsp_active_variant(), supported_variants().back());
}

TEST_F(dispatch, the_environment_caps_the_choice_and_an_unknown_name_only_warns) {
    for (dsp_variant v : supported_variants()) {
        setenv("TESSVANE_DSP_VARIANT", dsp_variant_name(v), 1);
        EXPECT_EQ(dsp_init_dispatch(), dsp_ok);
        EXPECT_EQ(dsp_active_variant(), v);
    }
    setenv("TESSVANE_DSP_VARIANT", "sse9", 1);
    EXPECT_EQ(dsp_init_dispatch(), dsp_warn_dispatch);
    EXPECT_EQ(dsp_active_variant(), supported_variants().back());
}

TEST_F(dispatch, selecting_an_unsupported_set_changes_nothing) {
    ASSERT_TRUE(dsp_select_variant(dsp_variant::none));
    for (dsp_variant v : {dsp_variant::sse2, dsp_variant::sse3, dsp_variant::avx2, dsp_variant::avx512}) {
        if (dsp_variant_supported(v)) continue;
        EXPECT_FALSE(dsp_select_variant(v));
        EXPECT_EQ(dsp_active_variant(), dsp_variant::none);
    }
}

}  // namespace
