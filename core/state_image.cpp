#include "core/state_image.h"

#include <cstdint>
#include <cstring>

namespace core {

namespace {

constexpr unsigned char magic[4] = {'T', 'v', 'L', 'E'};
constexpr std::uint32_t version = 1;

void put_u32(unsigned char* at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) at[i] = static_cast<unsigned char>(v >> (8 * i));
}

std::uint32_t get_u32(const unsigned char* at) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = v << 8 | at[i];
    return v;
}

}  // namespace

std::vector<unsigned char> state_image(const program_bank& bank) {
    std::vector<unsigned char> image(state_image_size);
    std::memcpy(image.data(), magic, sizeof magic);
    put_u32(image.data() + 4, version);
    put_u32(image.data() + 8, bank_image_size);
    std::memcpy(image.data() + state_header_size, bank.bank_image(), bank_image_size);
    put_u32(image.data() + state_header_size + bank_image_size, static_cast<std::uint32_t>(bank.current()));
    return image;
}

bool read_state_image(const unsigned char* data, std::size_t size, state_contents& out) {
    if (!data || size != state_image_size || std::memcmp(data, magic, sizeof magic) != 0) return false;
    if (get_u32(data + 4) != version || get_u32(data + 8) != bank_image_size) return false;
    const std::uint32_t program = get_u32(data + state_header_size + bank_image_size);
    if (program >= static_cast<std::uint32_t>(program_count)) return false;
    out.bank_image = data + state_header_size;
    out.program = static_cast<int>(program);
    return true;
}

}  // namespace core
