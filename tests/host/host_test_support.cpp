#include "host_test_support.h"

#include <sndfile.h>
#include <sys/wait.h>

#include <unistd.h>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

namespace tessvane::host::testing {
namespace {

// Appended piecewise: GCC 12 warns falsely about " " + std::string.
void append_quoted(std::string& command, const std::string& argument) {
    command += " '";
    for (char c : argument) {
        if (c == '\'')
            command += "'\\''";
        else
            command += c;
    }
    command += '\'';
}

std::string file_text(const std::filesystem::path& path) {
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

}  // namespace

host_run run_host(const std::vector<std::string>& arguments, const std::string& environment) {
    return run_program(TESSVANE_HOST, arguments, environment);
}

host_run run_program(const std::string& program, const std::vector<std::string>& arguments,
                     const std::string& environment) {
    const temp_folder capture;
    std::string command = environment;
    append_quoted(command, program);
    for (const auto& argument : arguments) append_quoted(command, argument);
    command += " >";
    append_quoted(command, capture.file("out"));
    command += " 2>";
    append_quoted(command, capture.file("err"));
    command += " </dev/null";
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, file_text(capture.file("out")),
            file_text(capture.file("err"))};
}

temp_folder::temp_folder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tessvane-host-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot make a temporary folder");
    path_ = pattern;
}

temp_folder::~temp_folder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

void write_audio(const std::string& path, const audio& content) {
    SF_INFO info{};
    info.channels = content.channels;
    info.samplerate = content.sample_rate;
    info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (file == nullptr) throw std::runtime_error("cannot write " + path);
    sf_writef_float(file, content.samples.data(), static_cast<sf_count_t>(content.frames()));
    sf_close(file);
}

audio read_audio(const std::string& path) {
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (file == nullptr) throw std::runtime_error("cannot read " + path);
    audio content{info.channels, info.samplerate, std::vector<float>(info.frames * info.channels)};
    sf_readf_float(file, content.samples.data(), info.frames);
    sf_close(file);
    return content;
}

audio impulse(int channels, std::size_t frames, std::size_t impulse_frame, int sample_rate) {
    audio content{channels, sample_rate, std::vector<float>(frames * channels)};
    for (int channel = 0; channel < channels; ++channel) content.samples[impulse_frame * channels + channel] = 1.0f;
    return content;
}

audio noise(int channels, std::size_t frames, int sample_rate) {
    audio content{channels, sample_rate, std::vector<float>(frames * channels)};
    std::minstd_rand generator(7);
    std::uniform_real_distribution<float> sample(-0.5f, 0.5f);
    for (auto& value : content.samples) value = sample(generator);
    return content;
}

}  // namespace tessvane::host::testing
