#include <gtest/gtest.h>

#include <string>

#include "platform/fault_injection.h"
#include "platform/settings_store.h"
#include "temporary_registry_hives.h"

namespace {

using platform::settings_hive;
using stored = temporary_registry_hives::stored;

constexpr const char* key_path = "SOFTWARE\\Maker\\Product";

std::string read_value(settings_hive hive, const char* value, std::size_t limit = 64) {
    platform::settings_key* key = nullptr;
    if (!platform::open_settings_key_for_reading(hive, key_path, &key)) return "<no key>";
    std::size_t size = 0;
    std::string bytes = "<no value>";
    if (platform::query_settings_value_size(key, value, &size)) {
        bytes.assign(limit, '\0');
        size = limit;
        const bool read = platform::read_settings_value(key, value, bytes.data(), &size);
        bytes = read ? bytes.substr(0, size) : "<read failed>";
    }
    platform::close_settings_key(key);
    return bytes;
}

bool write_value(const char* value, std::string_view bytes) {
    platform::settings_key* key = nullptr;
    if (!platform::create_settings_key_for_writing(key_path, &key)) return false;
    const std::string guarded = temporary_registry_hives::unterminated(bytes);
    const bool written = platform::write_settings_value(key, value, guarded.data(), bytes.size());
    platform::close_settings_key(key);
    return written;
}

class RegistrySettingsStoreTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(hives.overrides_work()); }
    void TearDown() override { platform::clear_faults(); }
    temporary_registry_hives hives;
};

TEST_F(RegistrySettingsStoreTest, AWrittenValueIsARegSzOfExactlyItsBytesInThePerUserHiveOnly) {
    ASSERT_TRUE(write_value("Latency", "65536"));
    EXPECT_EQ(hives.get(settings_hive::per_user, key_path, "Latency"), (stored{REG_SZ, "65536"}));
    EXPECT_EQ(read_value(settings_hive::per_user, "Latency"), "65536");
    ASSERT_TRUE(write_value("Latency", "512"));
    EXPECT_EQ(read_value(settings_hive::per_user, "Latency"), "512");
    EXPECT_EQ(hives.get(settings_hive::machine_wide, key_path, "Latency"), stored{});
}

TEST_F(RegistrySettingsStoreTest, EachHiveIsReadFromItsOwnRoot) {
    hives.put(settings_hive::machine_wide, key_path, "Latency", "8192");
    EXPECT_EQ(read_value(settings_hive::machine_wide, "Latency"), "8192");
    EXPECT_EQ(read_value(settings_hive::per_user, "Latency"), "<no key>");
    hives.create_key(settings_hive::per_user, key_path);
    EXPECT_EQ(read_value(settings_hive::per_user, "Latency"), "<no value>");
}

TEST_F(RegistrySettingsStoreTest, AReadTakesAtMostTheBytesAskedForEvenFromAMuchLongerValue) {
    hives.put(settings_hive::per_user, key_path, "Latency", "16384");
    EXPECT_EQ(read_value(settings_hive::per_user, "Latency", 3), "163");
    EXPECT_EQ(read_value(settings_hive::per_user, "Latency", 8), "16384");
    const std::string long_value = "8192" + std::string(1 << 20, ' ');
    hives.put(settings_hive::per_user, key_path, "Latency", long_value, REG_BINARY);
    EXPECT_EQ(read_value(settings_hive::per_user, "Latency", 4096), long_value.substr(0, 4096));
}

TEST_F(RegistrySettingsStoreTest, AnyValueTypeIsReadAsItsBytes) {
    const char dword_4096[] = {0x00, 0x10, 0x00, 0x00};
    hives.put(settings_hive::per_user, key_path, "Latency", std::string_view(dword_4096, 4), REG_DWORD);
    EXPECT_EQ(read_value(settings_hive::per_user, "Latency"), std::string(dword_4096, 4));
    hives.put(settings_hive::per_user, key_path, "Latency", std::string_view("4096", 5));
    EXPECT_EQ(read_value(settings_hive::per_user, "Latency"), std::string("4096", 5)) << "with its terminating zero";
}

TEST_F(RegistrySettingsStoreTest, InjectedFaultsFailKeyCreationValueWritingAndReadingOnceEach) {
    platform::inject_fault(platform::fault::settings_write_key);
    EXPECT_FALSE(write_value("Latency", "1"));
    platform::inject_fault(platform::fault::settings_write_value);
    EXPECT_FALSE(write_value("Latency", "2"));
    EXPECT_EQ(read_value(settings_hive::per_user, "Latency"), "<no value>");
    EXPECT_TRUE(write_value("Latency", "3"));
    platform::inject_fault(platform::fault::settings_read_value);
    EXPECT_EQ(read_value(settings_hive::per_user, "Latency"), "<read failed>");
    EXPECT_EQ(read_value(settings_hive::per_user, "Latency"), "3");
}

}  // namespace
