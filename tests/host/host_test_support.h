// Shared by the host's tests: running the built tessvane-host (and other programs), temporary
// folders, and audio files written and read with libsndfile.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace tessvane::host::testing {

struct host_run {
    int status;
    std::string out;
    std::string err;
};

// Runs tessvane-host with these arguments, stdout and stderr captured to
// files (so neither is a terminal). environment is put before the command,
// as in "NAME=value".
host_run run_host(const std::vector<std::string>& arguments, const std::string& environment = "");
// The same for any program, found through PATH when it has no folder.
host_run run_program(const std::string& program, const std::vector<std::string>& arguments,
                     const std::string& environment = "");

class temp_folder {
public:
    temp_folder();
    ~temp_folder();
    temp_folder(const temp_folder&) = delete;
    temp_folder& operator=(const temp_folder&) = delete;
    std::string file(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

struct audio {
    int channels;
    int sample_rate;
    std::vector<float> samples;  // interleaved
    std::size_t frames() const { return samples.size() / channels; }
    float at(std::size_t frame, int channel) const { return samples[frame * channels + channel]; }
};

void write_audio(const std::string& path, const audio& content);
audio read_audio(const std::string& path);

// frames of channels, zero but for an impulse of 1 at impulse_frame.
audio impulse(int channels, std::size_t frames, std::size_t impulse_frame, int sample_rate = 48000);
// Deterministic noise, different on each channel.
audio noise(int channels, std::size_t frames, int sample_rate = 48000);

}  // namespace tessvane::host::testing
