// The extended half of the host adapter: opcodes 25 to 79 and their default
// answers. Everything else goes to AudioEffect's dispatcher.
#pragma once

#include "plugin/audio_effect.h"

class AudioEffectX : public AudioEffect {
public:
    using AudioEffect::AudioEffect;

    VstIntPtr dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) override;

    virtual bool getProgramNameIndexed(VstInt32 category, VstInt32 index, char* text) = 0;
    virtual VstInt32 getGetTailSize() { return 0; }
    virtual bool getEffectName(char*) { return false; }
    virtual bool getVendorString(char*) { return false; }
    virtual bool getProductString(char*) { return false; }
    virtual VstInt32 getVendorVersion() { return 0; }
    virtual VstInt32 getPlugCategory() { return kPlugCategUnknown; }
};
