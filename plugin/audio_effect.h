// The core of the host adapter: the AEffect record the host holds, its
// static entries, the dispatcher for opcodes 0 to 24 and the host callback
// wrappers. The plug-in derives (through AudioEffectX) and overrides the
// operations it implements.
//
// Threads: the dispatcher runs on the host's dispatcher thread; the
// parameter entries on any host thread; processReplacing on the audio
// thread. The adapter itself takes no lock.
#pragma once

#include <atomic>

#include "plugin/vst2/aeffect.h"

class AEffEditor;

class AudioEffect {
public:
    AudioEffect(audioMasterCallback audio_master, VstInt32 num_programs, VstInt32 num_params);
    virtual ~AudioEffect();
    AudioEffect(const AudioEffect&) = delete;
    AudioEffect& operator=(const AudioEffect&) = delete;

    AEffect* getAeffect() { return &cEffect; }
    AEffEditor* getEditor() const { return editor; }

    virtual VstIntPtr dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);

    virtual void open() {}
    virtual void close() {}
    virtual void suspend() {}
    virtual void resume() {}
    virtual void setSampleRate(float rate) { sampleRate = rate; }
    virtual void setBlockSize(VstInt32 size) { blockSize = size; }
    virtual void processReplacing(float** inputs, float** outputs, VstInt32 frames) = 0;
    virtual void setParameter(VstInt32 index, float value) = 0;
    virtual float getParameter(VstInt32 index) = 0;
    virtual void setProgram(VstInt32 program) { curProgram = program; }
    virtual VstInt32 getProgram() { return curProgram; }
    virtual void setProgramName(const char* name) = 0;
    virtual void getProgramName(char* name) = 0;
    virtual void getParameterLabel(VstInt32 index, char* label) = 0;
    virtual void getParameterDisplay(VstInt32 index, char* text) = 0;
    virtual void getParameterName(VstInt32 index, char* text) = 0;
    virtual VstInt32 getChunk(void** data, bool is_preset) = 0;
    virtual VstInt32 setChunk(const void* data, VstInt32 byte_size, bool is_preset) = 0;

    // Host callbacks. Each answers 0 (false) when there is no callback.
    // Tells the host of a user's change, already applied.
    VstIntPtr automate(VstInt32 index, float value);
    bool beginEdit(VstInt32 index);
    bool endEdit(VstInt32 index);
    void masterIdle();

protected:
    void setNumInputs(VstInt32 n) { cEffect.numInputs = n; }
    void setNumOutputs(VstInt32 n) { cEffect.numOutputs = n; }
    void setUniqueID(VstInt32 id) { cEffect.uniqueID = id; }
    void setInitialDelay(VstInt32 delay) { cEffect.initialDelay = delay; }
    void canProcessReplacing(bool state) { set_flag(effFlagsCanReplacing, state); }
    void programsAreChunks(bool state) { set_flag(effFlagsProgramChunks, state); }
    void setEditor(AEffEditor* new_editor);

    VstIntPtr call_host(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);

    audioMasterCallback audioMaster;
    AEffEditor* editor = nullptr;
    float sampleRate = 44100.0f;
    VstInt32 blockSize = 1024;
    VstInt32 numPrograms;
    VstInt32 numParams;
    // Read by parameter operations on any thread.
    std::atomic<VstInt32> curProgram{0};
    AEffect cEffect;

private:
    void set_flag(VstInt32 bit, bool state);
};
