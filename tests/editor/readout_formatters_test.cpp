#include "editor/readout_formatters.h"

#include <string>

#include <gtest/gtest.h>

#include "gui/param_display.h"

namespace {

std::string text_of(void (*format)(float, char*), float value) {
    char text[VSTGUI::CParamDisplay::kTextBufferSize] = {};
    format(value, text);
    return text;
}

TEST(ReadoutFormatters, FrequencyReadsHzBelowOneThousandAndKHzFromIt) {
    EXPECT_EQ(text_of(readout::frequency_text, 20.0f), "20 Hz");
    EXPECT_EQ(text_of(readout::frequency_text, 999.4f), "999 Hz");
    EXPECT_EQ(text_of(readout::frequency_text, 999.96f), "1000 Hz");
    EXPECT_EQ(text_of(readout::frequency_text, 1000.0f), "1.0 kHz");
    EXPECT_EQ(text_of(readout::frequency_text, 22050.0f), "22.1 kHz");
}

TEST(ReadoutFormatters, GainAndQCarryOneDecimal) {
    EXPECT_EQ(text_of(readout::gain_text, -12.04f), "-12.0 dB");
    EXPECT_EQ(text_of(readout::gain_text, 3.25f), "3.2 dB");
    EXPECT_EQ(text_of(readout::q_text, 0.707f), "Q = 0.7");
    EXPECT_EQ(text_of(readout::q_text, 10.0f), "Q = 10.0");
}

TEST(ReadoutFormatters, MasterGainReadsTwiceTheParameterInDecibels) {
    EXPECT_EQ(text_of(readout::master_gain_text, 2 * 0.5f), "0.0 dB");
    EXPECT_EQ(text_of(readout::master_gain_text, 2 * 1.0f), "6.0 dB");
    EXPECT_EQ(text_of(readout::master_gain_text, -2.0f), "6.0 dB");
}

TEST(ReadoutFormatters, MasterGainIsMinusInfinityOnlyAtOrBelowOneThousandth) {
    EXPECT_EQ(text_of(readout::master_gain_text, 0.0f), "-oo dB");
    EXPECT_EQ(text_of(readout::master_gain_text, 0.0009f), "-oo dB");
    // The float 2 x 0.0005 lies just above the double 0.001.
    EXPECT_EQ(text_of(readout::master_gain_text, 2 * 0.0005f), "-60.0 dB");
}

}  // namespace
