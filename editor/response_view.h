// The response display: the magnitude response of the FIR in use (or, while
// a redesign is pending, of the five band sections combined) over a
// near-logarithmic axis from 0 to 22050 Hz, with a dB scale from +20 to -20
// and frequency ticks. Rendered into its own picture only when marked,
// copied to the window on every paint. Editor thread only.
#pragma once

#include <atomic>
#include <functional>
#include <memory>

#include "dsp/eq_layout.h"
#include "dsp/fir_cascaded_biquad.h"
#include "gui/control.h"
#include "gui/offscreen_context.h"

namespace editor {

class eq_model;

// Draws the whole picture (width x height) for the bands' channel-0
// sections, or, given fir_db (one value per plot column), for the FIR in
// use; grey curve colours when the filters are off. The axis is scaled by
// the first band's sample rate.
void render_response(VSTGUI::CDrawContext& picture, int width, int height,
                     const dsp::section_coefficients (&bands)[dsp::band_count], bool filters_on,
                     const float* fir_db = nullptr);

class response_view : public VSTGUI::CControl {
public:
    // The bitmap is never drawn; its size is the picture's. Without a model
    // the curve is flat; without filters_on it is drawn as filters off.
    response_view(const VSTGUI::CRect& size, VSTGUI::CControlListener* listener, int tag, VSTGUI::CBitmap* bitmap,
                  const eq_model* model, std::function<bool()> filters_on);

    // The next paint renders the picture anew.
    void markForRender() { needs_render_.store(true, std::memory_order_relaxed); }

    void draw(VSTGUI::CDrawContext* context) override;
    bool isTypeOf(const char* type) const override;
    VSTGUI::CView* newCopy() const override;

private:
    void render(VSTGUI::CDrawContext& picture, int width, int height) const;

    const eq_model* model_;
    std::function<bool()> filters_on_;
    std::unique_ptr<VSTGUI::COffscreenContext> offscreen_;
    std::atomic<bool> needs_render_{true};
};

}  // namespace editor
