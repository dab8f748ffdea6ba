// Points HKEY_CURRENT_USER and HKEY_LOCAL_MACHINE of this process at two
// fresh keys for the life of the object, so no test touches the real
// settings, and deletes them afterwards.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "platform/settings_store.h"

class temporary_registry_hives {
public:
    temporary_registry_hives() {
        static int instances = 0;
        root_ =
            std::string(tests_key) + "\\" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++instances);
        user_ = create(HKEY_CURRENT_USER, root_ + "\\user");
        machine_ = create(HKEY_CURRENT_USER, root_ + "\\machine");
        RegOverridePredefKey(HKEY_CURRENT_USER, user_);
        RegOverridePredefKey(HKEY_LOCAL_MACHINE, machine_);
    }
    ~temporary_registry_hives() {
        RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
        RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
        RegCloseKey(user_);
        RegCloseKey(machine_);
        RegDeleteTreeA(HKEY_CURRENT_USER, root_.c_str());
        RegDeleteKeyA(HKEY_CURRENT_USER, tests_key);  // unless other runs still use it
    }
    temporary_registry_hives(const temporary_registry_hives&) = delete;
    temporary_registry_hives& operator=(const temporary_registry_hives&) = delete;

    bool overrides_work() const { return user_ != nullptr && machine_ != nullptr; }

    void create_key(platform::settings_hive hive, const char* key_path) const {
        RegCloseKey(create(root(hive), key_path));
    }

    // Stores exactly bytes as `value` of `key_path`, creating the key.
    void put(platform::settings_hive hive, const char* key_path, const char* value, std::string_view bytes,
             DWORD type = REG_SZ) const {
        const HKEY key = create(root(hive), key_path);
        const std::string guarded = unterminated(bytes);
        RegSetValueExA(key, value, 0, type, reinterpret_cast<const BYTE*>(guarded.data()),
                       static_cast<DWORD>(bytes.size()));
        RegCloseKey(key);
    }

    // The ANSI registry calls count a zero byte right after a REG_SZ's given
    // bytes in as its terminator (so does Windows itself); a copy followed by
    // another byte is stored as given.
    static std::string unterminated(std::string_view bytes) { return std::string(bytes) + 'x'; }

    struct stored {
        DWORD type = REG_NONE;
        std::string bytes;
        bool operator==(const stored&) const = default;
    };
    // The value as the registry keeps it; type REG_NONE when it is missing.
    stored get(platform::settings_hive hive, const char* key_path, const char* value) const {
        HKEY key = nullptr;
        if (RegOpenKeyExA(root(hive), key_path, 0, KEY_READ, &key) != ERROR_SUCCESS) return {};
        stored s;
        DWORD size = 0;
        if (RegQueryValueExA(key, value, nullptr, &s.type, nullptr, &size) == ERROR_SUCCESS) {
            s.bytes.resize(size);
            RegQueryValueExA(key, value, nullptr, &s.type, reinterpret_cast<BYTE*>(s.bytes.data()), &size);
            s.bytes.resize(size);
        }
        RegCloseKey(key);
        return s;
    }

private:
    static constexpr const char* tests_key = "Software\\Tessvane tests";

    static HKEY create(HKEY parent, const std::string& path) {
        HKEY key = nullptr;
        RegCreateKeyExA(parent, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr);
        return key;
    }
    HKEY root(platform::settings_hive hive) const {
        return hive == platform::settings_hive::per_user ? user_ : machine_;
    }

    std::string root_;
    HKEY user_ = nullptr;
    HKEY machine_ = nullptr;
};
