#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>

#include "platform/message_box.h"

namespace platform {

namespace {

struct message_outlets {
    std::mutex mutex;
    message_sink sink;
    message_presenter presenter;
};

// Never destroyed: the delivery thread of posted messages may still show one
// while the statics of the process or the shared object are torn down.
message_outlets& outlets() {
    static auto* const the_outlets = new message_outlets;
    return *the_outlets;
}

// One write per line, so lines of concurrent writers never interleave.
void append_to_log(const char* path, const message& m) {
    const std::string line = m.caption + '\t' + m.text + '\n';
    const int fd = open(path, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) return;
    [[maybe_unused]] const ssize_t written = write(fd, line.data(), line.size());
    close(fd);
}

}  // namespace

void show_message_box(const message& m) {
    std::fprintf(stderr, "%s: %s\n", m.caption.c_str(), m.text.c_str());
    message_sink sink;
    message_presenter presenter;
    {
        std::lock_guard lock(outlets().mutex);
        sink = outlets().sink;
        presenter = outlets().presenter;
    }
    const char* const log = std::getenv("TESSVANE_MESSAGE_LOG");
    if (sink) {
        sink(m);
    } else if (log != nullptr && *log != '\0') {
        append_to_log(log, m);
    } else if (presenter) {
        presenter(m);
    }
}

void set_message_sink(message_sink sink) {
    std::lock_guard lock(outlets().mutex);
    outlets().sink = std::move(sink);
}

void set_message_presenter(message_presenter presenter) {
    std::lock_guard lock(outlets().mutex);
    outlets().presenter = std::move(presenter);
}

void* foreground_root_owner() { return nullptr; }

}  // namespace platform
