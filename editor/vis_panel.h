// The response display: the combined magnitude response of the five band
// sections over a near-logarithmic axis from 0 to 22050 Hz, with a dB scale
// from +20 to -20 and frequency ticks. Rendered into its own picture only
// when marked, copied to the window on every paint.
//
// Threads: markForRender may come from any thread (parameter refreshes, the
// IR worker); everything else runs on the editor's thread.
#pragma once

#include <atomic>
#include <memory>

#include "dsp/fir_cascaded_biquad.h"
#include "gui/control.h"
#include "gui/offscreen_context.h"

class SDEditor;
class VST_Plugin;

inline constexpr int response_band_count = 5;

// Draws the whole picture (width x height) for the bands' channel-0
// sections; grey curve colours when the filters are off. The axis is scaled
// by the first band's sample rate.
void render_response(VSTGUI::CDrawContext& picture, int width, int height,
                     const section_coefficients (&bands)[response_band_count], bool filters_on);

class CVisPanel : public VSTGUI::CControl {
public:
    // The bitmap is never drawn; its size is the picture's.
    CVisPanel(const VSTGUI::CRect& size, VSTGUI::CControlListener* listener, int tag, VSTGUI::CBitmap* bitmap);

    void setPlugin(VST_Plugin* plugin) { plugin_ = plugin; }
    void setEditor(SDEditor* editor) { editor_ = editor; }

    // The next paint renders the picture anew; any thread.
    void markForRender() { needs_render_.store(true, std::memory_order_relaxed); }

    void draw(VSTGUI::CDrawContext* context) override;
    bool isTypeOf(const char* type) const override;
    VSTGUI::CView* newCopy() const override;

private:
    void render(VSTGUI::CDrawContext& picture, int width, int height) const;

    VST_Plugin* plugin_ = nullptr;
    SDEditor* editor_ = nullptr;
    std::unique_ptr<VSTGUI::COffscreenContext> offscreen_;
    std::atomic<bool> needs_render_{true};
};
