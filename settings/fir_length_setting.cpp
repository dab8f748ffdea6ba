#include "settings/fir_length_setting.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <stdexcept>
#include <string>

#include "platform/settings_store.h"

namespace settings {

namespace {

constexpr int largest_accepted_length = 131071;
constexpr int default_fir_length = 8192;
constexpr int shortest_usable_length = 256;
constexpr int longest_usable_length = 131072;

// Enough for any sensible text. A longer value is judged by its first bytes
// only, and a value that grows between the size query and the read is still
// read whole, so the reader never sees part of a number.
constexpr std::size_t max_value_bytes = 4096;

std::string loading_error(int error_number) {
    return "Registry settings loading error #" + std::to_string(error_number) +
           ". Please contact technical support. Processing will be disabled and plugin locked.";
}

[[noreturn]] void fail(int error_number) { throw std::runtime_error(loading_error(error_number)); }

// A read that found no usable value also says, where the setting is a file,
// what to create.
[[noreturn]] void fail_to_read(int error_number) {
    const std::string file = platform::settings_value_file(fir_length_key_path, fir_length_value_name);
    if (file.empty()) fail(error_number);
    throw std::runtime_error(loading_error(error_number) + "\nTo unlock new instances, create the file \"" + file +
                             "\" holding a FIR length, for example 8192.");
}

// Closes the key on every path out of the operation.
class open_key {
public:
    open_key() = default;
    ~open_key() {
        if (key_ != nullptr) platform::close_settings_key(key_);
    }
    open_key(const open_key&) = delete;
    open_key& operator=(const open_key&) = delete;

    platform::settings_key** receive() { return &key_; }
    platform::settings_key* get() const { return key_; }

private:
    platform::settings_key* key_ = nullptr;
};

bool per_user_value_exists() {
    open_key key;
    std::size_t size = 0;
    return platform::open_settings_key_for_reading(platform::settings_hive::per_user, fir_length_key_path,
                                                   key.receive()) &&
           platform::query_settings_value_size(key.get(), fir_length_value_name, &size);
}

bool is_space(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool is_digit(char c) { return c >= '0' && c <= '9'; }

// Decimal text as the C library reads it, stopping at a zero byte or the end;
// -1 for anything outside 0..131071, including numbers beyond 32 bits.
int parse_length(const char* text, std::size_t size) {
    std::size_t i = 0;
    const auto more = [&] { return i < size && text[i] != '\0'; };
    while (more() && is_space(text[i])) ++i;
    bool negative = false;
    if (more() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    // Past this the number no longer fits in 32 bits; stop growing it there.
    constexpr std::int64_t beyond_32_bits = std::int64_t{1} << 32;
    std::int64_t magnitude = 0;
    for (; more() && is_digit(text[i]); ++i) {
        if (magnitude < beyond_32_bits) magnitude = magnitude * 10 + (text[i] - '0');
    }
    const std::int64_t number = negative ? -magnitude : magnitude;
    return number >= 0 && number <= largest_accepted_length ? static_cast<int>(number) : -1;
}

}  // namespace

int read_fir_length_setting() {
    const auto hive =
        per_user_value_exists() ? platform::settings_hive::per_user : platform::settings_hive::machine_wide;
    open_key key;
    if (!platform::open_settings_key_for_reading(hive, fir_length_key_path, key.receive())) fail_to_read(0);
    std::size_t size = 0;
    if (!platform::query_settings_value_size(key.get(), fir_length_value_name, &size)) fail_to_read(1);
    std::array<char, max_value_bytes> text;
    std::size_t read = text.size();
    if (!platform::read_settings_value(key.get(), fir_length_value_name, text.data(), &read)) fail_to_read(2);
    return parse_length(text.data(), read);
}

int stored_fir_length() {
    try {
        return read_fir_length_setting();
    } catch (const std::exception&) {
        return -1;
    }
}

int usable_fir_length(int stored) {
    const bool power_of_two = stored > 0 && (stored & (stored - 1)) == 0;
    if (stored < shortest_usable_length || stored > longest_usable_length || !power_of_two) return default_fir_length;
    return stored;
}

void write_fir_length_setting(int samples) {
    char text[16];
    const int length = std::snprintf(text, sizeof text, "%d", samples);
    open_key key;
    if (!platform::create_settings_key_for_writing(fir_length_key_path, key.receive())) fail(6);
    if (!platform::write_settings_value(key.get(), fir_length_value_name, text, static_cast<std::size_t>(length)))
        fail(7);
}

}  // namespace settings
