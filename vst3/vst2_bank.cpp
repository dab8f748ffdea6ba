#include "vst3/vst2_bank.h"

#include <cstdint>

#include "core/product.h"
#include "core/program_bank.h"

namespace vst3 {

namespace {

constexpr std::uint32_t four_cc(const char (&s)[5]) {
    return std::uint32_t(static_cast<unsigned char>(s[0])) << 24 |
           std::uint32_t(static_cast<unsigned char>(s[1])) << 16 |
           std::uint32_t(static_cast<unsigned char>(s[2])) << 8 | std::uint32_t(static_cast<unsigned char>(s[3]));
}

// Reads big-endian words from a span; every read past its end fails.
class reader {
public:
    reader(const unsigned char* data, std::size_t size) : data_(data), size_(size) {}
    bool word(std::uint32_t& v) {
        if (size_ - pos_ < 4) return false;
        v = 0;
        for (int i = 0; i < 4; ++i) v = v << 8 | data_[pos_++];
        return true;
    }
    bool skip(std::size_t n) {
        if (size_ - pos_ < n) return false;
        pos_ += n;
        return true;
    }
    std::size_t left() const { return size_ - pos_; }
    const unsigned char* here() const { return data_ + pos_; }

private:
    const unsigned char* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

}  // namespace

bool read_vst2_bank(const unsigned char* data, std::size_t size, std::int32_t unique_id, vst2_bank& out) {
    if (!data) return false;
    reader in(data, size);
    std::uint32_t id = 0, header_size = 0, version = 0, bypass = 0;
    if (!in.word(id)) return false;
    bool bypassed = false;
    if (id == four_cc("VstW")) {
        // The header's size counts what follows it: its version and the bypass.
        if (!in.word(header_size) || header_size < 8 || !in.word(version) || !in.word(bypass)) return false;
        if (!in.skip(header_size - 8) || !in.word(id)) return false;
        bypassed = bypass != 0;
    }
    std::uint32_t byte_size = 0, fx_magic = 0, bank_version = 0, fx_id = 0, fx_version = 0, programs = 0;
    if (id != four_cc("CcnK") || !in.word(byte_size) || byte_size != in.left()) return false;
    if (!in.word(fx_magic) || fx_magic != four_cc("FBCh")) return false;
    if (!in.word(bank_version) || !in.word(fx_id) || !in.word(fx_version) || !in.word(programs)) return false;
    if (fx_id != static_cast<std::uint32_t>(unique_id)) return false;
    // Version 2 keeps the current program in the first word of the 128
    // reserved bytes; version 1 keeps nothing there.
    std::uint32_t program = 0;
    if (!in.word(program) || !in.skip(124)) return false;
    if (bank_version < 2) program = 0;
    std::uint32_t chunk_size = 0;
    if (!in.word(chunk_size) || chunk_size != static_cast<std::uint32_t>(core::bank_image_size) ||
        in.left() != chunk_size)
        return false;
    if (program >= static_cast<std::uint32_t>(core::program_count)) return false;
    out.bank_image = in.here();
    out.program = static_cast<int>(program);
    out.bypassed = bypassed;
    return true;
}

}  // namespace vst3
