// One instance of the VST3 or CLAP build, as the suites that hold both
// formats to the same behaviour drive it: values set by the host, blocks with
// parameter changes at sample offsets, and the state.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "../e2e/format_comparison.h"

struct parameter_change {
    int id;
    int offset;
    double value;
};

class format_instance {
public:
    virtual ~format_instance() = default;
    // Before start: a value as the host sets it outside processing.
    virtual void set(int id, double value) = 0;
    virtual bool start(int max_block, bool offline) = 0;
    // One block, the outputs replaced; false when the plug-in said it failed.
    virtual bool process(const float* const* in, float* const* out, int frames,
                         const std::vector<parameter_change>& changes) = 0;
    virtual std::vector<unsigned char> state() = 0;
    virtual bool set_state(const std::vector<unsigned char>& bytes) = 0;
};

// Each format's instances, made from its built module.
struct plugin_format {
    std::string name;
    std::function<std::unique_ptr<format_instance>()> make;
};
plugin_format vst3_format();
plugin_format clap_format();

// Each host block through the instance; `changes` gives a block its changes.
stereo run(format_instance& plugin, const stereo& in, int block,
           const std::function<void(int start, std::vector<parameter_change>&)>& changes = {});
