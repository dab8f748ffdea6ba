// Loading the built plug-in as a host would, with its settings and messages
// redirected into a throwaway folder.
#pragma once

#include "magnitude_response.h"

#include <memory>
#include <string>
#include <vector>

#include "plugin_loader.h"

// Per-test folder: XDG_CONFIG_HOME/XDG_CONFIG_DIRS and TESSVANE_MESSAGE_LOG
// point into it. The per-user "Latency" value is written when given.
class e2e_sandbox {
public:
    explicit e2e_sandbox(const std::string& user_latency);
    ~e2e_sandbox();
    // Lines "caption\ttext" the plug-in showed so far.
    std::vector<std::string> messages() const;

private:
    std::string root_;
};

std::unique_ptr<tessvane::host::loaded_plugin> load_plugin(tessvane::host::host_settings settings = {});

// Impulse response of channel 0 once the IR worker has had time to finish.
std::vector<float> impulse_response(tessvane::host::loaded_plugin& plugin, int length, int block);

