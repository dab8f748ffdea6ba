#include "plugin/audio_effect.h"

#include <cstring>

#include "plugin/aeff_editor.h"

namespace {

AudioEffect* object_of(AEffect* effect) { return static_cast<AudioEffect*>(effect->object); }

VstIntPtr VSTCALLBACK dispatch_entry(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                     float opt) {
    AudioEffect* object = object_of(effect);
    if (opcode == effClose) {
        object->dispatcher(opcode, index, value, ptr, opt);
        delete object;
        return 1;
    }
    return object->dispatcher(opcode, index, value, ptr, opt);
}

void VSTCALLBACK set_parameter_entry(AEffect* effect, VstInt32 index, float value) {
    object_of(effect)->setParameter(index, value);
}

float VSTCALLBACK get_parameter_entry(AEffect* effect, VstInt32 index) {
    return object_of(effect)->getParameter(index);
}

void VSTCALLBACK process_replacing_entry(AEffect* effect, float** inputs, float** outputs, VstInt32 frames) {
    object_of(effect)->processReplacing(inputs, outputs, frames);
}

// The accumulating and the double-precision entries leave the outputs alone.
void VSTCALLBACK process_nothing(AEffect*, float**, float**, VstInt32) {}
void VSTCALLBACK process_double_nothing(AEffect*, double**, double**, VstInt32) {}

}  // namespace

AudioEffect::AudioEffect(audioMasterCallback audio_master, VstInt32 num_programs, VstInt32 num_params)
    : audioMaster(audio_master), numPrograms(num_programs), numParams(num_params) {
    std::memset(&cEffect, 0, sizeof cEffect);
    cEffect.magic = kEffectMagic;
    cEffect.dispatcher = dispatch_entry;
    cEffect.process = process_nothing;
    cEffect.setParameter = set_parameter_entry;
    cEffect.getParameter = get_parameter_entry;
    cEffect.numPrograms = num_programs;
    cEffect.numParams = num_params;
    cEffect.numInputs = 1;
    cEffect.numOutputs = 2;
    cEffect.ioRatio = 1.0f;
    cEffect.object = this;
    cEffect.uniqueID = 0x4E6F4566;  // 'NoEf' until the plug-in sets its own
    cEffect.version = 1;
    cEffect.processReplacing = process_replacing_entry;
    cEffect.processDoubleReplacing = process_double_nothing;
}

AudioEffect::~AudioEffect() { delete editor; }

void AudioEffect::set_flag(VstInt32 bit, bool state) {
    if (state)
        cEffect.flags |= bit;
    else
        cEffect.flags &= ~bit;
}

void AudioEffect::setEditor(AEffEditor* new_editor) {
    editor = new_editor;
    set_flag(effFlagsHasEditor, editor != nullptr);
}

VstIntPtr AudioEffect::dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    (void)opt;
    // Hosts do pass null where a buffer belongs: answer 0 and write nothing.
    switch (opcode) {
        case effOpen: open(); return 0;
        case effClose: close(); return 0;
        case effSetProgram:
            if (value >= 0 && value < numPrograms) setProgram(static_cast<VstInt32>(value));
            return 0;
        case effGetProgram: return getProgram();
        case effSetProgramName:
            if (ptr) setProgramName(static_cast<const char*>(ptr));
            return 0;
        case effGetProgramName:
            if (ptr) getProgramName(static_cast<char*>(ptr));
            return 0;
        case effGetParamLabel:
            if (ptr) getParameterLabel(index, static_cast<char*>(ptr));
            return 0;
        case effGetParamDisplay:
            if (ptr) getParameterDisplay(index, static_cast<char*>(ptr));
            return 0;
        case effGetParamName:
            if (ptr) getParameterName(index, static_cast<char*>(ptr));
            return 0;
        case effSetSampleRate: setSampleRate(opt); return 0;
        case effSetBlockSize: setBlockSize(static_cast<VstInt32>(value)); return 0;
        case effMainsChanged:
            if (value == 0)
                suspend();
            else
                resume();
            return 0;
        case effEditGetRect: return editor && ptr && editor->getRect(static_cast<ERect**>(ptr)) ? 1 : 0;
        case effEditOpen: return editor && editor->open(ptr) ? 1 : 0;
        case effEditClose:
            if (editor) editor->close();
            return 0;
        case effEditIdle:
            if (editor) editor->idle();
            return 0;
        case effIdentify: return 0x4E764566;  // 'NvEf'
        case effGetChunk: return ptr ? getChunk(static_cast<void**>(ptr), index != 0) : 0;
        case effSetChunk:
            // A null pointer with a size would be read from: refuse it.
            return ptr ? setChunk(ptr, static_cast<VstInt32>(value), index != 0) : 0;
        case effGetVu:
        case effEditDraw:
        case effEditMouse:
        case effEditKey:
        case effEditTop:
        case effEditSleep:
        default: return 0;
    }
}

VstIntPtr AudioEffect::call_host(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    return audioMaster ? audioMaster(&cEffect, opcode, index, value, ptr, opt) : 0;
}

VstIntPtr AudioEffect::automate(VstInt32 index, float value) {
    return call_host(audioMasterAutomate, index, 0, nullptr, value);
}

bool AudioEffect::beginEdit(VstInt32 index) { return call_host(audioMasterBeginEdit, index, 0, nullptr, 0.0f) != 0; }

bool AudioEffect::endEdit(VstInt32 index) { return call_host(audioMasterEndEdit, index, 0, nullptr, 0.0f) != 0; }

void AudioEffect::masterIdle() { call_host(audioMasterIdle, 0, 0, nullptr, 0.0f); }
