// One-lane "vector" operations: the plain set, and the tails and small sizes
// of every other set. Internal linkage, so each variant unit keeps its own
// copy compiled with its own instruction set.
#pragma once

namespace {

struct simd_scalar {
    using v = float;
    static constexpr int width = 1;

    static v load(const float* p) { return *p; }
    static void store(float* p, v a) { *p = a; }
    static v set1(float x) { return x; }
    static v add(v a, v b) { return a + b; }
    static v sub(v a, v b) { return a - b; }
    static v mul(v a, v b) { return a * b; }
    static v mul_add(v a, v b, v c) { return a * b + c; }
    static v mul_sub(v a, v b, v c) { return a * b - c; }
    static v neg_mul_add(v a, v b, v c) { return c - a * b; }
    static void load_deinterleaved(const float* p, v& re, v& im) {
        re = p[0];
        im = p[1];
    }
    static void store_interleaved(float* p, v re, v im) {
        p[0] = re;
        p[1] = im;
    }
    static v reverse(v a) { return a; }
    static void transpose(v*) {}
};

}  // namespace
