#include "platform/settings_store.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <string_view>

#include "platform/fault_injection.h"

namespace platform {

struct settings_key {
    std::string folder;
};

namespace {

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

// Empty when the hive has no usable place. Relative folders in the XDG
// variables are ignored, as the XDG rules require.
std::string hive_folder(settings_hive hive) {
    if (hive == settings_hive::per_user) {
        const std::string config_home = environment("XDG_CONFIG_HOME");
        if (config_home.starts_with('/')) return config_home;
        const std::string home = environment("HOME");
        return home.starts_with('/') ? home + "/.config" : "";
    }
    const std::string dirs = environment("XDG_CONFIG_DIRS");
    const std::string first = dirs.substr(0, dirs.find(':'));
    return first.starts_with('/') ? first : "/etc/xdg";
}

// A key path or value name part must stay inside its folder.
bool is_plain_name(std::string_view part) {
    return !part.empty() && part != "." && part != ".." && part.find('/') == std::string_view::npos;
}

// "SOFTWARE\Maker\Product" -> "<hive>/Maker/Product"; empty when unusable.
std::string key_folder(settings_hive hive, std::string_view key_path) {
    std::string folder = hive_folder(hive);
    if (folder.empty()) return "";
    bool first = true;
    while (true) {
        const std::size_t end = key_path.find('\\');
        const std::string_view part = key_path.substr(0, end);
        if (!(first && part == "SOFTWARE")) {
            if (!is_plain_name(part)) return "";
            folder += '/';
            folder += part;
        }
        first = false;
        if (end == std::string_view::npos) return folder;
        key_path.remove_prefix(end + 1);
    }
}

// Names starting with a dot are kept for the temporary files of writes.
std::string value_file(const settings_key* key, const char* value_name) {
    if (!is_plain_name(value_name) || value_name[0] == '.') return "";
    return key->folder + '/' + value_name;
}

bool is_folder(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool make_folders(const std::string& folder) {
    for (std::size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        const std::string prefix = folder.substr(0, slash);
        if (mkdir(prefix.c_str(), 0700) != 0 && errno != EEXIST) return false;
        if (slash == std::string::npos) return is_folder(folder);
    }
}

bool write_all(int fd, const void* data, std::size_t size) {
    const auto* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t written = write(fd, bytes, size);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        bytes += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

settings_key* new_key(std::string folder) { return new (std::nothrow) settings_key{std::move(folder)}; }

}  // namespace

bool open_settings_key_for_reading(settings_hive hive, const char* key_path, settings_key** key) {
    std::string folder = key_folder(hive, key_path);
    if (folder.empty() || !is_folder(folder)) return false;
    *key = new_key(std::move(folder));
    return *key != nullptr;
}

bool create_settings_key_for_writing(const char* key_path, settings_key** key) {
    if (should_fail(fault::settings_write_key)) return false;
    std::string folder = key_folder(settings_hive::per_user, key_path);
    if (folder.empty() || !make_folders(folder)) return false;
    *key = new_key(std::move(folder));
    return *key != nullptr;
}

bool query_settings_value_size(settings_key* key, const char* value_name, std::size_t* size) {
    const std::string file = value_file(key, value_name);
    struct stat info {};
    if (file.empty() || stat(file.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
    *size = static_cast<std::size_t>(info.st_size);
    return true;
}

bool read_settings_value(settings_key* key, const char* value_name, void* data, std::size_t* size) {
    if (should_fail(fault::settings_read_value)) return false;
    const std::string file = value_file(key, value_name);
    if (file.empty()) return false;
    const int fd = open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    auto* bytes = static_cast<char*>(data);
    std::size_t done = 0;
    bool ok = true;
    while (done < *size) {
        const ssize_t got = read(fd, bytes + done, *size - done);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) ok = false;
        if (got <= 0) break;
        done += static_cast<std::size_t>(got);
    }
    close(fd);
    *size = done;
    return ok;
}

bool write_settings_value(settings_key* key, const char* value_name, const void* data, std::size_t size) {
    if (should_fail(fault::settings_write_value)) return false;
    const std::string file = value_file(key, value_name);
    if (file.empty()) return false;
    // Written beside the value and renamed over it, so readers see either
    // the old bytes or the new ones.
    std::string temporary = key->folder + "/." + value_name + ".XXXXXX";
    const int fd = mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) return false;
    bool ok = write_all(fd, data, size) && fsync(fd) == 0;
    ok = close(fd) == 0 && ok;
    ok = ok && rename(temporary.c_str(), file.c_str()) == 0;
    if (!ok) unlink(temporary.c_str());
    return ok;
}

void close_settings_key(settings_key* key) { delete key; }

std::string settings_value_file(const char* key_path, const char* value_name) {
    const settings_key key{key_folder(settings_hive::per_user, key_path)};
    return key.folder.empty() ? "" : value_file(&key, value_name);
}

}  // namespace platform
