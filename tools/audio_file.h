// Audio files through libsndfile: any format it reads, in frames of
// interleaved 32-bit floats; written as WAV in a sample format of the
// caller's choice.
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
    // Its sample format, as libsndfile's SF_FORMAT_PCM_16 etc.
    int sample_format() const { return info_.format & SF_FORMAT_SUBMASK; }
    // Reads up to frames frames; answers how many it read (0 at the end).
    sf_count_t read(float* interleaved, sf_count_t frames);

private:
    SF_INFO info_{};
    SNDFILE* file_;
};

class audio_writer {
public:
    // In sample_format where WAV holds it, else in 32-bit float. Integer
    // samples beyond full scale are clipped.
    audio_writer(const std::string& path, int channels, int sample_rate, int sample_format = SF_FORMAT_FLOAT);
    ~audio_writer();
    audio_writer(const audio_writer&) = delete;
    audio_writer& operator=(const audio_writer&) = delete;

    // Throws std::runtime_error when the file takes fewer frames (disk full).
    void write(const float* interleaved, sf_count_t frames);
    // Flushes and closes; throws when that fails.
    void close();
    bool is_float() const { return float_; }

private:
    std::string path_;
    SNDFILE* file_;
    bool float_;
};

}  // namespace tessvane::host
