#include "settings_sandbox.h"

#include "temporary_config_folders.h"

namespace {

const char* const product_folder = "Ravelthorpe/Tessvane LE";

}  // namespace

struct settings_sandbox::hives {
    temporary_config_folders folders;
};

settings_sandbox::settings_sandbox(const std::string& user_latency) : hives_(std::make_unique<hives>()) {
    if (!user_latency.empty()) set_user_latency(user_latency);
}

settings_sandbox::~settings_sandbox() = default;

void settings_sandbox::set_user_latency(const std::string& bytes) {
    temporary_config_folders::put(hives_->folders.user_root() / product_folder, "Latency", bytes);
}

void settings_sandbox::set_machine_latency(const std::string& bytes) {
    temporary_config_folders::put(hives_->folders.machine_root() / product_folder, "Latency", bytes);
}

void settings_sandbox::remove_latency() {
    std::filesystem::remove_all(hives_->folders.user_root() / "Ravelthorpe");
    std::filesystem::remove_all(hives_->folders.machine_root() / "Ravelthorpe");
}

std::string settings_sandbox::user_latency() const {
    return temporary_config_folders::contents(hives_->folders.user_root() / product_folder / "Latency");
}
