// Throwaway per-user and machine-wide settings hives for the life of the
// object, so no test touches the real user's settings: on Linux fresh XDG
// config folders, on Windows scratch registry keys standing in for
// HKEY_CURRENT_USER and HKEY_LOCAL_MACHINE in this process (a plug-in loaded
// into it reads them too). Values are written raw, as the plug-in would find
// them. One sandbox at a time.
#pragma once

#include <memory>
#include <string>

class settings_sandbox {
public:
    // A non-empty user_latency is written as the per-user value at once.
    explicit settings_sandbox(const std::string& user_latency = "");
    ~settings_sandbox();
    settings_sandbox(const settings_sandbox&) = delete;
    settings_sandbox& operator=(const settings_sandbox&) = delete;

    void set_user_latency(const std::string& bytes);
    void set_machine_latency(const std::string& bytes);
    // Leaves neither hive with a "Latency" value or its key.
    void remove_latency();
    std::string user_latency() const;  // empty when absent

private:
    struct hives;
    std::unique_ptr<hives> hives_;
};
