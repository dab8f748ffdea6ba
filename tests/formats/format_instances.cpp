#include "format_instance.h"

#include <gtest/gtest.h>

#include "../clap/clap_host.h"
#include "../vst3/vst3_host.h"

namespace {

class vst3_instance final : public format_instance {
public:
    explicit vst3_instance(const vst3_host::module& loaded) : plugin_(loaded) {}
    void set(int id, double value) override {
        plugin_.ctrl().setParamNormalized(plugin_.controller, static_cast<vst3::ParamID>(id), value);
    }
    bool start(int max_block, bool offline) override {
        mode_ = offline ? vst3::kOffline : vst3::kRealtime;
        return plugin_.start(kRate, max_block, mode_) == vst3::kResultOk;
    }
    bool process(const float* const* in, float* const* out, int frames,
                 const std::vector<parameter_change>& changes) override {
        vst3_host::parameter_changes queues;
        for (const parameter_change& c : changes) queues.add(static_cast<vst3::ParamID>(c.id), c.offset, c.value);
        return plugin_.process(in, out, frames, &queues, mode_) == vst3::kResultOk;
    }
    std::vector<unsigned char> state() override { return plugin_.state(); }
    bool set_state(const std::vector<unsigned char>& bytes) override {
        return plugin_.set_state(bytes) == vst3::kResultOk;
    }

private:
    vst3_host::instance plugin_;
    std::int32_t mode_ = vst3::kRealtime;
};

class clap_instance final : public format_instance {
public:
    clap_instance(const clap_test_host::module& loaded, const clap_test_host::host& h) : plugin_(loaded, h) {}
    void set(int id, double value) override {
        clap_test_host::events ev;
        ev.add(static_cast<clap::clap_id>(id), 0, value);
        const clap::clap_input_events in = ev.input();
        const clap::clap_output_events out = ev.output();
        plugin_.params().flush(plugin_.plugin, &in, &out);
    }
    bool start(int max_block, bool offline) override {
        return plugin_.start(kRate, static_cast<std::uint32_t>(max_block),
                             offline ? clap::render_offline : clap::render_realtime);
    }
    bool process(const float* const* in, float* const* out, int frames,
                 const std::vector<parameter_change>& changes) override {
        clap_test_host::events ev;
        for (const parameter_change& c : changes)
            ev.add(static_cast<clap::clap_id>(c.id), static_cast<std::uint32_t>(c.offset), c.value);
        return plugin_.process(in, out, static_cast<std::uint32_t>(frames), &ev) == clap::process_continue;
    }
    std::vector<unsigned char> state() override { return plugin_.state(); }
    bool set_state(const std::vector<unsigned char>& bytes) override { return plugin_.set_state(bytes); }

private:
    clap_test_host::instance plugin_;
};

}  // namespace

plugin_format vst3_format() {
    return {"Vst3", [] {
                static const vst3_host::module loaded{TESSVANE_VST3_PATH};
                return std::unique_ptr<format_instance>(std::make_unique<vst3_instance>(loaded));
            }};
}

plugin_format clap_format() {
    return {"Clap", [] {
                static const clap_test_host::module loaded{TESSVANE_CLAP_PATH};
                static const clap_test_host::host host;
                return std::unique_ptr<format_instance>(std::make_unique<clap_instance>(loaded, host));
            }};
}

stereo run(format_instance& plugin, const stereo& in, int block,
           const std::function<void(int start, std::vector<parameter_change>&)>& changes) {
    stereo out(in.frames());
    for (int done = 0; done < in.frames(); done += block) {
        const int n = std::min(block, in.frames() - done);
        const float* ins[] = {in.left.data() + done, in.right.data() + done};
        float* outs[] = {out.left.data() + done, out.right.data() + done};
        std::vector<parameter_change> block_changes;
        if (changes) changes(done, block_changes);
        EXPECT_TRUE(plugin.process(ins, outs, n, block_changes));
    }
    return out;
}
