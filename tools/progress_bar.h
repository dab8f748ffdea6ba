// A one-line progress bar on stderr, drawn only when stderr is a terminal so
// that logs and pipes stay clean.
#pragma once

#include <cstdint>

namespace tessvane::host {

class progress_bar {
public:
    explicit progress_bar(std::int64_t total);
    ~progress_bar();
    progress_bar(const progress_bar&) = delete;
    progress_bar& operator=(const progress_bar&) = delete;

    bool shown() const { return shown_; }
    void update(std::int64_t done);
    // Clears the line; also done by the destructor.
    void finish();

private:
    std::int64_t total_;
    bool shown_;
    int drawn_percent_ = -1;
};

}  // namespace tessvane::host
