// Shared ownership by counting: created with one reference; remember() adds
// one, forget() drops one and deletes the object when none is left. Views
// remember the bitmaps they draw, so the code that loaded a bitmap can forget
// it as soon as the views hold it.
#pragma once

#include <atomic>

namespace VSTGUI {

class CReferenceCounter {
public:
    CReferenceCounter() = default;
    CReferenceCounter(const CReferenceCounter&) = delete;
    CReferenceCounter& operator=(const CReferenceCounter&) = delete;

    void remember() { count_.fetch_add(1, std::memory_order_relaxed); }
    void forget() {
        if (count_.fetch_sub(1, std::memory_order_acq_rel) == 1) delete this;
    }
    int getNbReference() const { return count_.load(std::memory_order_relaxed); }

protected:
    virtual ~CReferenceCounter() = default;

private:
    std::atomic<int> count_{1};
};

}  // namespace VSTGUI
