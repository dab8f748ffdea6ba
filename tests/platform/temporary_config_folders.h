// Points the per-user and machine-wide settings hives (and HOME) at fresh
// temporary folders for the life of the object, so no test touches the real
// user's files, and restores the environment afterwards.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class temporary_config_folders {
public:
    temporary_config_folders() {
        std::string pattern = (std::filesystem::temp_directory_path() / "tessvane-settings-XXXXXX").string();
        root_ = mkdtemp(pattern.data());
        for (const char* name : {"XDG_CONFIG_HOME", "XDG_CONFIG_DIRS", "HOME"}) {
            const char* value = getenv(name);
            saved_.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
        }
        std::filesystem::create_directories(user_root());
        std::filesystem::create_directories(machine_root());
        std::filesystem::create_directories(home());
        setenv("XDG_CONFIG_HOME", user_root().c_str(), 1);
        setenv("XDG_CONFIG_DIRS", machine_root().c_str(), 1);
        setenv("HOME", home().c_str(), 1);
    }
    ~temporary_config_folders() {
        for (const auto& [name, value] : saved_) {
            if (value) {
                setenv(name.c_str(), value->c_str(), 1);
            } else {
                unsetenv(name.c_str());
            }
        }
        std::filesystem::remove_all(root_);
    }
    temporary_config_folders(const temporary_config_folders&) = delete;
    temporary_config_folders& operator=(const temporary_config_folders&) = delete;

    std::filesystem::path root() const { return root_; }
    std::filesystem::path user_root() const { return root_ / "user"; }
    std::filesystem::path machine_root() const { return root_ / "machine"; }
    std::filesystem::path home() const { return root_ / "home"; }

    // Stores bytes as the file `value` in `folder`, creating the folder.
    static void put(const std::filesystem::path& folder, const std::string& value, std::string_view bytes) {
        std::filesystem::create_directories(folder);
        std::ofstream(folder / value, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    static std::string contents(const std::filesystem::path& file) {
        std::ifstream in(file, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

private:
    std::filesystem::path root_;
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};
