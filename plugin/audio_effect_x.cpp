#include "plugin/audio_effect_x.h"

#include <cmath>

#include "plugin/aeff_editor.h"

namespace {

VstKeyCode key_code(VstInt32 index, VstIntPtr value, float opt) {
    VstKeyCode key{};
    key.character = index;
    key.virt = static_cast<unsigned char>(value & 0xFF);
    // Hosts send the modifier as a small whole number; any other float must
    // not overflow the conversion.
    const float modifier = std::fabs(opt) < 2147483648.0f ? std::trunc(opt) : 0.0f;
    key.modifier = static_cast<unsigned char>(static_cast<int>(modifier) & 0xFF);
    return key;
}

}  // namespace

VstIntPtr AudioEffectX::dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    if (opcode < effProcessEvents || opcode > effGetNumMidiOutputChannels)
        return AudioEffect::dispatcher(opcode, index, value, ptr, opt);

    switch (opcode) {
        case effCanBeAutomated: return 1;
        case effGetProgramNameIndexed:
            return ptr && getProgramNameIndexed(static_cast<VstInt32>(value), index, static_cast<char*>(ptr)) ? 1 : 0;
        case effGetPlugCategory: return getPlugCategory();
        case effGetEffectName: return ptr && getEffectName(static_cast<char*>(ptr)) ? 1 : 0;
        case effGetVendorString: return ptr && getVendorString(static_cast<char*>(ptr)) ? 1 : 0;
        case effGetProductString: return ptr && getProductString(static_cast<char*>(ptr)) ? 1 : 0;
        case effGetVendorVersion: return getVendorVersion();
        case effCanDo: return 0;  // the plug-in asks nothing special of the host
        case effGetTailSize: return getGetTailSize();
        case effGetVstVersion: return 2400;
        case effEditKeyDown: {
            if (!editor) return 0;
            VstKeyCode key = key_code(index, value, opt);
            return editor->onKeyDown(key) ? 1 : 0;
        }
        case effEditKeyUp: {
            if (!editor) return 0;
            VstKeyCode key = key_code(index, value, opt);
            return editor->onKeyUp(key) ? 1 : 0;
        }
        case effSetEditKnobMode: return editor && editor->setKnobMode(static_cast<VstInt32>(value)) ? 1 : 0;
        case effGetCurrentMidiProgram: return -1;
        case effGetSpeakerArrangement:
            // value and ptr each point at an arrangement pointer; both get null.
            if (value) *reinterpret_cast<void**>(value) = nullptr;
            if (ptr) *static_cast<void**>(ptr) = nullptr;
            return 0;
        case effSetTotalSampleToProcess: return value;
        case effProcessEvents:
        case effString2Parameter:
        case effGetNumProgramCategories:
        case effCopyProgram:
        case effConnectInput:
        case effConnectOutput:
        case effGetInputProperties:
        case effGetOutputProperties:
        case effGetCurrentPosition:
        case effGetDestinationBuffer:
        case effOfflineNotify:
        case effOfflinePrepare:
        case effOfflineRun:
        case effProcessVarIo:
        case effSetSpeakerArrangement:
        case effSetBlockSizeAndSampleRate:
        case effSetBypass:  // there is no soft bypass
        case effGetErrorText:
        case effVendorSpecific:
        case effIdle:
        case effGetIcon:
        case effSetViewPosition:
        case effGetParameterProperties:
        case effKeysRequired:
        case effGetMidiProgramName:
        case effGetMidiProgramCategory:
        case effHasMidiProgramsChanged:
        case effGetMidiKeyName:
        case effBeginSetProgram:
        case effEndSetProgram:
        case effShellGetNextPlugin:
        case effStartProcess:
        case effStopProcess:
        case effSetPanLaw:
        case effBeginLoadBank:
        case effBeginLoadProgram:
        case effSetProcessPrecision:  // 64-bit processing is refused
        case effGetNumMidiInputChannels:
        case effGetNumMidiOutputChannels:
        default: return 0;
    }
}
