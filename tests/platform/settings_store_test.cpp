#include "platform/settings_store.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "platform/fault_injection.h"
#include "temporary_config_folders.h"

namespace {

using platform::settings_hive;

constexpr const char* key_path = "SOFTWARE\\Maker\\Product";

std::string read_value(settings_hive hive, const char* path, const char* value) {
    platform::settings_key* key = nullptr;
    if (!platform::open_settings_key_for_reading(hive, path, &key)) return "<no key>";
    std::size_t size = 0;
    std::string bytes = "<no value>";
    if (platform::query_settings_value_size(key, value, &size)) {
        bytes.assign(size, '\0');
        const bool read = platform::read_settings_value(key, value, bytes.data(), &size);
        bytes = read ? bytes.substr(0, size) : "<read failed>";
    }
    platform::close_settings_key(key);
    return bytes;
}

bool write_value(const char* path, const char* value, std::string_view bytes) {
    platform::settings_key* key = nullptr;
    if (!platform::create_settings_key_for_writing(path, &key)) return false;
    const bool written = platform::write_settings_value(key, value, bytes.data(), bytes.size());
    platform::close_settings_key(key);
    return written;
}

class SettingsStoreTest : public testing::Test {
protected:
    void TearDown() override { platform::clear_faults(); }
    temporary_config_folders folders;
};

TEST_F(SettingsStoreTest, AWrittenValueIsAFileInTheKeysFoldersUnderThePerUserHive) {
    ASSERT_TRUE(write_value(key_path, "Latency", "65536"));
    const auto file = folders.user_root() / "Maker" / "Product" / "Latency";
    EXPECT_EQ(temporary_config_folders::contents(file), "65536");
    EXPECT_EQ(read_value(settings_hive::per_user, key_path, "Latency"), "65536");
    ASSERT_TRUE(write_value(key_path, "Latency", "512"));
    EXPECT_EQ(read_value(settings_hive::per_user, key_path, "Latency"), "512");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(file.parent_path()), {}), 1)
        << "no temporary file is left beside the value";
}

TEST_F(SettingsStoreTest, TheMachineWideHiveIsTheFirstFolderOfXdgConfigDirs) {
    temporary_config_folders::put(folders.machine_root() / "Maker" / "Product", "Latency", "8192");
    const std::string dirs = folders.machine_root().string() + ":/nonexistent";
    setenv("XDG_CONFIG_DIRS", dirs.c_str(), 1);
    EXPECT_EQ(read_value(settings_hive::machine_wide, key_path, "Latency"), "8192");
    EXPECT_EQ(read_value(settings_hive::per_user, key_path, "Latency"), "<no key>");
}

TEST_F(SettingsStoreTest, AnEmptyXdgConfigHomeMeansDotConfigInHome) {
    setenv("XDG_CONFIG_HOME", "", 1);
    ASSERT_TRUE(write_value(key_path, "Latency", "1024"));
    EXPECT_EQ(temporary_config_folders::contents(folders.home() / ".config" / "Maker" / "Product" / "Latency"), "1024");
}

TEST_F(SettingsStoreTest, AReadTakesAtMostTheBytesAskedForAndSaysHowManyItGot) {
    temporary_config_folders::put(folders.user_root() / "Maker" / "Product", "Latency", "16384");
    platform::settings_key* key = nullptr;
    ASSERT_TRUE(platform::open_settings_key_for_reading(settings_hive::per_user, key_path, &key));
    char bytes[8] = {};
    std::size_t size = 3;
    ASSERT_TRUE(platform::read_settings_value(key, "Latency", bytes, &size));
    EXPECT_EQ(std::string(bytes, size), "163");
    size = sizeof bytes;
    ASSERT_TRUE(platform::read_settings_value(key, "Latency", bytes, &size));
    EXPECT_EQ(std::string(bytes, size), "16384");
    platform::close_settings_key(key);
}

TEST_F(SettingsStoreTest, KeyPathsAndValueNamesCannotReachOutsideTheHive) {
    temporary_config_folders::put(folders.root(), "escaped", "1");
    EXPECT_FALSE(write_value("SOFTWARE\\..\\..\\x", "Latency", "1"));
    EXPECT_FALSE(write_value("SOFTWARE\\Maker\\\\Product", "Latency", "1"));
    EXPECT_FALSE(write_value(key_path, "../Latency", "1"));
    EXPECT_FALSE(write_value(key_path, ".hidden", "1"));
    EXPECT_EQ(read_value(settings_hive::per_user, "SOFTWARE\\..", "escaped"), "<no key>");
}

TEST_F(SettingsStoreTest, InjectedFaultsFailKeyCreationValueWritingAndReadingOnceEach) {
    platform::inject_fault(platform::fault::settings_write_key);
    EXPECT_FALSE(write_value(key_path, "Latency", "1"));
    platform::inject_fault(platform::fault::settings_write_value);
    EXPECT_FALSE(write_value(key_path, "Latency", "2"));
    EXPECT_EQ(read_value(settings_hive::per_user, key_path, "Latency"), "<no value>");
    EXPECT_TRUE(write_value(key_path, "Latency", "3"));
    platform::inject_fault(platform::fault::settings_read_value);
    EXPECT_EQ(read_value(settings_hive::per_user, key_path, "Latency"), "<read failed>");
    EXPECT_EQ(read_value(settings_hive::per_user, key_path, "Latency"), "3");
}

}  // namespace
