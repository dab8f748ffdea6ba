#include "e2e_support.h"

#include <cstdlib>
#include <fstream>
#include <random>

using tessvane::host::loaded_plugin;

e2e_sandbox::e2e_sandbox(const std::string& user_latency)
    : settings_(user_latency),
      log_(std::filesystem::temp_directory_path() /
           ("tessvane-e2e-messages-" + std::to_string(std::random_device{}()))) {
    setenv("TESSVANE_MESSAGE_LOG", log_.string().c_str(), 1);
}

e2e_sandbox::~e2e_sandbox() {
    unsetenv("TESSVANE_MESSAGE_LOG");
    std::error_code ignored;
    std::filesystem::remove(log_, ignored);
}

std::vector<std::string> e2e_sandbox::messages() const {
    std::vector<std::string> lines;
    std::ifstream in(log_);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

std::unique_ptr<loaded_plugin> load_plugin(tessvane::host::host_settings settings) {
    auto plugin = loaded_plugin::load(TESSVANE_PLUGIN_PATH, std::move(settings));
    plugin->start(44100.0f, 4096);
    return plugin;
}

std::vector<float> impulse_response(loaded_plugin& plugin, int length, int block) {
    return impulse_responses(plugin, length, block, true)[0];
}

std::vector<std::vector<float>> impulse_responses(loaded_plugin& plugin, int length, int block, bool into_right) {
    // The resume carries out any redesign still pending.
    plugin.flush();
    std::vector<float> in_l(length), in_r(length), out_l(length), out_r(length);
    in_l[0] = 1.0f;
    in_r[0] = into_right ? 1.0f : 0.0f;
    for (int done = 0; done < length; done += block) {
        const int n = std::min(block, length - done);
        float* in[] = {in_l.data() + done, in_r.data() + done};
        float* out[] = {out_l.data() + done, out_r.data() + done};
        plugin.process(in, out, n);
    }
    return {out_l, out_r};
}
