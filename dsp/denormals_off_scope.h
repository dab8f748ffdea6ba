// Denormals-are-zero and flush-to-zero for the life of the object, on the
// calling thread; the thread's previous mode (the host's) comes back after.
#pragma once

#include <xmmintrin.h>

#include "dsp/dsp.h"

namespace dsp {

class denormals_off_scope {
public:
    denormals_off_scope() : saved_(_mm_getcsr()) {
        dsp_set_denormals_are_zero(1);
        dsp_set_flush_to_zero(1, nullptr);
    }
    ~denormals_off_scope() { _mm_setcsr(saved_); }
    denormals_off_scope(const denormals_off_scope&) = delete;
    denormals_off_scope& operator=(const denormals_off_scope&) = delete;

private:
    unsigned saved_;
};

}  // namespace dsp
