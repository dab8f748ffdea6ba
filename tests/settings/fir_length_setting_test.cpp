#include "settings/fir_length_setting.h"
#include "settings/analyser_preferences.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <string>
#include <string_view>
#include <thread>

#include "platform/fault_injection.h"
#include "temporary_config_folders.h"

namespace {

std::string loading_error(int number) {
    return "Registry settings loading error #" + std::to_string(number) +
           ". Please contact technical support. Processing will be disabled and plugin locked.";
}

class FirLengthSettingTest : public testing::Test {
protected:
    void TearDown() override { platform::clear_faults(); }

    std::filesystem::path user_key() const { return folders.user_root() / "Ravelthorpe" / "Tessvane LE"; }
    std::filesystem::path machine_key() const { return folders.machine_root() / "Ravelthorpe" / "Tessvane LE"; }
    void store_per_user(std::string_view bytes) { temporary_config_folders::put(user_key(), "Latency", bytes); }
    void store_machine_wide(std::string_view bytes) { temporary_config_folders::put(machine_key(), "Latency", bytes); }

    int read_per_user(std::string_view bytes) {
        store_per_user(bytes);
        return settings::read_fir_length_setting();
    }

    // The message of the error the read raises, or "" when it raises none.
    static std::string read_error() {
        try {
            settings::read_fir_length_setting();
        } catch (const std::runtime_error& e) {
            return e.what();
        }
        return "";
    }

    // A failed read also names the per-user file to create.
    std::string reading_error(int number) const {
        return loading_error(number) + "\nTo unlock new instances, create the file \"" +
               (user_key() / "Latency").string() + "\" holding a FIR length, for example 8192.";
    }

    temporary_config_folders folders;
};

TEST_F(FirLengthSettingTest, ThePerUserValueWinsOverTheMachineWideOne) {
    store_machine_wide("8192");
    store_per_user("4096");
    EXPECT_EQ(settings::read_fir_length_setting(), 4096);
}

TEST_F(FirLengthSettingTest, APerUserKeyWithoutTheValueFallsBackToTheMachineWideValue) {
    std::filesystem::create_directories(user_key());
    store_machine_wide("16384");
    EXPECT_EQ(settings::read_fir_length_setting(), 16384);
}

TEST_F(FirLengthSettingTest, MissingSettingsRaiseTheLoadingErrorOfTheStepThatFailed) {
    EXPECT_EQ(read_error(), reading_error(0)) << "neither hive has the key";
    std::filesystem::create_directories(user_key());
    EXPECT_EQ(read_error(), reading_error(0)) << "only the per-user key, without the value";
    std::filesystem::create_directories(machine_key());
    EXPECT_EQ(read_error(), reading_error(1)) << "the machine-wide key without the value";
}

TEST_F(FirLengthSettingTest, AValueThatCannotBeReadRaisesLoadingError2) {
    store_per_user("4096");
    platform::inject_fault(platform::fault::settings_read_value);
    EXPECT_EQ(read_error(), reading_error(2));
    EXPECT_EQ(settings::read_fir_length_setting(), 4096);
}

TEST_F(FirLengthSettingTest, NumbersInTheAcceptedRangeAreReturnedAndOthersGiveMinusOne) {
    EXPECT_EQ(read_per_user("255"), 255);
    EXPECT_EQ(read_per_user("256"), 256);
    EXPECT_EQ(read_per_user("0"), 0);
    EXPECT_EQ(read_per_user("131071"), 131071);
    EXPECT_EQ(read_per_user("131072"), -1);
    EXPECT_EQ(read_per_user("-5"), -1);
    EXPECT_EQ(read_per_user("+2048"), 2048);
}

TEST_F(FirLengthSettingTest, NumbersThatDoNotFitIn32BitsAreOutOfRange) {
    EXPECT_EQ(read_per_user("99999999999"), -1);
    EXPECT_EQ(read_per_user("4294971392"), -1) << "4096 more than 2^32";
    EXPECT_EQ(read_per_user("-4294967295"), -1);
    EXPECT_EQ(read_per_user(std::string(5000, '9')), -1);
}

TEST_F(FirLengthSettingTest, TextIsParsedFromLeadingWhiteSpaceToTheFirstNonDigit) {
    EXPECT_EQ(read_per_user("abc"), 0);
    EXPECT_EQ(read_per_user(""), 0);
    EXPECT_EQ(read_per_user(" 2048"), 2048);
    EXPECT_EQ(read_per_user("\t\n 2048"), 2048);
    EXPECT_EQ(read_per_user("2048 samples"), 2048);
    EXPECT_EQ(read_per_user("- 5"), 0);
}

TEST_F(FirLengthSettingTest, AZeroByteEndsTheText) {
    using namespace std::string_view_literals;
    EXPECT_EQ(read_per_user("4096\0"sv), 4096);
    EXPECT_EQ(read_per_user("40\0"
                            "96"sv),
              40);
    EXPECT_EQ(read_per_user("\x00\x10\x00\x00"sv), 0) << "4096 stored as a little-endian 32-bit number";
}

TEST_F(FirLengthSettingTest, AHugeValueIsJudgedByItsFirstBytesOnly) {
    EXPECT_EQ(read_per_user("8192" + std::string(1 << 20, ' ')), 8192);
}

TEST_F(FirLengthSettingTest, WritingStoresTheDigitsAloneAndReadsBack) {
    settings::write_fir_length_setting(65536);
    EXPECT_EQ(temporary_config_folders::contents(user_key() / "Latency"), "65536");
    EXPECT_EQ(settings::read_fir_length_setting(), 65536);
    settings::write_fir_length_setting(512);
    EXPECT_EQ(temporary_config_folders::contents(user_key() / "Latency"), "512");
    settings::write_fir_length_setting(-5);
    EXPECT_EQ(temporary_config_folders::contents(user_key() / "Latency"), "-5");
}

TEST_F(FirLengthSettingTest, WritingNeverTouchesTheMachineWideValue) {
    store_machine_wide("8192");
    settings::write_fir_length_setting(1024);
    EXPECT_EQ(temporary_config_folders::contents(machine_key() / "Latency"), "8192");
    EXPECT_EQ(settings::read_fir_length_setting(), 1024);
}

TEST_F(FirLengthSettingTest, FailedWritesRaiseErrors6And7AndLeaveTheStoredValue) {
    settings::write_fir_length_setting(2048);
    const auto write_error = [](platform::fault f) -> std::string {
        platform::inject_fault(f);
        try {
            settings::write_fir_length_setting(4096);
        } catch (const std::runtime_error& e) {
            return e.what();
        }
        return "";
    };
    EXPECT_EQ(write_error(platform::fault::settings_write_key), loading_error(6));
    EXPECT_EQ(write_error(platform::fault::settings_write_value), loading_error(7));
    EXPECT_EQ(settings::read_fir_length_setting(), 2048);
}

TEST_F(FirLengthSettingTest, AReaderDuringRepeatedWritesOnlyEverSeesWholeValues) {
    settings::write_fir_length_setting(512);
    std::atomic<bool> writing{true};
    std::thread writer([&] {
        for (int i = 0; i < 300; ++i) settings::write_fir_length_setting(i % 2 == 0 ? 65536 : 512);
        writing = false;
    });
    int reads = 0;
    int partial = 0;
    while (writing || reads < 100) {
        const int length = settings::read_fir_length_setting();
        if (length != 512 && length != 65536) ++partial;
        ++reads;
    }
    writer.join();
    EXPECT_EQ(partial, 0);
}

}  // namespace

// The analyser's preferences share the key and leave the length alone; each
// bad value falls back to its own default and the others stay.
TEST_F(FirLengthSettingTest, AnalyserPreferencesRoundTripBesideTheLengthAndFallBackOneByOne) {
    using prefs = settings::analyser_preferences;
    EXPECT_EQ(settings::read_analyser_preferences(), prefs{});
    settings::write_fir_length_setting(4096);
    const prefs chosen{prefs::traces::input_and_output, prefs::speed::slow, 6, 45, true};
    settings::write_analyser_preferences(chosen);
    EXPECT_EQ(settings::read_analyser_preferences(), chosen);
    EXPECT_EQ(settings::read_fir_length_setting(), 4096);

    store_per_user("4096");
    temporary_config_folders::put(user_key(), "AnalyserTraces", "3");
    temporary_config_folders::put(user_key(), "AnalyserSmoothing", "6x");
    temporary_config_folders::put(user_key(), "AnalyserSlope", "");
    const prefs read = settings::read_analyser_preferences();
    EXPECT_EQ(read, (prefs{prefs::traces::output, prefs::speed::slow, 0, 0, true}));
    temporary_config_folders::put(user_key(), "AnalyserSmoothing", "12");
    temporary_config_folders::put(user_key(), "AnalyserSpeed", "7");
    EXPECT_EQ(settings::read_analyser_preferences().smoothing_per_octave, 12);
    EXPECT_EQ(settings::read_analyser_preferences().ballistics, prefs::speed::medium);
}
