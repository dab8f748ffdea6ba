#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <string>

#include "core/number_format.h"

namespace {

std::string float_text(float v) {
    char text[16];
    std::memset(text, 'x', sizeof text);
    core::float2string(v, text, 8);
    return text;
}

std::string db_text(float v) {
    char text[16];
    core::dB2string(v, text, 8);
    return text;
}

}  // namespace

TEST(NumberFormat, FloatsFillEightCharactersWithTruncatedDigits) {
    EXPECT_EQ(float_text(0.0f), "0.000000");
    EXPECT_EQ(float_text(1.5f), "1.500000");
    EXPECT_EQ(float_text(12.25f), "12.25000");
    EXPECT_EQ(float_text(440.0f), "440.0000");
    EXPECT_EQ(float_text(20000.0f), "20000.00");
    EXPECT_EQ(float_text(-3.5f), "-3.50000");
}

TEST(NumberFormat, DecibelsOfLinearGains) {
    EXPECT_EQ(db_text(1.0f), "0.000000");
    EXPECT_EQ(db_text(0.5f), "-6.02059");
    EXPECT_EQ(db_text(2.0f), "6.020599");
    EXPECT_EQ(db_text(0.001f), "-60.0000");
    EXPECT_EQ(db_text(0.0f), "-oo");
    EXPECT_EQ(db_text(-1.0f), "-oo");
}

TEST(NumberFormat, HugeAppearsOnlyBeyondTheEightCharacterRange) {
    EXPECT_EQ(float_text(100000000.0f), "Huge!");
    EXPECT_EQ(float_text(99999999.0f), "Huge!");  // rounds to 1e8 as a float
    EXPECT_EQ(float_text(-10000000.0f), "Huge!");
    EXPECT_EQ(float_text(99999992.0f), "99999992");
    EXPECT_EQ(float_text(-9999999.0f), "-9999999");
    EXPECT_EQ(float_text(12345678.0f), "12345678");
    EXPECT_EQ(float_text(1234567.0f), "1234567.");
}

TEST(NumberFormat, NonNumbersNeverProduceGarbage) {
    EXPECT_EQ(float_text(std::numeric_limits<float>::quiet_NaN()), "NaN");
    EXPECT_EQ(float_text(std::numeric_limits<float>::infinity()), "Huge!");
    EXPECT_EQ(float_text(-std::numeric_limits<float>::infinity()), "Huge!");
    EXPECT_EQ(db_text(std::numeric_limits<float>::quiet_NaN()), "NaN");
}

TEST(NumberFormat, BoundedCopyZeroFillsAndTerminatesAtTheBound) {
    char buffer[40];
    std::memset(buffer, 'x', sizeof buffer);
    core::copy_bounded(buffer, "Tessvane LE", 32);
    EXPECT_STREQ(buffer, "Tessvane LE");
    for (int i = 11; i <= 32; ++i) EXPECT_EQ(buffer[i], '\0') << i;
    EXPECT_EQ(buffer[33], 'x');

    core::copy_bounded(buffer, "a name far longer than eight", 8);
    EXPECT_EQ(std::string(buffer), "a name f");
    EXPECT_EQ(buffer[8], '\0');
}
