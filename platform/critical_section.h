// Re-entrant lock, like a Win32 critical section: the owning thread may enter
// again and must leave as often as it entered.
#pragma once

#include <memory>

namespace platform {

class critical_section {
public:
    critical_section();
    ~critical_section();
    critical_section(const critical_section&) = delete;
    critical_section& operator=(const critical_section&) = delete;

    void enter();
    void leave();

private:
    struct impl;
    std::unique_ptr<impl> impl_;
};

class scoped_lock {
public:
    explicit scoped_lock(critical_section& cs) : cs_(cs) { cs_.enter(); }
    ~scoped_lock() { cs_.leave(); }
    scoped_lock(const scoped_lock&) = delete;
    scoped_lock& operator=(const scoped_lock&) = delete;

private:
    critical_section& cs_;
};

}  // namespace platform
