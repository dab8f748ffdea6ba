#include "editor/eq_editor.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <limits>

#include "dsp/band_types.h"
#include "dsp/biquad_band.h"
#include "dsp/control_units.h"
#include "dsp/eq_layout.h"
#include "editor/about_view.h"
#include "editor/analyser_display.h"
#include "editor/analyser_menu.h"
#include "editor/eq_model.h"
#include "editor/fir_length_menu.h"
#include "editor/main_tabs.h"
#include "editor/readout_formatters.h"
#include "editor/response_view.h"
#include "gui/frame.h"
#include "gui/knob.h"
#include "gui/message_dialog.h"
#include "gui/movie_bitmap.h"
#include "gui/notice.h"
#include "gui/on_off_button.h"
#include "gui/option_menu.h"
#include "gui/system_scale.h"
#include "gui/text_label.h"
#include "gui/vertical_switch.h"
#include "platform/clock.h"
#include "resources/resource_table.h"
#include "settings/analyser_preferences.h"

using namespace VSTGUI;

namespace editor {

std::atomic<int> eq_editor::knob_mode_{0};

namespace {

static_assert(dsp::mid_side_control_count <= 32, "one bit per parameter in changed_parameters_");

// Past every parameter's tag, the M/S plug-in's included.
constexpr int kSplashTag = 100;
constexpr int kBusyTag = 101;
constexpr int kVisPanelTag = 102;
constexpr int kFirLengthTag = 103;
constexpr int kAnalyserMenuTag = 104;

constexpr int kKnobSize = 38;  // the knob strips' width
constexpr int kKnobFrames = 64;
constexpr float kFineDragScale = 8.0f;
constexpr std::uint32_t kMasterIdlePeriodMs = 100;

constexpr CColor kUnselectedTabColour{120, 120, 120, 255};

// One reference while the layout is built; the views keep their own.
class layout_bitmap {
public:
    explicit layout_bitmap(int id) : bitmap_(new CBitmap(id)) {}
    ~layout_bitmap() { bitmap_->forget(); }
    layout_bitmap(const layout_bitmap&) = delete;
    layout_bitmap& operator=(const layout_bitmap&) = delete;
    operator CBitmap*() const { return bitmap_; }
    CBitmap* operator->() const { return bitmap_; }

private:
    CBitmap* bitmap_;
};

void style_readout(CParamDisplay& display, CHoriTxtAlign align = kCenterText) {
    display.setFont(CFontDesc("Arial", 11));
    display.setFontColor(kBlackCColor);
    display.setBackColor(kWhiteCColor);
    display.setFrameColor(kWhiteCColor);
    display.setHoriAlign(align);
}

CAnimKnob* make_knob(const CRect& size, CControlListener* listener, int tag, CBitmap* strip) {
    auto* knob = new CAnimKnob(size, listener, tag, kKnobFrames, kKnobSize, strip);
    knob->setDefaultValue(0.5f);
    knob->setMin(0.0f);
    knob->setMax(1.0f);
    return knob;
}

// Read-outs show physical values, so their range is not the controls' 0..1.
CParamDisplay* make_readout(const CRect& size, CParamDisplay::StringConvert convert) {
    auto* display = new CParamDisplay(size);
    style_readout(*display);
    display->setStringConvert(convert);
    display->setMin(std::numeric_limits<float>::lowest());
    display->setMax(std::numeric_limits<float>::max());
    return display;
}

// The band's type selector: the picture of the types its role offers.
struct type_switch_art {
    int bitmap_id;
    int positions;  // one 32-pixel image each
};
type_switch_art type_switch_for(int band) {
    const int role = dsp::role_of_band(band);
    const int bitmap_id = role == dsp::biquad_band::role_low ? 133 : role == dsp::biquad_band::role_high ? 135 : 134;
    return {bitmap_id, dsp::offered_type_count(role)};
}

// What a control shows for a parameter's value. The switches show what the
// equaliser does with it: "Filters" is on above 0, a band from 0.5 on, and
// a type selector shows the band's type, which the value selects as
// floor(2v) (and which a value out of range leaves as it was). The single
// picture of band 3's selector and every knob show the value itself.
float switch_picture(int index, float value, const dsp::band_readout& band) {
    if (index == dsp::filters_control) return value > 0.0f ? 1.0f : 0.0f;
    if (!dsp::is_band_control(index)) return value;
    const int row = dsp::band_of(index);
    switch (dsp::slot_of(index)) {
        case dsp::slot_on_off: return band.on_off >= 0.5f ? 1.0f : 0.0f;
        case dsp::slot_mode: {
            const int role = dsp::role_of_band(row);
            if (dsp::offered_type_count(role) == 1) return value;
            return dsp::normalised_of_type_position(std::max(dsp::position_of_type(role, band.type), 0));
        }
        default: return value;
    }
}

// The default program's value as its control holds it: a type selector
// holds its position, not the mode value that selects it.
float default_value(int index) {
    if (dsp::is_placement_control(index)) return 0.0f;  // Stereo's entry
    const float value = dsp::default_control_values[index];
    if (!dsp::is_band_control(index) || dsp::slot_of(index) != dsp::slot_mode) return value;
    return static_cast<float>(std::max(dsp::type_position_of(value), 0)) / 2.0f;
}

}  // namespace

eq_editor::eq_editor(eq_model& model) : model_(model) {
    VSTGUI::set_resource_lookup(resources::find_resource);
    // Message boxes appear as dialogs, not only on stderr, when a display is there.
    VSTGUI::install_message_dialog();
}

eq_editor::~eq_editor() { close(); }

namespace {

// The nearest quarter step from 1 to 2; 1 for nonsense.
double scale_step(double factor) {
    if (!(factor > 0.0) || !std::isfinite(factor)) return 1.0;
    return std::clamp(std::round(factor * 4.0) / 4.0, 1.0, 2.0);
}

}  // namespace

void eq_editor::set_scale(double factor) {
    host_scale_ = scale_step(factor);
    if (frame && frame->getScale() != host_scale_) frame->setScale(host_scale_);
}

double eq_editor::scale() const {
    if (host_scale_ > 0.0) return host_scale_;
    if (system_scale_ == 0.0) system_scale_ = scale_step(system_dpi_scale(parent_window_));
    return system_scale_;
}

int eq_editor::device_width() const { return int(std::lround(kWidth * scale())); }
int eq_editor::device_height() const { return int(std::lround(kHeight * scale())); }

bool eq_editor::open(void* parent_window) {
    if (frame) close();  // a host that opens twice gets one window
    layout_bitmap background(130);
    // The system's scale where this window is (Windows: its monitor's).
    if (parent_window != parent_window_) system_scale_ = 0.0;
    parent_window_ = parent_window;
    auto* new_frame = new CFrame(CRect(0, 0, kWidth, kHeight), parent_window, this, scale());
    if (!new_frame->isOpen()) {
        delete new_frame;
        return false;
    }
    new_frame->setBackground(background);
    build_layout(*new_frame, controls_);
    frame = new_frame;
    changed_parameters_.store(0);
    for (int index = 0; index < model_.parameter_count(); ++index) refresh(index);
    passes_seen_ = model_.redesign_passes();
    return true;
}

void eq_editor::build_layout(CFrame& new_frame, editor_controls& built) {
    knobFineFactor = 1.0f;
    {
        layout_bitmap tab(147), tab_background(149), page_background(150);
        const CRect size(4, 4, 4 + page_background->getWidth(),
                         4 + page_background->getHeight() + tab->getHeight() / 2);
        built.mainTabView =
            new main_tabs(size, tab, tab_background, CTabView::kPositionTop, [this] { mark_response_for_render(); });
        new_frame.addView(built.mainTabView);
        auto* page = new CViewContainer(built.mainTabView->getContentRect(), page_background);
        build_linear_eq_page(*page, built);
        built.mainTabView->addTab(page, "Linear EQ");
        built.mainTabView->setTabFontStyle(CFontDesc("Arial", 10));
        built.mainTabView->setTabFontColors(kBlackCColor, kUnselectedTabColour);
        built.mainTabView->alignTabs(CTabView::kAlignCenter);
    }
    {
        layout_bitmap hourglass(142);
        built.busyIndicator = new CMovieBitmap(CRect(1, 4, 17, 20), this, kBusyTag, 2, 16, hourglass);
        built.busyIndicator->setMax(1.0f);
        built.busyIndicator->setMin(0.0f);
        built.busyIndicator->setValue(0.0f);
        new_frame.addView(built.busyIndicator);
    }
    const float fine_factor = knobFineFactor * kFineDragScale;
    built.masterGainKnob->setFineFactor(fine_factor);
    for (editor_controls::band_row& row : built.bandControls)
        for (CAnimKnob* knob : {row.gainKnob, row.freqKnob, row.qKnob}) knob->setFineFactor(fine_factor);
    {
        layout_bitmap field(145);
        built.responseView = new response_view(CRect(5, 181, 5 + field->getWidth(), 181 + field->getHeight()), this,
                                               kVisPanelTag, field, &model_, [this] { return filters_button_on(); });
        built.responseView->analyser()->set_preferences(settings::read_analyser_preferences());
        built.responseView->set_context_menu([this](CPoint where) { open_analyser_menu(where); });
        built.responseView->set_band_links(
            {[this](int band) { controls_.bandTabView->selectTab(band); }, [this](int index) { refresh(index); },
             [this] { return controls_.bandTabView ? controls_.bandTabView->getCurrentSelectedTab() : -1; }});
        new_frame.addView(built.responseView);
        built.responseView->invalid();
        built.analyserMenu = new COptionMenu(CRect(0, 0, 0, 0), this, kAnalyserMenuTag);
        style_readout(*built.analyserMenu, kLeftText);
        fill_analyser_menu(*built.analyserMenu);
        new_frame.addView(built.analyserMenu);
    }
    // Ctrl-click gives each control the default program's value.
    for (int index = 0; index < model_.parameter_count(); ++index)
        if (CControl* control = control_for(index)) control->setDefaultValue(default_value(index));
    {
        layout_bitmap about(131);
        const int left = (kWidth - about->getWidth()) / 2;
        const int top = (kHeight - about->getHeight()) / 2 + 50;
        const CRect display_area(left, top, left + about->getWidth(), top + about->getHeight());
        // Over the maker's logo in the background.
        built.splashScreen =
            new about_splash(CRect(526, 156, 603, 167), this, kSplashTag, about, display_area, CPoint(0, 0));
        built.splashScreen->aboutView().set_model(&model_);
        new_frame.addView(built.splashScreen);
    }
}

void eq_editor::build_linear_eq_page(CViewContainer& page, editor_controls& built) {
    const int width = page.getWidth();
    {
        layout_bitmap strip(137);
        built.masterGainKnob = make_knob(CRect(46, 60, 84, 98), this, 0, strip);
        page.addView(built.masterGainKnob);
        knobFineFactor = built.masterGainKnob->getFineFactor();
    }
    built.masterGainDisplay = make_readout(CRect(47, 98, 91, 112), readout::master_gain_text);
    page.addView(built.masterGainDisplay);
    {
        layout_bitmap power(143);
        built.filtersButton = new COnOffButton(CRect(width - 16 - 1, 4, width - 1, 20), this, 1, power);
        built.filtersButton->setDefaultValue(0.0f);
        page.addView(built.filtersButton);
    }
    {
        layout_bitmap field(146);
        built.firLengthMenu =
            new COptionMenu(CRect(width - 90, 116, width, 130), this, kFirLengthTag, field, k3DIn | kCheckStyle);
        style_readout(*built.firLengthMenu, kRightText);
        fill_fir_length_menu(*built.firLengthMenu, model_);
        page.addView(built.firLengthMenu);
    }
    layout_bitmap tab(148), band_background(150), band_page_background(151);
    const int band_page_width = band_page_background->getWidth();
    const int left = width / 2 - band_page_width / 2;
    const CRect size(left, 20, left + band_page_width, 20 + band_page_background->getHeight() + tab->getHeight() / 2);
    built.bandTabView = new CTabView(size, tab, band_background, CTabView::kPositionBottom);
    page.addView(built.bandTabView);
    for (int band = 0; band < dsp::band_count; ++band) {
        auto* band_page = new CViewContainer(built.bandTabView->getContentRect(), band_page_background);
        build_band_page(band, *band_page, built.bandControls[band]);
        const char title[2] = {char('1' + band), '\0'};
        built.bandTabView->addTab(band_page, title);
    }
    built.bandTabView->setTabFontStyle(CFontDesc("Arial", 9));
    built.bandTabView->setTabFontColors(kBlackCColor, kUnselectedTabColour);
    built.bandTabView->alignTabs(CTabView::kAlignStart);
}

void eq_editor::build_band_page(int band, CViewContainer& page, editor_controls::band_row& row) {
    const int t = dsp::band_slot_start(band);
    {
        layout_bitmap gain_strip(137), strip(138);
        row.gainKnob = make_knob(CRect(16, 40, 54, 78), this, t + dsp::slot_gain, gain_strip);
        row.freqKnob = make_knob(CRect(62, 40, 100, 78), this, t + dsp::slot_frequency, strip);
        row.qKnob = make_knob(CRect(108, 40, 146, 78), this, t + dsp::slot_q, strip);
    }
    const type_switch_art art = type_switch_for(band);
    {
        layout_bitmap selector(art.bitmap_id);
        row.typeSwitch = new CVerticalSwitch(CRect(200, 42, 240, 74), this, t + dsp::slot_mode, art.positions, 32,
                                             art.positions, selector);
        row.typeSwitch->setDefaultValue(0.0f);
        row.typeSwitch->setMin(0.0f);
        row.typeSwitch->setMax(1.0f);
    }
    {
        layout_bitmap lamp(144);
        // Centred under the knob-sized group caption.
        const int x = 246 + (kKnobSize / 2 - lamp->getWidth() / 2);
        const int y = 38 + 9;
        row.powerButton = new COnOffButton(CRect(x, y, x + lamp->getWidth(), y + lamp->getHeight() / 2), this,
                                           t + dsp::slot_on_off, lamp);
        row.powerButton->setDefaultValue(0.0f);
    }
    row.gainDisplay = make_readout(CRect(13, 78, 58, 92), readout::gain_text);
    row.freqDisplay = make_readout(CRect(59, 78, 104, 92), readout::frequency_text);
    row.qDisplay = make_readout(CRect(105, 78, 150, 92), readout::q_text);
    row.typeLabel = new CTextLabel(CRect(197, 78, 242, 92), "");
    style_readout(*row.typeLabel);
    for (CView* view :
         std::initializer_list<CView*>{row.gainKnob, row.freqKnob, row.qKnob, row.typeSwitch, row.powerButton,
                                       row.gainDisplay, row.freqDisplay, row.qDisplay, row.typeLabel})
        page.addView(view);
    if (model_.parameter_count() > dsp::placement_control(band)) {
        // Under the lamp, beside the type's read-out: room the stereo plug-in leaves empty.
        row.placeMenu = new COptionMenu(CRect(246, 78, 292, 92), this, dsp::placement_control(band));
        style_readout(*row.placeMenu);
        for (const char* entry : {"Stereo", "Mid", "Side"}) row.placeMenu->addEntry(entry);
        page.addView(row.placeMenu);
    }
}

void eq_editor::close() {
    notice_.reset();
    CFrame* doomed = frame;
    frame = nullptr;
    controls_ = {};
    delete doomed;
}

void* eq_editor::window_handle() const { return frame ? frame->getWindowHandle() : nullptr; }

int eq_editor::event_descriptor() const { return frame ? frame->getEventDescriptor() : -1; }

void eq_editor::parameter_changed(int index) {
    if (is_parameter(index)) changed_parameters_.fetch_or(1u << index);
}

void eq_editor::idle() {
    if (!frame) return;
    const std::uint32_t changed = changed_parameters_.exchange(0);
    for (int index = 0; index < model_.parameter_count(); ++index)
        if (changed >> index & 1u) refresh(index);
    follow_redesign();
    controls_.responseView->follow_analyser();
    if (notice_ && notice_->pump()) notice_.reset();
    frame->idle();
    const std::uint32_t now = platform::tick_count_ms();
    if (now - last_master_idle_ms_ >= kMasterIdlePeriodMs) {
        last_master_idle_ms_ = now;
        model_.host_idle();
    }
}

bool eq_editor::is_parameter(int tag) const { return tag >= 0 && tag < model_.parameter_count(); }

CControl* eq_editor::control_for(int index) const {
    if (index == dsp::gain_control) return controls_.masterGainKnob;
    if (index == dsp::filters_control) return controls_.filtersButton;
    if (dsp::is_placement_control(index)) return controls_.bandControls[index - dsp::first_placement_control].placeMenu;
    const editor_controls::band_row& row = controls_.bandControls[dsp::band_of(index)];
    switch (dsp::slot_of(index)) {
        case dsp::slot_on_off: return row.powerButton;
        case dsp::slot_mode: return row.typeSwitch;
        case dsp::slot_frequency: return row.freqKnob;
        case dsp::slot_gain: return row.gainKnob;
        default: return row.qKnob;
    }
}

void eq_editor::refresh(int index) {
    CControl* control = control_for(index);
    if (!control) return;
    const float value = model_.parameter(index);
    if (index == dsp::gain_control) {
        control->setValue(value);
        control->invalid();
        controls_.masterGainDisplay->setValue(2.0f * value);
        controls_.masterGainDisplay->invalid();
        return;  // the response does not depend on the master gain
    }
    if (dsp::is_placement_control(index)) {
        static_cast<COptionMenu*>(control)->setCurrent(dsp::placement_of(value));
    } else if (!dsp::is_band_control(index)) {
        control->setValue(switch_picture(index, value, {}));
    } else {
        const dsp::band_readout band = model_.band_readout(dsp::band_of(index));
        control->setValue(switch_picture(index, value, band));
        refresh_readout(index, band);
        // A cut has no gain.
        const editor_controls::band_row& row = controls_.bandControls[dsp::band_of(index)];
        row.gainKnob->setDimmed(dsp::is_cut(band.type));
        row.gainDisplay->setDimmed(dsp::is_cut(band.type));
    }
    control->invalid();
    mark_response_for_render();
}

void eq_editor::refresh_readout(int index, const dsp::band_readout& band) {
    const editor_controls::band_row& row = controls_.bandControls[dsp::band_of(index)];
    CParamDisplay* display = nullptr;
    switch (dsp::slot_of(index)) {
        case dsp::slot_mode: row.typeLabel->setText(dsp::names_of_type(band.type).editor); return;
        case dsp::slot_frequency:
            display = row.freqDisplay;
            display->setValue(band.frequency);
            break;
        case dsp::slot_gain:
            display = row.gainDisplay;
            display->setValue(band.gain);
            break;
        case dsp::slot_q:
            display = row.qDisplay;
            display->setValue(band.q);
            break;
        default: return;
    }
    display->invalid();
}

void eq_editor::mark_response_for_render() {
    if (!controls_.responseView) return;
    controls_.responseView->markForRender();
    controls_.responseView->invalid();
}

// The indicator shows while the worker is busy; a pass that began and ended
// between two idle steps still shows for one, and each finished pass may
// have changed the response.
void eq_editor::follow_redesign() {
    const int passes = model_.redesign_passes();
    const bool finished = passes != passes_seen_;
    passes_seen_ = passes;
    CMovieBitmap* indicator = controls_.busyIndicator;
    const bool missed = finished && indicator->getValue() == 0.0f;
    const float shown = model_.redesign_busy() || missed ? 1.0f : 0.0f;
    if (indicator->getValue() != shown) {
        indicator->setValue(shown);
        indicator->invalid();
    }
    if (finished) mark_response_for_render();
}

bool eq_editor::filters_button_on() const {
    return controls_.filtersButton && controls_.filtersButton->getValue() != 0.0f;
}

void eq_editor::controlChanged(CControl* control) {
    const int tag = control->getTag();
    if (is_parameter(tag)) {
        // A placement's menu holds the entry's index.
        const float value =
            dsp::is_placement_control(tag)
                ? dsp::normalised_of_placement(dsp::placement(static_cast<COptionMenu*>(control)->getCurrent()))
                : control->getValue();
        model_.change_parameter(tag, value);
        // Not every host reports an edit back to its editor (an LV2 host's
        // echo of a port is no change to the model): the read-outs and the
        // curve follow it at the next idle step all the same.
        parameter_changed(tag);
    } else if (tag == kFirLengthTag && controls_.firLengthMenu) {
        if (const auto told = apply_fir_length_choice(*controls_.firLengthMenu, model_)) {
            notice_.reset();  // the earlier one goes first, so the new one is on top
            notice_ = VSTGUI::notice::show(*told, parent_window_, scale());
        }
    } else if (tag == kAnalyserMenuTag && control == controls_.analyserMenu) {
        apply_analyser_choice();
    }
}

void eq_editor::open_analyser_menu(CPoint where) {
    COptionMenu* menu = controls_.analyserMenu;
    if (!menu) return;
    check_analyser_menu(*menu, controls_.responseView->analyser()->preferences());
    menu->setViewSize(CRect(where.x, where.y, where.x, where.y));
    menu->openList();
}

// Applied at once; kept for the next editor, and a store that cannot be
// written is reported without stopping the editor.
void eq_editor::apply_analyser_choice() {
    analyser_display& analyser = *controls_.responseView->analyser();
    const settings::analyser_preferences chosen =
        analyser_choice(controls_.analyserMenu->getCurrent(), analyser.preferences());
    analyser.set_preferences(chosen);
    controls_.responseView->invalid();
    try {
        settings::write_analyser_preferences(chosen);
    } catch (const std::exception& e) {
        notice_.reset();
        notice_ = VSTGUI::notice::show({e.what(), "Ravelthorpe: Tessvane", platform::message_icon::error},
                                       parent_window_, scale());
    }
}

// Only parameter controls report gestures to the host.
void eq_editor::beginEdit(int tag) {
    if (is_parameter(tag)) model_.begin_edit(tag);
}

void eq_editor::endEdit(int tag) {
    if (is_parameter(tag)) model_.end_edit(tag);
}

}  // namespace editor
