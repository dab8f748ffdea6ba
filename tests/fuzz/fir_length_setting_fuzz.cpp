// Any bytes as the stored "Latency" value, per-user, machine-wide, both or
// neither, or a folder where the file belongs: the reader answers -1 to
// 131071, or throws its "Registry settings loading error #n" and nothing else.
#include <fuzzer/FuzzedDataProvider.h>

#include <stdlib.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include "settings/fir_length_setting.h"

namespace fs = std::filesystem;

namespace {

struct settings_folders {
    fs::path root;
    fs::path user_value;
    fs::path machine_value;

    settings_folders() {
        char pattern[] = "/tmp/tessvane-fuzz-settings-XXXXXX";
        root = mkdtemp(pattern);
        user_value = root / "user" / "Ravelthorpe" / "Tessvane LE" / "Latency";
        machine_value = root / "machine" / "Ravelthorpe" / "Tessvane LE" / "Latency";
        fs::create_directories(user_value.parent_path());
        fs::create_directories(machine_value.parent_path());
        setenv("XDG_CONFIG_HOME", (root / "user").c_str(), 1);
        setenv("XDG_CONFIG_DIRS", (root / "machine").c_str(), 1);
    }
    ~settings_folders() {
        std::error_code ignored;
        fs::remove_all(root, ignored);
    }
};

void store(const fs::path& value, const std::string& bytes) {
    std::ofstream(value, std::ios::binary | std::ios::trunc) << bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static settings_folders folders;
    std::error_code ignored;
    fs::remove_all(folders.user_value, ignored);
    fs::remove_all(folders.machine_value, ignored);

    FuzzedDataProvider in(data, size);
    const int layout = in.ConsumeIntegralInRange<int>(0, 4);
    const std::string bytes = in.ConsumeRemainingBytesAsString();
    switch (layout) {
        case 0: break;
        case 1: store(folders.user_value, bytes); break;
        case 2: store(folders.machine_value, bytes); break;
        case 3:
            store(folders.user_value, bytes);
            store(folders.machine_value, bytes.substr(bytes.size() / 2));
            break;
        case 4:
            fs::create_directories(folders.user_value);
            store(folders.machine_value, bytes);
            break;
    }

    try {
        const int length = settings::read_fir_length_setting();
        if (length < -1 || length > 131071) std::abort();
    } catch (const std::runtime_error& e) {
        if (std::strncmp(e.what(), "Registry settings loading error #", 33) != 0) std::abort();
    }
    return 0;
}
