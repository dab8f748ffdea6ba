#include "dsp/convolution_job.h"

#include <algorithm>
#include <climits>

#include "dsp/convolution_buffers.h"

namespace dsp {

namespace {

// Bins in a chunk of a product: about the work of a transform's piece.
constexpr int product_chunk_bins = 1024;

int pieces_of(dsp_fft_progress& progress, float* buf, const dsp_fft_spec* fft, void* work) {
    int left = 0;
    dsp_fft_resume_ccs_inplace(buf, fft, work, &progress, 0, &left);
    return left;
}

int pieces_of_transform(int direction, float* buf, const dsp_fft_spec* fft, void* work) {
    dsp_fft_progress progress{};
    dsp_fft_start(&progress, direction);
    return pieces_of(progress, buf, fft, work);
}

}  // namespace

void convolution_job::begin(const convolution_buffers& buffers, const dsp_fft_spec* fft, void* work, int slot,
                            int sum) {
    buffers_ = &buffers;
    fft_ = fft;
    work_ = work;
    slot_ = slot;
    sum_ = sum;
    chunks_ = std::max(1, buffers.spectrum_length / 2 / product_chunk_bins);
    forward_pieces_ = pieces_of_transform(DSP_FFT_FORWARD, block(0), fft, work);
    inverse_pieces_ = pieces_of_transform(DSP_FFT_INVERSE, this->sum(0), fft, work);
    units_ = buffers.channel_count * (forward_pieces_ + chunks_ * buffers.partition_count + inverse_pieces_);
    done_ = 0;
    channel_ = 0;
    enter(phase::forward);
}

void convolution_job::abandon() {
    phase_ = phase::idle;
    done_ = units_;
}

float* convolution_job::block(int channel) const { return buffers_->input_spectra[channel][slot_]; }

float* convolution_job::sum(int channel) const { return buffers_->sums[channel][sum_]; }

void convolution_job::enter(phase next) {
    phase_ = next;
    products_done_ = 0;
    if (next == phase::forward || next == phase::inverse) {
        dsp_fft_start(&transform_, next == phase::forward ? DSP_FFT_FORWARD : DSP_FFT_INVERSE);
        pieces_left_ = pieces_of(transform_, next == phase::forward ? block(channel_) : sum(channel_), fft_, work_);
    }
}

void convolution_job::run_until(long long target) {
    while (done_ < target && phase_ != phase::idle) {
        const int budget = static_cast<int>(std::min<long long>(target - done_, INT_MAX));
        int did = 0;
        switch (phase_) {
            case phase::idle: break;
            case phase::forward:
                did = run_transform(block(channel_), budget);
                if (pieces_left_ == 0) enter(phase::products);
                break;
            case phase::products:
                did = run_products(budget);
                if (products_done_ == chunks_ * buffers_->partition_count) enter(phase::inverse);
                break;
            case phase::inverse:
                did = run_transform(sum(channel_), budget);
                if (pieces_left_ != 0) break;
                if (++channel_ < buffers_->channel_count) {
                    enter(phase::forward);
                } else {
                    phase_ = phase::idle;
                }
                break;
        }
        done_ += did;
        done_in_all_ += did;
    }
}

int convolution_job::run_transform(float* buf, int budget) {
    int left = 0;
    dsp_fft_resume_ccs_inplace(buf, fft_, work_, &transform_, budget, &left);
    const int did = pieces_left_ - left;
    pieces_left_ = left;
    return did;
}

// Chunk by chunk, every partition's product into the chunk of the sum, so
// that the chunk stays in cache; partition j multiplies the spectrum of the
// block j blocks older than this one.
int convolution_job::run_products(int budget) {
    const convolution_buffers& b = *buffers_;
    const int bins = b.spectrum_length / 2, total = chunks_ * b.partition_count;
    int did = 0;
    for (; did < budget && products_done_ < total; ++did, ++products_done_) {
        const int chunk = products_done_ / b.partition_count, j = products_done_ % b.partition_count;
        const int first = chunk * product_chunk_bins;
        const int count = chunk == chunks_ - 1 ? bins - first : product_chunk_bins;
        const float* spectrum = b.input_spectra[channel_][(slot_ - j + b.slot_count) % b.slot_count] + 2 * first;
        const float* partition = b.active[channel_][j] + 2 * first;
        float* target = sum(channel_) + 2 * first;
        if (j == 0) {
            dsp_complex_mul(spectrum, partition, target, count);
        } else {
            dsp_complex_mul_add(spectrum, partition, target, count);
        }
    }
    return did;
}

}  // namespace dsp
