// The FIR-length setting on the Windows registry. The text rules sit above
// the store and are covered once, by fir_length_setting_test.cpp.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <string_view>

#include "platform/fault_injection.h"
#include "settings/fir_length_setting.h"
#include "temporary_registry_hives.h"

namespace {

using platform::settings_hive;
using stored = temporary_registry_hives::stored;

constexpr const char* key_path = settings::fir_length_key_path;
constexpr const char* value_name = settings::fir_length_value_name;

std::string loading_error(int number) {
    return "Registry settings loading error #" + std::to_string(number) +
           ". Please contact technical support. Processing will be disabled and plugin locked.";
}

// The message of the error the call raises, or "" when it raises none.
template <typename Call>
std::string error_of(Call call) {
    try {
        call();
    } catch (const std::runtime_error& e) {
        return e.what();
    }
    return "";
}

class RegistryFirLengthSettingTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(hives.overrides_work()); }
    void TearDown() override { platform::clear_faults(); }

    int read_per_user(std::string_view bytes, DWORD type = REG_SZ) {
        hives.put(settings_hive::per_user, key_path, value_name, bytes, type);
        return settings::read_fir_length_setting();
    }

    temporary_registry_hives hives;
};

TEST_F(RegistryFirLengthSettingTest, HkcuWinsOverHklmAndAnHkcuKeyWithoutTheValueFallsBackToHklm) {
    hives.put(settings_hive::machine_wide, key_path, value_name, "16384");
    hives.create_key(settings_hive::per_user, key_path);
    EXPECT_EQ(settings::read_fir_length_setting(), 16384);
    hives.put(settings_hive::per_user, key_path, value_name, "4096");
    EXPECT_EQ(settings::read_fir_length_setting(), 4096);
}

TEST_F(RegistryFirLengthSettingTest, MissingKeysAndValuesRaiseTheLoadingErrorOfTheStepThatFailed) {
    const auto read = [] { settings::read_fir_length_setting(); };
    EXPECT_EQ(error_of(read), loading_error(0)) << "neither hive has the key";
    hives.create_key(settings_hive::machine_wide, key_path);
    EXPECT_EQ(error_of(read), loading_error(1)) << "the machine-wide key without the value";
    hives.put(settings_hive::per_user, key_path, value_name, "4096");
    platform::inject_fault(platform::fault::settings_read_value);
    EXPECT_EQ(error_of(read), loading_error(2));
}

TEST_F(RegistryFirLengthSettingTest, TheValuesBytesAreReadWhateverItsTypeAndTerminator) {
    EXPECT_EQ(read_per_user(std::string_view("2048", 5)), 2048) << "with a terminating zero";
    EXPECT_EQ(read_per_user(std::string_view("\x00\x10\x00\x00", 4), REG_DWORD), 0) << "4096 as a REG_DWORD";
    EXPECT_EQ(read_per_user("8192" + std::string(1 << 20, ' '), REG_BINARY), 8192);
}

TEST_F(RegistryFirLengthSettingTest, WritingStoresTheDigitsAsRegSzInHkcuOnly) {
    hives.put(settings_hive::machine_wide, key_path, value_name, "8192");
    settings::write_fir_length_setting(65536);
    const stored written = hives.get(settings_hive::per_user, key_path, value_name);
    EXPECT_EQ(written.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(std::string(written.bytes.c_str()), "65536");
    EXPECT_LE(written.bytes.size(), 6u) << "at most a terminating zero beyond the digits";
    EXPECT_EQ(settings::read_fir_length_setting(), 65536);
    EXPECT_EQ(hives.get(settings_hive::machine_wide, key_path, value_name), (stored{REG_SZ, "8192"}));
}

TEST_F(RegistryFirLengthSettingTest, FailedWritesRaiseErrors6And7AndLeaveTheStoredValue) {
    settings::write_fir_length_setting(2048);
    const auto write = [] { settings::write_fir_length_setting(4096); };
    platform::inject_fault(platform::fault::settings_write_key);
    EXPECT_EQ(error_of(write), loading_error(6));
    platform::inject_fault(platform::fault::settings_write_value);
    EXPECT_EQ(error_of(write), loading_error(7));
    EXPECT_EQ(settings::read_fir_length_setting(), 2048);
}

}  // namespace
