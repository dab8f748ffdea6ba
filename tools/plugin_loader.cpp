#include "plugin_loader.h"

#include "shared_library.h"

#include <array>

namespace tessvane::host {
namespace {

constexpr std::size_t text_buffer_size = 256;
constexpr VstInt32 max_channels = 256;

bool plausible_channel_count(VstInt32 channels) { return channels >= 0 && channels <= max_channels; }

}  // namespace

std::unique_ptr<loaded_plugin> loaded_plugin::load(const std::string& path, host_settings settings) {
    std::string error;
    void* library = open_shared_library(path, error);
    if (library == nullptr) throw plugin_load_error("cannot load " + path + ": " + error);

    auto host = std::make_unique<host_callback>();
    host->set_sample_rate(settings.sample_rate);
    host->set_block_size(settings.block_size);
    host->set_verbose(settings.verbose);
    host->set_audio_process_level(settings.audio_process_level);
    host->set_handler(std::move(settings.handler));
    // The plug-in object owns the library from here; its destructor closes it.
    std::unique_ptr<loaded_plugin> plugin(new loaded_plugin(path, library, std::move(host)));

    void* symbol = shared_library_symbol(library, "VSTPluginMain");
    if (symbol == nullptr) symbol = shared_library_symbol(library, "main");
    if (symbol == nullptr)
        throw plugin_load_error(path + " is not a VST 2.x plug-in: it exports neither VSTPluginMain nor main");

    AEffect* effect = nullptr;
    {
        host_callback::loading_scope scope(*plugin->host_);
        effect = reinterpret_cast<VstPluginMainProc>(symbol)(&host_callback::entry);
    }
    if (effect == nullptr) throw plugin_load_error(path + ": the plug-in's entry point returned no effect");
    if (effect->magic != kEffectMagic)
        throw plugin_load_error(path + ": the entry point's record is not a VST 2.x effect (wrong magic number)");
    if (effect->dispatcher == nullptr) throw plugin_load_error(path + ": the plug-in's record has no dispatcher");

    plugin->host_->attach(*effect);
    plugin->effect_ = effect;  // from here on the destructor closes it
    if (!plausible_channel_count(effect->numInputs) || !plausible_channel_count(effect->numOutputs))
        throw plugin_load_error(path + ": the plug-in claims " + std::to_string(effect->numInputs) + " inputs and " +
                                std::to_string(effect->numOutputs) + " outputs");
    plugin->dispatch(effOpen);
    return plugin;
}

loaded_plugin::loaded_plugin(std::string path, void* library, std::unique_ptr<host_callback> host)
    : path_(std::move(path)), library_(library), host_(std::move(host)) {}

loaded_plugin::~loaded_plugin() {
    if (effect_ != nullptr) {
        suspend();
        dispatch(effClose);
    }
    close_shared_library(library_);
}

VstIntPtr loaded_plugin::dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    return effect_->dispatcher(effect_, opcode, index, value, ptr, opt);
}

void loaded_plugin::configure(float sample_rate, VstInt32 max_block) {
    suspend();
    host_->set_sample_rate(sample_rate);
    host_->set_block_size(max_block);
    dispatch(effSetSampleRate, 0, 0, nullptr, sample_rate);
    dispatch(effSetBlockSize, 0, max_block);
}

void loaded_plugin::start(float sample_rate, VstInt32 max_block) {
    configure(sample_rate, max_block);
    resume();
}

void loaded_plugin::suspend() {
    if (!running_) return;
    dispatch(effMainsChanged, 0, 0);
    running_ = false;
}

void loaded_plugin::resume() {
    if (running_) return;
    dispatch(effMainsChanged, 0, 1);
    running_ = true;
}

void loaded_plugin::flush() {
    suspend();
    resume();
}

void loaded_plugin::process(float** inputs, float** outputs, VstInt32 frames) {
    if (effect_->processReplacing == nullptr)
        throw std::runtime_error(path_ + ": the plug-in offers no processReplacing");
    host_callback::audio_thread_scope audio_thread;
    effect_->processReplacing(effect_, inputs, outputs, frames);
}

void loaded_plugin::set_parameter(VstInt32 index, float value) { effect_->setParameter(effect_, index, value); }

float loaded_plugin::parameter(VstInt32 index) { return effect_->getParameter(effect_, index); }

std::string loaded_plugin::text(VstInt32 opcode, VstInt32 index, VstIntPtr value) {
    std::array<char, text_buffer_size + 1> buffer{};
    dispatch(opcode, index, value, buffer.data());
    buffer.back() = '\0';  // in case the plug-in filled all of it
    return buffer.data();
}

std::string loaded_plugin::program_name(VstInt32 index) {
    std::array<char, text_buffer_size + 1> buffer{};
    const VstIntPtr written = dispatch(effGetProgramNameIndexed, index, 0, buffer.data());
    buffer.back() = '\0';
    return written != 0 ? std::string(buffer.data()) : std::string();
}

}  // namespace tessvane::host
