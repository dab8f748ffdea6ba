#include "audio_file.h"

#include <stdexcept>

namespace tessvane::host {

audio_reader::audio_reader(const std::string& path) : file_(sf_open(path.c_str(), SFM_READ, &info_)) {
    if (file_ == nullptr) throw std::runtime_error("cannot read " + path + ": " + sf_strerror(nullptr));
    if (info_.channels < 1 || info_.samplerate < 1) {
        sf_close(file_);
        throw std::runtime_error("cannot read " + path + ": no audio channels or no sample rate");
    }
}

audio_reader::~audio_reader() { sf_close(file_); }

sf_count_t audio_reader::read(float* interleaved, sf_count_t frames) {
    return sf_readf_float(file_, interleaved, frames);
}

audio_writer::audio_writer(const std::string& path, int channels, int sample_rate, int sample_format) : path_(path) {
    SF_INFO info{};
    info.channels = channels;
    info.samplerate = sample_rate;
    info.format = SF_FORMAT_WAV | sample_format;
    if (!sf_format_check(&info)) info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
    float_ =
        (info.format & SF_FORMAT_SUBMASK) == SF_FORMAT_FLOAT || (info.format & SF_FORMAT_SUBMASK) == SF_FORMAT_DOUBLE;
    file_ = sf_open(path.c_str(), SFM_WRITE, &info);
    if (file_ == nullptr) throw std::runtime_error("cannot write " + path + ": " + sf_strerror(nullptr));
    // Without it, libsndfile wraps overs round in integer formats.
    sf_command(file_, SFC_SET_CLIPPING, nullptr, SF_TRUE);
}

audio_writer::~audio_writer() {
    if (file_ != nullptr) sf_close(file_);
}

void audio_writer::write(const float* interleaved, sf_count_t frames) {
    if (sf_writef_float(file_, interleaved, frames) != frames)
        throw std::runtime_error("cannot write " + path_ + ": " + sf_strerror(file_));
}

void audio_writer::close() {
    SNDFILE* file = file_;
    file_ = nullptr;
    if (sf_close(file) != 0) throw std::runtime_error("cannot finish " + path_);
}

}  // namespace tessvane::host
