#include <fcntl.h>
#include <unistd.h>

#include <string>

#include "platform/message_box.h"
#include "platform/message_presentation.h"

namespace platform {

void append_message_to_log(const char* path, const message& m) {
    const std::string line = m.caption + '\t' + m.text + '\n';
    const int fd = open(path, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) return;
    [[maybe_unused]] const ssize_t written = write(fd, line.data(), line.size());
    close(fd);
}

// The widget toolkit's presenter draws boxes here; without it stderr is all.
void present_message_natively(const message&) {}

void* foreground_root_owner() { return nullptr; }

}  // namespace platform
