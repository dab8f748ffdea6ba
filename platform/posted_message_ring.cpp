#include "platform/posted_message_ring.h"

#include <algorithm>
#include <cstring>
#include <string_view>

namespace platform {

namespace {

std::string_view cut(const std::string& s, std::size_t capacity) { return std::string_view(s).substr(0, capacity - 1); }

// FNV-1a over everything a slot keeps. Pending messages are compared by this
// fingerprint alone, since a slot's text may be rewritten while it is read.
class fingerprint {
public:
    void add(const void* data, std::size_t size) {
        const auto* bytes = static_cast<const unsigned char*>(data);
        for (std::size_t i = 0; i < size; ++i) hash_ = (hash_ ^ bytes[i]) * 0x100000001b3u;
    }
    void add(std::string_view s) {
        add(s.data(), s.size());
        add("", 1);  // keeps "ab"+"c" apart from "a"+"bc"
    }
    std::uint64_t key() const { return hash_ == 0 ? 1 : hash_; }  // 0 marks a free slot

private:
    std::uint64_t hash_ = 0xcbf29ce484222325u;
};

void copy_text(char* to, std::string_view from) {
    std::memcpy(to, from.data(), from.size());
    to[from.size()] = '\0';
}

}  // namespace

bool posted_message_ring::post(const message& m) {
    const std::string_view text = cut(m.text, text_capacity);
    const std::string_view caption = cut(m.caption, caption_capacity);
    fingerprint print;
    print.add(text);
    print.add(caption);
    print.add(&m.icon, sizeof m.icon);
    print.add(&m.foreground, sizeof m.foreground);
    print.add(&m.owner, sizeof m.owner);
    const std::uint64_t key = print.key();

    if (std::any_of(std::begin(slots_), std::end(slots_), [key](const slot& s) { return s.key == key; })) return true;
    for (slot& s : slots_) {
        std::uint64_t seen = 0;
        if (s.key.compare_exchange_strong(seen, key)) {
            ++pending_;
            copy_text(s.text, text);
            copy_text(s.caption, caption);
            s.icon = m.icon;
            s.foreground = m.foreground;
            s.owner = m.owner;
            s.ready = true;
            return true;
        }
        // Another thread has just claimed a slot for the same message.
        if (seen == key) return true;
    }
    return false;
}

void posted_message_ring::deliver_pending(void (*deliver)(const message&)) {
    for (slot& s : slots_) {
        if (!s.ready) continue;
        deliver(message{s.text, s.caption, s.icon, s.foreground, s.owner});
        s.ready = false;
        s.key = 0;
        --pending_;
    }
}

}  // namespace platform
