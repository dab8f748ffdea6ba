// Audio files through libsndfile: any format it reads, in frames of
// interleaved 32-bit floats; written as 32-bit float WAV.
#pragma once

#include <sndfile.h>

#include <string>

namespace tessvane::host {

class audio_reader {
public:
    // Throws std::runtime_error naming the file and libsndfile's reason.
    explicit audio_reader(const std::string& path);
    ~audio_reader();
    audio_reader(const audio_reader&) = delete;
    audio_reader& operator=(const audio_reader&) = delete;

    int channels() const { return info_.channels; }
    int sample_rate() const { return info_.samplerate; }
    sf_count_t frames() const { return info_.frames; }
    // Reads up to frames frames; answers how many it read (0 at the end).
    sf_count_t read(float* interleaved, sf_count_t frames);

private:
    SF_INFO info_{};
    SNDFILE* file_;
};

class audio_writer {
public:
    audio_writer(const std::string& path, int channels, int sample_rate);
    ~audio_writer();
    audio_writer(const audio_writer&) = delete;
    audio_writer& operator=(const audio_writer&) = delete;

    // Throws std::runtime_error when the file takes fewer frames (disk full).
    void write(const float* interleaved, sf_count_t frames);
    // Flushes and closes; throws when that fails.
    void close();

private:
    std::string path_;
    SNDFILE* file_;
};

}  // namespace tessvane::host
