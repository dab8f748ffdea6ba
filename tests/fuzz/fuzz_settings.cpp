#include "fuzz_settings.h"

#include <stdlib.h>

#include <filesystem>
#include <fstream>

#include "platform/message_box.h"

namespace fs = std::filesystem;

fuzz_settings::fuzz_settings() {
    char pattern[] = "/tmp/tessvane-fuzz-XXXXXX";
    root_ = mkdtemp(pattern);
    const fs::path value = fs::path(root_) / "user" / "Ravelthorpe" / "Tessvane LE" / "Latency";
    fs::create_directories(value.parent_path());
    std::ofstream(value) << "512";
    setenv("XDG_CONFIG_HOME", (root_ + "/user").c_str(), 1);
    setenv("XDG_CONFIG_DIRS", (root_ + "/machine").c_str(), 1);
    platform::set_message_sink([](const platform::message&) {});
}

fuzz_settings::~fuzz_settings() {
    platform::flush_posted_messages();
    platform::set_message_sink({});
    std::error_code ignored;
    fs::remove_all(root_, ignored);
}
