// The response display: the magnitude response of the FIR in use (or, while
// a redesign is pending, of the five band sections combined), two of them,
// the mid's and the side's, while a band of the M/S plug-in is on either, over the
// logarithmic axis of response_axis.h, with its dB scale and frequency
// ticks, over the analyser's traces (analyser_display.h). The curve is
// measured only when marked; every paint composes the cached scale, the
// traces and the curve straight into the window's picture, at its scale.
// Editor thread only.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "dsp/eq_layout.h"
#include "dsp/fir_cascaded_biquad.h"
#include "editor/band_handles.h"
#include "gui/control.h"
#include "gui/offscreen_context.h"

namespace editor {

class analyser_display;
class eq_model;

// Draws the whole picture (width x height) for the bands' channel-0
// sections, or, given fir_db (one value per plot column below half the
// sample rate), for the FIR in use; a grey curve when the filters are off. The axis is scaled by
// the first band's sample rate.
void render_response(VSTGUI::CDrawContext& picture, int width, int height,
                     const dsp::section_coefficients (&bands)[dsp::band_count], bool filters_on,
                     const float* fir_db = nullptr);

class response_view : public VSTGUI::CControl {
public:
    // The bitmap is never drawn; its size is the picture's. Without a model
    // the curve is flat and there is no analyser; without filters_on the
    // curve is drawn as filters off.
    response_view(const VSTGUI::CRect& size, VSTGUI::CControlListener* listener, int tag, VSTGUI::CBitmap* bitmap,
                  eq_model* model, std::function<bool()> filters_on);
    ~response_view() override;

    // The next paint measures the curve anew.
    void markForRender() { needs_render_.store(true, std::memory_order_relaxed); }
    // The editor's idle step: the analyser takes the audio's samples; true
    // (and the view marked for a paint) when its traces changed.
    bool follow_analyser();
    // Null without a model.
    analyser_display* analyser() const { return analyser_.get(); }
    // What a right click does, given where it was (in the frame).
    void set_context_menu(std::function<void(VSTGUI::CPoint)> open) { context_menu_ = std::move(open); }
    // Null without a model.
    band_handles* handles() const { return handles_.get(); }
    void set_band_links(band_links links) { band_links_ = std::move(links); }

    void draw(VSTGUI::CDrawContext* context) override;
    // A left click on a handle grabs it, elsewhere clears the peak hold; a
    // right click opens the context menu.
    bool onMouseDown(VSTGUI::CPoint where, VSTGUI::CButtonState buttons) override;
    bool onMouseMoved(VSTGUI::CPoint where, VSTGUI::CButtonState buttons) override;
    bool onMouseUp(VSTGUI::CPoint where, VSTGUI::CButtonState buttons) override;
    bool onWheel(VSTGUI::CPoint where, float distance, VSTGUI::CButtonState buttons) override;
    void onMouseExited() override;
    bool isTypeOf(const char* type) const override;
    VSTGUI::CView* newCopy() const override;

private:
    // A point of the container's, in the view's own coordinates.
    VSTGUI::CPoint in_view(VSTGUI::CPoint where) const;
    void measure_curve(int width, int height);
    void compose_background(VSTGUI::CDrawContext& picture, int width, int height);

    eq_model* model_;
    std::function<bool()> filters_on_;
    std::function<void(VSTGUI::CPoint)> context_menu_;
    band_links band_links_;  // before the handles, which keep it
    std::unique_ptr<analyser_display> analyser_;
    std::unique_ptr<band_handles> handles_;
    std::unique_ptr<VSTGUI::COffscreenContext> background_;         // white and the scale
    std::unique_ptr<VSTGUI::COffscreenContext> filled_background_;  // the same, the plot filled
    std::vector<int> first_filled_;                                 // per plot column
    std::vector<std::uint32_t> composed_;                           // the background as this paint shows it
    std::vector<double> curve_rows_;
    std::vector<double> side_rows_;  // empty but for the M/S plug-in's split
    VSTGUI::CColor curve_colour_{};
    VSTGUI::CColor side_colour_{};
    std::atomic<bool> needs_render_{true};
};

}  // namespace editor
