// Keys and text values like the Windows registry's: a per-user hive that is
// read first and the only one written, and a read-only machine-wide hive.
// On Linux a key is a folder and a value is a file whose bytes are the
// value's bytes: per-user under $XDG_CONFIG_HOME (default ~/.config),
// machine-wide under the first folder of $XDG_CONFIG_DIRS (default
// /etc/xdg). Key paths are given Windows-style ("SOFTWARE\Maker\Product");
// the leading "SOFTWARE" is dropped on Linux. Paths with empty, "." or ".."
// parts and value names with a "/" or a leading "." are refused, so nothing
// reaches outside the hive.
#pragma once

#include <cstddef>
#include <string>

namespace platform {

enum class settings_hive { per_user, machine_wide };

struct settings_key;  // opaque

// Opens an existing key for reading. False when it does not exist.
bool open_settings_key_for_reading(settings_hive hive, const char* key_path, settings_key** key);
// Creates or opens the per-user key for writing. False on failure.
bool create_settings_key_for_writing(const char* key_path, settings_key** key);
// Size in bytes of the value's data. False when the value does not exist.
bool query_settings_value_size(settings_key* key, const char* value_name, std::size_t* size);
// Reads at most *size bytes; *size becomes the number read. False on failure.
bool read_settings_value(settings_key* key, const char* value_name, void* data, std::size_t* size);
// Replaces the value atomically: a concurrent reader sees the old bytes or
// the new ones, never a mixture. False on failure.
bool write_settings_value(settings_key* key, const char* value_name, const void* data, std::size_t size);
void close_settings_key(settings_key* key);

// The per-user value's file, for telling a user where to put it; empty
// where values are not files (Windows) or there is no usable place.
std::string settings_value_file(const char* key_path, const char* value_name);

}  // namespace platform
