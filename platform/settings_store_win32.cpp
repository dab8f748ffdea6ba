#include "platform/settings_store.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include "platform/fault_injection.h"

namespace platform {

struct settings_key {
    HKEY handle;
};

namespace {

HKEY hive_root(settings_hive hive) { return hive == settings_hive::per_user ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE; }

// Takes ownership of an open registry key; closes it when no wrapper can be had.
bool wrap(HKEY handle, settings_key** key) {
    *key = new (std::nothrow) settings_key{handle};
    if (*key != nullptr) return true;
    RegCloseKey(handle);
    return false;
}

}  // namespace

bool open_settings_key_for_reading(settings_hive hive, const char* key_path, settings_key** key) {
    HKEY handle = nullptr;
    if (RegOpenKeyExA(hive_root(hive), key_path, 0, KEY_READ, &handle) != ERROR_SUCCESS) return false;
    return wrap(handle, key);
}

bool create_settings_key_for_writing(const char* key_path, settings_key** key) {
    if (should_fail(fault::settings_write_key)) return false;
    HKEY handle = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, key_path, 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_WRITE | KEY_ENUMERATE_SUB_KEYS, nullptr, &handle, nullptr) != ERROR_SUCCESS) {
        return false;
    }
    return wrap(handle, key);
}

bool query_settings_value_size(settings_key* key, const char* value_name, std::size_t* size) {
    DWORD bytes = 0;
    if (RegQueryValueExA(key->handle, value_name, nullptr, nullptr, nullptr, &bytes) != ERROR_SUCCESS) return false;
    *size = bytes;
    return true;
}

bool read_settings_value(settings_key* key, const char* value_name, void* data, std::size_t* size) {
    if (should_fail(fault::settings_read_value)) return false;
    DWORD bytes = static_cast<DWORD>(*size);
    LONG status = RegQueryValueExA(key->handle, value_name, nullptr, nullptr, static_cast<BYTE*>(data), &bytes);
    // The registry hands out whole values only: a longer one (or one that
    // grew since its size was asked) is read whole and its first bytes kept.
    while (status == ERROR_MORE_DATA) {
        const std::unique_ptr<BYTE[]> whole(new (std::nothrow) BYTE[bytes]);
        if (whole == nullptr) return false;
        status = RegQueryValueExA(key->handle, value_name, nullptr, nullptr, whole.get(), &bytes);
        if (status == ERROR_SUCCESS) {
            bytes = static_cast<DWORD>(std::min<std::size_t>(bytes, *size));
            std::memcpy(data, whole.get(), bytes);
        }
    }
    if (status != ERROR_SUCCESS) return false;
    *size = bytes;
    return true;
}

bool write_settings_value(settings_key* key, const char* value_name, const void* data, std::size_t size) {
    if (should_fail(fault::settings_write_value)) return false;
    // Exactly the given bytes: no terminating zero is added to the text.
    return RegSetValueExA(key->handle, value_name, 0, REG_SZ, static_cast<const BYTE*>(data),
                          static_cast<DWORD>(size)) == ERROR_SUCCESS;
}

void close_settings_key(settings_key* key) {
    if (key == nullptr) return;
    RegCloseKey(key->handle);
    delete key;
}

// The registry path is named in the product's own documentation.
std::string settings_value_file(const char*, const char*) { return ""; }

}  // namespace platform
