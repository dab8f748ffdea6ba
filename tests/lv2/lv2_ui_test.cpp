// The LV2 UI module under a small host of our own (no suil): loaded from the
// bundle, given a parent window, the idle interface, touch, and the sample
// rate through the options; compared with the VST 2.x editor on the screen.
#include <dlfcn.h>
#include <lv2/atom/atom.h>
#include <lv2/options/options.h>
#include <lv2/parameters/parameters.h>
#include <lv2/ui/ui.h>
#include <lv2/urid/urid.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "../editor/editor_window_fixture.h"
// After gtest: Xlib defines None and Bool.
#include <X11/Xutil.h>

#include "dsp/biquad_band.h"
#include "dsp/eq_layout.h"
#include "editor/band_handles.h"
#include "editor/eq_editor.h"
#include "editor/response_view.h"
#include "gui/knob.h"
#include "gui/param_display.h"
#include "lv2/port_table.h"
#include "plugin/tessvane_plugin.h"
#include "uri_map.h"

namespace {

struct written_port {
    std::uint32_t port;
    float value;
};
struct touched_port {
    std::uint32_t port;
    bool grabbed;
    bool operator==(const touched_port&) const = default;
};

// What UIs asked of the analyser's request port, in order: 1 on, 0 off.
std::vector<int> analyser_requests;

// The UI module as a host instantiates it.
class lv2_ui {
public:
    // A `scale` above 0 is offered as the host's scale factor.
    lv2_ui(const host_window& parent, bool offer_idle_interface = true, float scale = 0.0f, bool mid_side = false)
        : scale_(scale) {
        module_ = dlopen(LV2_UI_MODULE, RTLD_NOW | RTLD_LOCAL);
        if (!module_) {
            ADD_FAILURE() << dlerror();
            return;
        }
        const auto entry = reinterpret_cast<LV2UI_DescriptorFunction>(dlsym(module_, "lv2ui_descriptor"));
        descriptor_ = entry(mid_side ? 1 : 0);
        EXPECT_STREQ(descriptor_->URI,
                     mid_side ? "urn:ravelthorpe:tessvane-le-ms:ui" : "urn:ravelthorpe:tessvane-le:ui");
        rate_option_[0] = {LV2_OPTIONS_INSTANCE,  0,     map_(LV2_PARAMETERS__sampleRate), sizeof rate_,
                           map_(LV2_ATOM__Float), &rate_};
        if (scale > 0.0f)
            rate_option_[1] = {LV2_OPTIONS_INSTANCE,  0,      map_(LV2_UI__scaleFactor), sizeof scale_,
                               map_(LV2_ATOM__Float), &scale_};
        std::vector<LV2_Feature> offered = {{LV2_UI__parent, parent.handle()},
                                            {LV2_UI__touch, &touch_},
                                            *map_.feature(),
                                            {LV2_OPTIONS__options, rate_option_}};
        if (offer_idle_interface) offered.push_back({LV2_UI__idleInterface, nullptr});
        features_ = offered;
        std::vector<const LV2_Feature*> list;
        for (const LV2_Feature& f : features_) list.push_back(&f);
        list.push_back(nullptr);
        handle_ = descriptor_->instantiate(descriptor_,
                                           mid_side ? "urn:ravelthorpe:tessvane-le-ms" : "urn:ravelthorpe:tessvane-le",
                                           LV2_BUNDLE_DIR, write, this, &widget_, list.data());
        if (handle_)
            idle_ = static_cast<const LV2UI_Idle_Interface*>(descriptor_->extension_data(LV2_UI__idleInterface));
    }
    ~lv2_ui() {
        if (handle_) descriptor_->cleanup(handle_);
        if (module_) dlclose(module_);
    }
    lv2_ui(const lv2_ui&) = delete;
    lv2_ui& operator=(const lv2_ui&) = delete;

    bool opened() const { return handle_ != nullptr; }
    LV2UI_Widget widget() const { return widget_; }
    void idle(int times = 1) {
        for (int i = 0; i < times; ++i) ASSERT_EQ(idle_->idle(handle_), 0);
    }
    // The host's new scale through the options interface.
    std::uint32_t set_scale(float scale) {
        const auto* options =
            static_cast<const LV2_Options_Interface*>(descriptor_->extension_data(LV2_OPTIONS__interface));
        if (!options) return LV2_OPTIONS_ERR_UNKNOWN;
        const LV2_Options_Option set[] = {
            {LV2_OPTIONS_INSTANCE, 0, map_(LV2_UI__scaleFactor), sizeof scale, map_(LV2_ATOM__Float), &scale},
            {LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr}};
        return options->set(handle_, set);
    }
    void port_event(std::uint32_t port, float value) {
        descriptor_->port_event(handle_, port, sizeof value, 0, &value);
    }
    // The analyser port's notification of frames (output, input, ...).
    void notify_analyser(const std::vector<float>& frames) {
        std::vector<std::uint32_t> atom(sizeof(LV2_Atom_Vector) / 4 + frames.size());
        auto* vector = reinterpret_cast<LV2_Atom_Vector*>(atom.data());
        vector->atom = {std::uint32_t(sizeof(LV2_Atom_Vector_Body) + 4 * frames.size()), map_(LV2_ATOM__Vector)};
        vector->body = {sizeof(float), map_(LV2_ATOM__Float)};
        std::memcpy(vector + 1, frames.data(), 4 * frames.size());
        descriptor_->port_event(handle_, lv2plugin::analyser_port_index, std::uint32_t(4 * atom.size()),
                                map_(LV2_ATOM__eventTransfer), atom.data());
    }

    std::vector<written_port> writes;
    std::vector<touched_port> touches;

private:
    static void write(LV2UI_Controller controller, uint32_t port, uint32_t size, uint32_t format, const void* buffer) {
        auto& ui = *static_cast<lv2_ui*>(controller);
        if (size == sizeof(float) && format == 0) ui.writes.push_back({port, *static_cast<const float*>(buffer)});
        if (port == lv2plugin::analyser_request_port && format == ui.map_(LV2_ATOM__eventTransfer) &&
            size == sizeof(LV2_Atom_Bool))
            analyser_requests.push_back(static_cast<const LV2_Atom_Bool*>(buffer)->body);
    }
    static void touch(LV2UI_Feature_Handle handle, uint32_t port, bool grabbed) {
        static_cast<lv2_ui*>(handle)->touches.push_back({port, grabbed});
    }

    void* module_ = nullptr;
    const LV2UI_Descriptor* descriptor_ = nullptr;
    LV2UI_Handle handle_ = nullptr;
    LV2UI_Widget widget_ = nullptr;
    const LV2UI_Idle_Interface* idle_ = nullptr;
    uri_map map_;
    LV2UI_Touch touch_{this, touch};
    float rate_ = 44100.0f;
    float scale_;
    LV2_Options_Option rate_option_[3] = {};
    std::vector<LV2_Feature> features_;
};

std::vector<unsigned long> picture_of(Window window) {
    return screen_pixels(window, 0, 0, editor::eq_editor::kWidth, editor::eq_editor::kHeight);
}

std::vector<unsigned long> picture_of(Window window, const VSTGUI::CRect& area) {
    return screen_pixels(window, int(area.left), int(area.top), int(area.width()), int(area.height()));
}

// Where two pictures differ by more than an edge's shade: the UI designs
// from the ports' units, whose round trip from the normalised values may move
// an anti-aliased edge of a curve by a level or two.
int pixels_apart(const std::vector<unsigned long>& a, const std::vector<unsigned long>& b) {
    if (a.size() != b.size()) return -1;
    int apart = 0;
    for (std::size_t i = 0; i < a.size(); ++i)
        for (int shift : {0, 8, 16}) {
            const int one = int(a[i] >> shift & 0xFF), other = int(b[i] >> shift & 0xFF);
            if (std::abs(one - other) > 2) {
                ++apart;
                break;
            }
        }
    return apart;
}

// The VST 2.x editor's picture once its worker has settled.
std::vector<unsigned long> vst_picture(recorded_instance& vst, const host_window& parent) {
    EXPECT_TRUE(vst.open_in(parent));
    wait_until_settled(vst.effect(), [&] { vst.idle(); });
    vst.idle(20);
    std::vector<unsigned long> picture = picture_of(parent.children().at(0));
    vst.close_editor();
    return picture;
}

int type_position(int type) {
    if (type == dsp::biquad_band::hi_pass || type == dsp::biquad_band::lo_pass) return 1;
    if (type == dsp::biquad_band::lo_shelf || type == dsp::biquad_band::hi_shelf) return 2;
    return 0;
}

// What a host reports to the UI for the VST instance's settings: its own
// read-outs in the ports' units, and the latency.
void report_ports_of(recorded_instance& vst, lv2_ui& ui) {
    const plugin::tessvane_plugin& object = vst.plugin();
    const float gain = object.parameter(dsp::gain_control);
    ui.port_event(lv2plugin::port_of_control(dsp::gain_control), 20.0f * std::log10(2.0f * gain));
    ui.port_event(lv2plugin::port_of_control(dsp::filters_control), object.parameter(dsp::filters_control));
    for (int band = 0; band < dsp::band_count; ++band) {
        const dsp::band_readout b = object.band_readout(band);
        const int start = dsp::band_slot_start(band);
        const auto report = [&](int slot, float value) {
            ui.port_event(lv2plugin::port_of_control(start + slot), value);
        };
        report(dsp::slot_on_off, b.on_off >= 0.5f ? 1.0f : 0.0f);
        report(dsp::slot_mode, static_cast<float>(type_position(b.type)));
        report(dsp::slot_frequency, b.frequency);
        report(dsp::slot_gain, b.gain);
        report(dsp::slot_q, b.q);
        const int place = dsp::placement_control(band);
        if (place < vst.effect()->numParams)
            ui.port_event(lv2plugin::port_of_control(place), float(dsp::placement_of(object.parameter(place))));
    }
    ui.port_event(lv2plugin::latency_port, 8192.0f);
}

using Lv2Ui = EditorWindow;

}  // namespace

TEST_F(Lv2Ui, OpensInsideTheParentAt607By383OrAtTheHostsScaleAndNeedsTheIdleInterface) {
    host_window parent;
    {
        lv2_ui without_idle(parent, false);
        EXPECT_FALSE(without_idle.opened());
        EXPECT_TRUE(parent.children().empty());
    }
    lv2_ui ui(parent);
    ASSERT_TRUE(ui.opened());
    ui.idle(3);
    const std::vector<Window> children = parent.children();
    ASSERT_EQ(children.size(), 1u);
    EXPECT_EQ(reinterpret_cast<Window>(ui.widget()), children[0]);
    XWindowAttributes attributes;
    ASSERT_TRUE(XGetWindowAttributes(test_display(), children[0], &attributes));
    EXPECT_EQ(attributes.width, 607);
    EXPECT_EQ(attributes.height, 383);
    EXPECT_EQ(attributes.map_state, IsViewable);

    host_window larger_parent(1280, 800);
    lv2_ui scaled(larger_parent, true, 2.0f);
    ASSERT_TRUE(scaled.opened());
    ASSERT_TRUE(XGetWindowAttributes(test_display(), reinterpret_cast<Window>(scaled.widget()), &attributes));
    EXPECT_EQ(attributes.width, 1214);
    EXPECT_EQ(attributes.height, 766);
    // A scale the host changes later resizes the open editor.
    EXPECT_EQ(scaled.set_scale(1.5f), std::uint32_t(LV2_OPTIONS_SUCCESS));
    scaled.idle(2);
    ASSERT_TRUE(XGetWindowAttributes(test_display(), reinterpret_cast<Window>(scaled.widget()), &attributes));
    EXPECT_EQ(attributes.width, 911);
    EXPECT_EQ(attributes.height, 575);
}

TEST_F(Lv2Ui, AKnobDragWritesItsPortBetweenTouches) {
    host_window parent;
    VSTGUI::CRect knob;
    {
        recorded_instance vst;  // the same layout: where the master gain knob lies
        ASSERT_TRUE(vst.open_in(parent));
        knob = vst.editor().controls().masterGainKnob->getFrameRect();
        vst.close_editor();
    }
    lv2_ui ui(parent);
    ASSERT_TRUE(ui.opened());
    ui.idle(3);
    const int centre_x = (knob.left + knob.right) / 2, centre_y = (knob.top + knob.bottom) / 2;
    // Linear, as LV2 hosts set no mode: 60 pixels up, 0.3 of the range, +4.1 dB.
    move_pointer(parent.handle(), centre_x, centre_y);
    ui.idle(3);
    press_left(true);
    ui.idle(3);
    for (int y = centre_y - 4; y >= centre_y - 60; y -= 4) {
        move_pointer(parent.handle(), centre_x, y);
        ui.idle(2);
    }
    press_left(false);
    ui.idle(5);

    const std::uint32_t gain_port = lv2plugin::port_of_control(dsp::gain_control);
    ASSERT_FALSE(ui.writes.empty());
    for (const written_port& w : ui.writes) EXPECT_EQ(w.port, gain_port);
    EXPECT_GT(ui.writes.back().value, 3.0f);
    EXPECT_LT(ui.writes.back().value, 6.03f);
    EXPECT_EQ(ui.touches, (std::vector<touched_port>{{gain_port, true}, {gain_port, false}}));
}

TEST_F(Lv2Ui, DraggingABandsHandleWritesFrequencyAndGainBetweenTouchesOfBoth) {
    host_window parent;
    VSTGUI::CPoint handle;
    {
        recorded_instance vst;  // the same layout and defaults: where band 2's handle lies
        vst.set(dsp::band_slot_start(1) + dsp::slot_on_off, 1.0f);
        ASSERT_TRUE(vst.open_in(parent));
        vst.idle(2);
        const editor::response_view& view = *vst.editor().controls().responseView;
        handle = view.handles()->handle_centre(1);
        handle.offset(view.getFrameRect().left, view.getFrameRect().top);
        vst.close_editor();
    }
    lv2_ui ui(parent);
    ASSERT_TRUE(ui.opened());
    ui.port_event(lv2plugin::port_of_control(dsp::band_slot_start(1) + dsp::slot_on_off), 1.0f);
    ui.idle(3);
    move_pointer(parent.handle(), handle.x, handle.y);
    ui.idle(2);
    press_left(true);
    ui.idle(2);
    for (int step = 1; step <= 5; ++step) {
        move_pointer(parent.handle(), handle.x + 8 * step, handle.y - 4 * step);
        ui.idle(2);
    }
    press_left(false);
    ui.idle(3);

    const std::uint32_t frequency = lv2plugin::port_of_control(dsp::band_slot_start(1) + dsp::slot_frequency);
    const std::uint32_t gain = frequency + 1;
    EXPECT_EQ(ui.touches,
              (std::vector<touched_port>{{frequency, true}, {gain, true}, {frequency, false}, {gain, false}}));
    float last[2] = {};
    for (const written_port& w : ui.writes) {
        ASSERT_TRUE(w.port == frequency || w.port == gain) << w.port;
        last[w.port - frequency] = w.value;
    }
    EXPECT_GT(last[0], 1200.0f);  // from 1153 Hz
    EXPECT_GT(last[1], 3.0f);     // from 0 dB
}

TEST_F(Lv2Ui, AnEditInTheUiShowsInItsReadoutAndCurveWithOrWithoutTheHostsEcho) {
    host_window parent;
    VSTGUI::CRect knob, readout, curve;
    {
        recorded_instance vst;
        ASSERT_TRUE(vst.open_in(parent));
        const editor::editor_controls& controls = vst.editor().controls();
        knob = controls.bandControls[0].gainKnob->getFrameRect();
        readout = controls.bandControls[0].gainDisplay->getFrameRect();
        curve = controls.responseView->getFrameRect();
        vst.close_editor();
    }
    const std::uint32_t gain_port = lv2plugin::port_of_control(dsp::band_slot_start(0) + dsp::slot_gain);
    for (bool echo : {false, true}) {
        lv2_ui ui(parent);
        ASSERT_TRUE(ui.opened());
        ui.port_event(lv2plugin::port_of_control(dsp::band_slot_start(0) + dsp::slot_on_off), 1.0f);
        ui.port_event(lv2plugin::latency_port, 8192.0f);
        ui.idle(5);
        const Window window = parent.children().at(0);
        const std::vector<unsigned long> readout_before = picture_of(window, readout);
        const std::vector<unsigned long> curve_before = picture_of(window, curve);
        // Up and to the right: more gain in either drag mode.
        const int x = (knob.left + knob.right) / 2, y = int(knob.top) + 2;
        move_pointer(parent.handle(), x, y);
        ui.idle(2);
        press_left(true);
        ui.idle(2);
        for (int step = 1; step <= 8; ++step) {
            move_pointer(parent.handle(), x + 4 * step, y - 3 * step);
            ui.idle(2);
            if (echo && !ui.writes.empty()) ui.port_event(gain_port, ui.writes.back().value);
        }
        press_left(false);
        ui.idle(5);
        ASSERT_FALSE(ui.writes.empty()) << "echo " << echo;
        EXPECT_GT(ui.writes.back().value, 1.0f) << "echo " << echo;
        EXPECT_NE(picture_of(window, readout), readout_before) << "echo " << echo;
        EXPECT_NE(picture_of(window, curve), curve_before) << "echo " << echo;
    }
}

// The M/S plug-in's UI too, with its placements: band 1 on the mid, band 3
// on the side, drawn as two curves; and its Place menu writes the port.
TEST_F(Lv2Ui, PortEventsMoveTheControlsAndThePictureIsTheVstEditorsForTheSameValues) {
    host_window parent;
    for (bool mid_side : {false, true}) {
        recorded_instance vst(mid_side ? core::mid_side_edition : core::stereo_edition);
        const std::vector<unsigned long> vst_default = vst_picture(vst, parent);
        const struct {
            int index;
            float value;
        } settings[] = {
            {0, 0.8f},  {2, 1.0f},   {3, 1.0f},   {4, 0.3f},  {5, 0.75f}, {6, 0.4f},  // band 1: low shelf boost
            {12, 1.0f}, {14, 0.55f}, {15, 0.2f},  {16, 0.6f},                         // band 3: peak cut
            {17, 1.0f}, {18, 0.5f},  {19, 0.85f}, {20, 0.5f}, {21, 0.7f},             // band 4: high cut
        };
        for (const auto& s : settings) vst.set(s.index, s.value);
        if (mid_side) {
            vst.set(dsp::placement_control(0), 0.5f);
            vst.set(dsp::placement_control(2), 1.0f);
        }
        const std::vector<unsigned long> vst_set = vst_picture(vst, parent);
        ASSERT_NE(vst_set, vst_default);

        lv2_ui ui(parent, true, 0.0f, mid_side);
        ASSERT_TRUE(ui.opened());
        ui.port_event(lv2plugin::latency_port, 8192.0f);
        ui.idle(20);
        const Window window = parent.children().at(0);
        EXPECT_EQ(picture_of(window), vst_default) << mid_side;
        report_ports_of(vst, ui);
        ui.idle(20);
        EXPECT_EQ(pixels_apart(picture_of(window), vst_set), 0) << mid_side;
        EXPECT_TRUE(ui.writes.empty()) << "following the host is no change of the user's";
        if (!mid_side) continue;

        // Band 1's Place menu, under its lamp, and its third entry, Side.
        for (const VSTGUI::CPoint at : {VSTGUI::CPoint(410, 125), VSTGUI::CPoint(410, 133 + 2 * 14 + 7)}) {
            move_pointer(parent.handle(), int(at.x), int(at.y));
            ui.idle(2);
            press_left(true);
            ui.idle(2);
            press_left(false);
            ui.idle(3);
        }
        ASSERT_EQ(ui.writes.size(), 1u);
        EXPECT_EQ(ui.writes[0].port, lv2plugin::first_placement_port);
        EXPECT_EQ(ui.writes[0].value, 2.0f);
        EXPECT_EQ(ui.touches, (std::vector<touched_port>{{lv2plugin::first_placement_port, true},
                                                         {lv2plugin::first_placement_port, false}}));
    }
}

// The UI asks the DSP for the analyser's samples while its editor shows a
// trace, draws what the notifications bring, and stops asking as it goes.
TEST_F(Lv2Ui, AsksForTheAnalysersSamplesWhileOpenAndDrawsWhatArrives) {
    host_window parent;
    analyser_requests.clear();
    {
        lv2_ui ui(parent);
        ASSERT_TRUE(ui.opened());
        ui.idle(2);
        EXPECT_EQ(analyser_requests, std::vector<int>{1});
        const auto bluish_in_display = [&] {
            const std::vector<unsigned long> shown = picture_of(reinterpret_cast<Window>(ui.widget()));
            int count = 0;
            for (int y = 181; y < 378; ++y)
                for (int x = 39; x < 602; ++x) {
                    const unsigned long p = shown[std::size_t(y) * editor::eq_editor::kWidth + x];
                    count += (p & 0xFF) > (p >> 16 & 0xFF) + 8;
                }
            return count;
        };
        EXPECT_EQ(bluish_in_display(), 0);
        std::vector<float> frames;
        for (int i = 0; i < 4410; ++i) {  // 1/10 s of a 1 kHz tone at -6 dBFS, in and out
            const float v = 0.5f * float(std::sin(6.283185307179586 * 1000.0 * i / 44100.0));
            frames.insert(frames.end(), {v, v});
        }
        ui.notify_analyser(frames);
        ui.idle(3);
        EXPECT_GT(bluish_in_display(), 1000);
    }
    EXPECT_EQ(analyser_requests, (std::vector<int>{1, 0}));
}
