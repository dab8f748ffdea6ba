#include "settings_sandbox.h"

#include <stdexcept>

#include "temporary_registry_hives.h"

namespace {

const char* const product_key = "SOFTWARE\\Ravelthorpe\\Tessvane LE";

}  // namespace

struct settings_sandbox::hives {
    temporary_registry_hives registry;
};

settings_sandbox::settings_sandbox(const std::string& user_latency) : hives_(std::make_unique<hives>()) {
    if (!hives_->registry.overrides_work()) throw std::runtime_error("the registry hives cannot be overridden");
    if (!user_latency.empty()) set_user_latency(user_latency);
}

settings_sandbox::~settings_sandbox() = default;

void settings_sandbox::set_user_latency(const std::string& bytes) {
    hives_->registry.put(platform::settings_hive::per_user, product_key, "Latency", bytes);
}

void settings_sandbox::set_machine_latency(const std::string& bytes) {
    hives_->registry.put(platform::settings_hive::machine_wide, product_key, "Latency", bytes);
}

void settings_sandbox::remove_latency() {
    // The predefined keys stand for the scratch ones here.
    RegDeleteTreeA(HKEY_CURRENT_USER, "SOFTWARE\\Ravelthorpe");
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Ravelthorpe");
}

std::string settings_sandbox::user_latency() const {
    return hives_->registry.get(platform::settings_hive::per_user, product_key, "Latency").bytes;
}
