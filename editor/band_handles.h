// The bands' handles on the response display: a numbered disc for each band
// that is on, at its frequency and gain (at 0 dB for a cut), in the colour
// of the curve it shapes. A drag moves the
// frequency across and the gain up and down, Shift for finer steps; the
// wheel steps the Q; a double-click on a handle resets its gain, one on
// empty space turns on the free band nearest in frequency there. Every
// change is a host edit: begin, the values, end, both parameters of a drag
// in one gesture. Positions are in the display's own coordinates, on the
// axis of response_axis.h. Editor thread only.
#pragma once

#include <functional>

#include "dsp/eq_layout.h"
#include "dsp/fir_cascaded_biquad.h"
#include "gui/color.h"
#include "gui/geometry.h"
#include "gui/mouse.h"

namespace VSTGUI {
class CDrawContext;
}

namespace editor {

class eq_model;

// What the handles tell the editor and ask of it; any may be empty.
struct band_links {
    std::function<void(int band)> picked;   // a click chose the band
    std::function<void(int index)> edited;  // a handle changed the parameter
    std::function<int()> selected;          // the band whose tab shows, -1 for none
};

class band_handles {
public:
    static constexpr int radius = 7;  // hit and drawn: 14 pixels across

    // The links are the owner's and outlive the handles.
    band_handles(eq_model& model, int width, int height, const band_links& links);
    // Ends the gesture of a drag cut short.
    ~band_handles();
    band_handles(const band_handles&) = delete;
    band_handles& operator=(const band_handles&) = delete;

    // Takes the bands' settings as they are now: the handles stand where
    // they were when the curve beneath them was last measured.
    void measure();
    void draw(VSTGUI::CDrawContext& picture) const;
    // Each answers whether it took the event; a move, whether the picture
    // changed.
    bool mouse_down(VSTGUI::CPoint where, VSTGUI::CButtonState buttons);
    bool mouse_moved(VSTGUI::CPoint where, VSTGUI::CButtonState buttons);
    bool mouse_up();
    bool wheel(VSTGUI::CPoint where, float distance, VSTGUI::CButtonState buttons);
    // The pointer left the display; true when a band's values were shown.
    bool mouse_exited();

    // The handle's centre; valid for a band that is on.
    VSTGUI::CPoint handle_centre(int band) const;
    // The topmost handle at `where`, -1 for none.
    int band_at(VSTGUI::CPoint where) const;
    // The band whose values are shown (hovered or dragged), -1 for none.
    int shown_band() const { return dragged_ >= 0 ? dragged_ : hovered_; }

private:
    struct point {
        double x, y;
    };
    point centre(int band) const;
    bool is_on(int band) const { return shown_[band].on_off >= 0.5f; }
    double hz_at(double x) const;
    double db_at(double y) const;
    float highest_hz() const;
    void anchor(VSTGUI::CPoint where, VSTGUI::CButtonState buttons);
    void drag_to(VSTGUI::CPoint where);
    void change(int index, float value);
    void end_gesture();
    void bring_to_top(int band);
    // The bands from bottom to top: the selected one on top, then the most
    // recently used.
    void stacking(int (&bands)[dsp::band_count]) const;
    void turn_on_free_band(VSTGUI::CPoint where);

    eq_model& model_;
    int width_, height_;
    const band_links& links_;
    dsp::band_readout shown_[dsp::band_count];
    bool on_side_[dsp::band_count] = {};  // drawn in the side curve's colour
    int order_[dsp::band_count];          // by use, the last used last
    int hovered_ = -1;
    int dragged_ = -1;
    bool editing_ = false;       // the drag's gesture has begun
    bool editing_gain_ = false;  // and takes the gain too (not for a cut)
    bool fine_ = false;
    VSTGUI::CPoint anchor_point_;
    double anchor_hz_ = 0.0, anchor_db_ = 0.0;
};

}  // namespace editor
