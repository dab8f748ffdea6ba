// The equaliser as a VST 2.x plug-in: the host adapter's operations
// translated onto the format-free instance (core/eq_instance.h), which is
// also the editor's model. The instance's host link answers with the VST 2.x
// host callbacks.
//
// Threads: as the instance has them; processReplacing asks the host for its
// process level on the audio thread (a host rendering offline gets the new
// response designed in the block that needs it, and so does one that does
// not say but delivers blocks faster than real time).
#pragma once

#include "core/eq_instance.h"
#include "plugin/audio_effect_x.h"

namespace plugin {

class tessvane_plugin : public AudioEffectX, private core::host_link, public core::eq_instance {
public:
    static constexpr int kMaxBlock = core::eq_instance::max_block;

    tessvane_plugin(audioMasterCallback audio_master, const core::edition& plugin);
    ~tessvane_plugin() override;

    void resume() override { reset(); }
    void setSampleRate(float rate) override;
    void processReplacing(float** inputs, float** outputs, VstInt32 frames) override;
    void setParameter(VstInt32 index, float value) override { set_parameter(index, value); }
    float getParameter(VstInt32 index) override { return parameter(index); }
    void setProgram(VstInt32 program) override { set_program(program); }
    VstInt32 getProgram() override { return program(); }
    void setProgramName(const char* name) override { rename_program(name); }
    void getProgramName(char* name) override;
    void getParameterLabel(VstInt32 index, char* label) override;
    void getParameterDisplay(VstInt32 index, char* text) override;
    void getParameterName(VstInt32 index, char* text) override;
    VstInt32 getChunk(void** data, bool is_preset) override;
    VstInt32 setChunk(const void* data, VstInt32 byte_size, bool is_preset) override;
    bool getProgramNameIndexed(VstInt32 category, VstInt32 index, char* text) override;
    VstInt32 getGetTailSize() override { return 2646000; }
    bool getEffectName(char* name) override;
    bool getVendorString(char* text) override;
    bool getProductString(char* text) override;
    VstInt32 getVendorVersion() override;
    VstInt32 getPlugCategory() override { return kPlugCategEffect; }

private:
    void perform_host_edit(int index, float value) override { automate(index, value); }
    void begin_host_edit(int index) override { beginEdit(index); }
    void end_host_edit(int index) override { endEdit(index); }
    void give_host_idle() override { masterIdle(); }
    void value_changed(int index, float value) override;
    dsp::render_mode host_render_mode();
};

}  // namespace plugin
