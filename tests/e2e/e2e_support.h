// Loading the built plug-in as a host would, with its settings in throwaway
// hives and its messages redirected into a file.
#pragma once

#include "../support/magnitude_response.h"  // not the host tool's namesake
#include "settings_sandbox.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "plugin_loader.h"

// Per-test settings (the per-user "Latency" value written when given) and a
// message log that TESSVANE_MESSAGE_LOG points at.
class e2e_sandbox {
public:
    explicit e2e_sandbox(const std::string& user_latency);
    ~e2e_sandbox();
    settings_sandbox& settings() { return settings_; }
    // Lines "caption\ttext" the plug-in showed so far.
    std::vector<std::string> messages() const;

private:
    settings_sandbox settings_;
    std::filesystem::path log_;
};

std::unique_ptr<tessvane::host::loaded_plugin> load_plugin(tessvane::host::host_settings settings = {});

// Impulse response of channel 0 after a suspend and resume, which puts the
// response for the current settings in place.
std::vector<float> impulse_response(tessvane::host::loaded_plugin& plugin, int length, int block);
// Both channels' responses to an impulse into the left, and into the right too when asked.
std::vector<std::vector<float>> impulse_responses(tessvane::host::loaded_plugin& plugin, int length, int block,
                                                  bool into_right);
