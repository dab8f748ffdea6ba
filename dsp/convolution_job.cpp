#include "dsp/convolution_job.h"

#include <algorithm>
#include <climits>

#include "dsp/convolution_buffers.h"

namespace dsp {

namespace {

// Bins in a chunk of the products, over every partition, and samples in a
// chunk of the overlap-add: about the memory traffic of a transform's piece.
constexpr int product_chunk_bins = 1024;
constexpr int overlap_chunk_samples = 4096;

int chunks_of(int count, int chunk) { return std::max(1, count / chunk); }

// A transform started with the active set, its pieces counted: by the
// first resume, unless `counted` was started the same way.
void start(dsp_fft_progress& counted, int direction, float* buf, const dsp_fft_spec* fft, void* work) {
    dsp_fft_progress progress{};
    dsp_fft_start(&progress, direction);
    if (progress.resume == counted.resume) return;
    int left = 0;
    dsp_fft_resume_ccs_inplace(buf, fft, work, &progress, 0, &left);
    counted = progress;
}

}  // namespace

void convolution_job::begin(const convolution_buffers& buffers, const dsp_fft_spec* fft, void* work, int slot, int sum,
                            int tail) {
    buffers_ = &buffers;
    work_ = work;
    slot_ = slot;
    sum_ = sum;
    tail_ = tail;
    chunks_ = chunks_of(buffers.block_length + 1, product_chunk_bins);
    overlap_chunks_ = chunks_of(buffers.block_length, overlap_chunk_samples);
    // The counts hold for one setup and one variant set.
    if (fft != fft_) forward_ = inverse_ = dsp_fft_progress{};
    fft_ = fft;
    start(forward_, DSP_FFT_FORWARD, block(0), fft, work);
    start(inverse_, DSP_FFT_INVERSE, this->sum(0), fft, work);
    units_ = buffers.channel_count * (forward_.pieces_left + chunks_ + inverse_.pieces_left + overlap_chunks_);
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
    chunks_done_ = 0;
    if (next == phase::forward) transform_ = forward_;
    if (next == phase::inverse) transform_ = inverse_;
}

void convolution_job::run_until(long long target) {
    while (done_ < target && phase_ != phase::idle) {
        const int budget = static_cast<int>(std::min<long long>(target - done_, INT_MAX));
        int did = 0;
        switch (phase_) {
            case phase::idle: break;
            case phase::forward:
                did = run_transform(block(channel_), budget);
                if (transform_.pieces_left == 0) enter(phase::products);
                break;
            case phase::products:
                did = run_products(budget);
                if (chunks_done_ == chunks_) enter(phase::inverse);
                break;
            case phase::inverse:
                did = run_transform(sum(channel_), budget);
                if (transform_.pieces_left == 0) enter(phase::overlap);
                break;
            case phase::overlap:
                did = run_overlap(budget);
                if (chunks_done_ < overlap_chunks_) break;
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
    const int before = transform_.pieces_left;
    int left = 0;
    dsp_fft_resume_ccs_inplace(buf, fft_, work_, &transform_, budget, &left);
    return before - left;
}

// Chunk by chunk, the sum of every partition's product, written once;
// partition j multiplies the spectrum of the block j blocks older than this
// one.
int convolution_job::run_products(int budget) {
    const convolution_buffers& b = *buffers_;
    const int bins = b.block_length + 1;
    int did = 0;
    for (; did < budget && chunks_done_ < chunks_; ++did, ++chunks_done_) {
        const int first = chunks_done_ * product_chunk_bins;
        const int count = chunks_done_ == chunks_ - 1 ? bins - first : product_chunk_bins;
        const float* spectra[response_partitions];
        const float* partitions[response_partitions];
        for (int j = 0; j < b.partition_count; ++j) {
            spectra[j] = b.input_spectra[channel_][(slot_ - j + b.slot_count) % b.slot_count] + 2 * first;
            partitions[j] = b.active[channel_][j] + 2 * first;
        }
        dsp_complex_mul_sum(spectra, partitions, b.partition_count, sum(channel_) + 2 * first, count);
    }
    return did;
}

// The previous block's tail into the first half of this block's sum, and
// the zero padding of the block after this one, which is being collected in
// the next slot: its old spectrum is no job's any more.
int convolution_job::run_overlap(int budget) {
    const convolution_buffers& b = *buffers_;
    const int block_length = b.block_length;
    const float* tail = b.sums[channel_][tail_] + block_length;
    float* padding = b.input_spectra[channel_][(slot_ + 1) % b.slot_count] + block_length;
    int did = 0;
    for (; did < budget && chunks_done_ < overlap_chunks_; ++did, ++chunks_done_) {
        const int first = chunks_done_ * overlap_chunk_samples;
        const int count = chunks_done_ == overlap_chunks_ - 1 ? block_length - first : overlap_chunk_samples;
        dsp_add_inplace(tail + first, sum(channel_) + first, count);
        dsp_set(0.0f, padding + first, count);
    }
    return did;
}

}  // namespace dsp
