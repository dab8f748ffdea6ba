#include "fuzz_instance.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "fuzz_settings.h"

extern "C" AEffect* VSTPluginMain(audioMasterCallback audio_master);

namespace {

constexpr int kMaxFrames = 4096;
// Five bands at +20 dB each and a master gain of 2, with margin for the
// window's ripple.
constexpr float kOutputBound = 1.0e6f;

VstIntPtr VSTCALLBACK fuzz_host(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    return opcode == audioMasterVersion ? 2400 : 0;
}

struct instance_holder {
    fuzz_settings settings;
    AEffect* effect = nullptr;
    std::vector<unsigned char> default_bank;

    instance_holder() {
        effect = VSTPluginMain(fuzz_host);
        if (!effect) std::abort();
        effect->dispatcher(effect, effOpen, 0, 0, nullptr, 0.0f);
        effect->dispatcher(effect, effSetSampleRate, 0, 0, nullptr, 44100.0f);
        effect->dispatcher(effect, effSetBlockSize, 0, kMaxFrames, nullptr, 0.0f);
        effect->dispatcher(effect, effMainsChanged, 0, 1, nullptr, 0.0f);
        void* bank = nullptr;
        const auto size = effect->dispatcher(effect, effGetChunk, 0, 0, &bank, 0.0f);
        default_bank.assign(static_cast<unsigned char*>(bank), static_cast<unsigned char*>(bank) + size);
    }

    ~instance_holder() {
        effect->dispatcher(effect, effMainsChanged, 0, 0, nullptr, 0.0f);
        effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
    }
};

bool is_sound(float x) {
    const int kind = std::fpclassify(x);
    return (kind == FP_ZERO || kind == FP_NORMAL) && std::fabs(x) < kOutputBound;
}

instance_holder& holder() {
    static instance_holder the_holder;
    return the_holder;
}

}  // namespace

AEffect* fuzz_instance() { return holder().effect; }

void restore_default_state(AEffect* effect) {
    std::vector<unsigned char>& bank = holder().default_bank;
    effect->dispatcher(effect, effSetProgram, 0, 0, nullptr, 0.0f);
    effect->dispatcher(effect, effSetChunk, 0, static_cast<VstIntPtr>(bank.size()), bank.data(), 0.0f);
    effect->dispatcher(effect, effMainsChanged, 0, 0, nullptr, 0.0f);
    effect->dispatcher(effect, effMainsChanged, 0, 1, nullptr, 0.0f);
}

void process_and_check(AEffect* effect, int frames, bool in_place, std::uint32_t seed) {
    static std::vector<float> left(kMaxFrames), right(kMaxFrames), out_left(kMaxFrames), out_right(kMaxFrames);
    for (int done = 0; done < frames;) {
        const int n = std::min(frames - done, kMaxFrames);
        for (int i = 0; i < n; ++i) {
            seed = seed * 1664525u + 1013904223u;
            left[i] = static_cast<float>(static_cast<std::int32_t>(seed)) * (1.0f / 2147483648.0f);
            right[i] = (seed & 0x100) ? 1.0f : -1.0f;
        }
        float* inputs[] = {left.data(), right.data()};
        float* separate[] = {out_left.data(), out_right.data()};
        float** outputs = in_place ? inputs : separate;
        effect->processReplacing(effect, inputs, outputs, n);
        for (int i = 0; i < n; ++i) {
            if (!is_sound(outputs[0][i]) || !is_sound(outputs[1][i])) {
                std::fprintf(stderr, "output %d of %d is %g / %g\n", i, n, outputs[0][i], outputs[1][i]);
                std::abort();
            }
        }
        done += n;
    }
}
