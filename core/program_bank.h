// The bank of 48 programs, each a name and the 27 normalised values, and
// the M/S plug-in's five placements in bytes that used to be reserved (zero,
// Stereo, in every chunk the stereo plug-in saved). The
// records are also the chunk image, byte for byte, with no header, count or
// checksum: what VST 2.x hosts have saved since the first version, and what
// every other front-end's state carries.
//
// Threads: values are read by the audio thread while another thread may
// write them, so every value goes through an atomic view; the current
// program's index is atomic too.
#pragma once

#include <atomic>
#include <bit>
#include <cstddef>
#include <memory>

#include "dsp/eq_layout.h"

namespace core {

inline constexpr int program_count = 48;

struct program_record {
    char program_name[24];
    float values[dsp::control_count];   // little-endian IEEE-754, index order
    float placements[dsp::band_count];  // the controls after the 27, the same way
    unsigned char reserved[380];

    // Any control, placements included.
    float value(int index) const {
        return std::atomic_ref<float>(const_cast<program_record*>(this)->slot(index)).load(std::memory_order_relaxed);
    }
    void set_value(int index, float v) { std::atomic_ref<float>(slot(index)).store(v, std::memory_order_relaxed); }

private:
    float& slot(int index) {
        return index < dsp::control_count ? values[index] : placements[index - dsp::control_count];
    }
};

static_assert(std::endian::native == std::endian::little, "chunks are little-endian images");
static_assert(sizeof(program_record) == 532);
static_assert(offsetof(program_record, values) == 24);
static_assert(offsetof(program_record, placements) == 132);
static_assert(offsetof(program_record, reserved) == 152);

inline constexpr int program_image_size = static_cast<int>(sizeof(program_record));
inline constexpr int bank_image_size = program_count * program_image_size;
static_assert(bank_image_size == 25536);

class program_bank {
public:
    // Every program "Default" with the default values.
    program_bank();

    int current() const { return current_.load(std::memory_order_relaxed); }
    // A program in range becomes the current one.
    void select(int program) { current_.store(program, std::memory_order_relaxed); }
    // The current program's record, remembered as the one the bands read.
    program_record* refresh_current() const;
    // The record remembered by the last refresh.
    const program_record* last_refreshed() const { return refreshed_.load(std::memory_order_relaxed); }
    const program_record& at(int program) const { return records_[program]; }

    // The current program's name; at most 23 characters are kept.
    void rename_current(const char* name);
    // A name restored from an image may fill all 24 bytes: out gets a zero after it.
    void name_of(int program, char (&out)[sizeof(program_record::program_name) + 1]) const;

    // The images handed to hosts are the records themselves.
    const void* bank_image() const { return records_.get(); }
    const void* program_image() const { return refresh_current(); }
    // Copies an image of exactly the right size in; false (nothing copied) otherwise.
    bool load_bank_image(const void* image, std::size_t size);
    bool load_program_image(const void* image, std::size_t size);

private:
    std::unique_ptr<program_record[]> records_;
    std::atomic<int> current_{0};
    mutable std::atomic<program_record*> refreshed_{nullptr};
};

}  // namespace core
