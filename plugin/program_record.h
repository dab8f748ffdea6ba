// One program: a name and the 27 normalised parameter values. The record is
// also the chunk format, byte for byte: no header, count or checksum.
#pragma once

#include <atomic>
#include <bit>
#include <cstddef>

#include "dsp/eq_layout.h"

constexpr int kNumPrograms = 48;
constexpr int kNumParams = dsp::control_count;

struct program_record {
    char program_name[24];
    float values[kNumParams];  // little-endian IEEE-754, index order
    unsigned char reserved[400];

    // Values are read by the audio thread while another
    // thread may write them, so every access goes through an atomic view.
    float value(int index) const {
        return std::atomic_ref<float>(const_cast<float&>(values[index])).load(std::memory_order_relaxed);
    }
    void set_value(int index, float v) { std::atomic_ref<float>(values[index]).store(v, std::memory_order_relaxed); }
};

static_assert(std::endian::native == std::endian::little, "chunks are little-endian images");
static_assert(sizeof(program_record) == 532);
static_assert(offsetof(program_record, values) == 24);
static_assert(offsetof(program_record, reserved) == 132);

constexpr int kProgramChunkSize = static_cast<int>(sizeof(program_record));
constexpr int kBankChunkSize = kNumPrograms * kProgramChunkSize;
static_assert(kBankChunkSize == 25536);

// Writes "Default" and the default values; the other name bytes and the
// reserved bytes are left as they are.
void make_default_program(program_record& record);

// Copies a record image (from a chunk) into a live record.
void copy_program_image(program_record& target, const unsigned char* image);
