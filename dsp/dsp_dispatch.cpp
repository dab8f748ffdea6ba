// Chooses the variant set: the best one the processor runs, capped by
// TESSVANE_DSP_VARIANT.
#include <atomic>
#include <cstdlib>
#include <cstring>

#include "dsp/dsp.h"
#include "dsp/dsp_cpu_features.h"
#include "dsp/dsp_kernel_table.h"

namespace {

struct variant_entry {
    dsp_variant variant;
    const char* name;
    const dsp_kernel_table* kernels;
};

constexpr variant_entry variants[] = {
    {dsp_variant::none, "none", &dsp_kernels_none}, {dsp_variant::sse2, "sse2", &dsp_kernels_sse2},
    {dsp_variant::sse3, "sse3", &dsp_kernels_sse3},
#if TV_DSP_HAVE_AVX
    {dsp_variant::avx2, "avx2", &dsp_kernels_avx2}, {dsp_variant::avx512, "avx512", &dsp_kernels_avx512},
#else
    {dsp_variant::avx2, "avx2", nullptr},           {dsp_variant::avx512, "avx512", nullptr},
#endif
};

bool known(dsp_variant v) { return static_cast<unsigned>(v) <= static_cast<unsigned>(dsp_variant::avx512); }
const variant_entry& entry(dsp_variant v) { return variants[static_cast<int>(v)]; }

// Constant-initialised, so the plain set is in effect before any
// constructor has run.
std::atomic<const variant_entry*> active{&variants[0]};

}  // namespace

const dsp_kernel_table& dsp_active_kernels() { return *active.load(std::memory_order_relaxed)->kernels; }

bool dsp_variant_supported(dsp_variant v) {
    if (!known(v) || entry(v).kernels == nullptr) return false;
    const dsp_cpu_features& cpu = dsp_cpu();
    switch (v) {
        case dsp_variant::none: return true;
        case dsp_variant::sse2: return cpu.sse2;
        case dsp_variant::sse3: return cpu.sse3 && cpu.sse2;
        case dsp_variant::avx2: return cpu.avx2_fma;
        case dsp_variant::avx512: return cpu.avx512;
    }
    return false;
}

bool dsp_select_variant(dsp_variant v) {
    if (!dsp_variant_supported(v)) return false;
    active.store(&entry(v), std::memory_order_relaxed);
    return true;
}

dsp_variant dsp_active_variant() { return active.load(std::memory_order_relaxed)->variant; }

const char* dsp_variant_name(dsp_variant v) { return known(v) ? entry(v).name : "unknown"; }

int dsp_init_dispatch() {
    int status = dsp_ok;
    dsp_variant cap = dsp_variant::avx512;
    if (const char* wanted = std::getenv("TESSVANE_DSP_VARIANT"); wanted != nullptr && *wanted != '\0') {
        bool known = false;
        for (const variant_entry& e : variants) {
            if (std::strcmp(wanted, e.name) == 0) {
                cap = e.variant;
                known = true;
            }
        }
        if (!known) status = dsp_warn_dispatch;  // an unknown name caps nothing
    }
    for (int v = static_cast<int>(cap); v >= 0; --v) {
        if (dsp_select_variant(static_cast<dsp_variant>(v))) break;
    }
    return status;
}
