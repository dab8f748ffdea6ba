// A read-out of a control value as text. The text comes from the string
// conversion function, called with the value and a buffer of
// kTextBufferSize bytes on every draw ("%.2f" without one). Drawn over the
// background bitmap when there is one, else over the back colour, inside a
// one-pixel frame in the frame colour, in the font and font colour, aligned
// horizontally as set and centred vertically.
#pragma once

#include "gui/control.h"
#include "gui/font.h"

namespace VSTGUI {

// Style bits of read-outs and menus; 0 is the plain style.
enum : int {
    k3DIn = 1 << 0,        // bevelled edge: frame colour top-left, back colour bottom-right
    kCheckStyle = 1 << 1,  // option menus: a check mark on the current entry of the list
};

class CParamDisplay : public CControl {
public:
    static constexpr int kTextBufferSize = 256;
    using StringConvert = void (*)(float value, char* text);

    explicit CParamDisplay(const CRect& size, CBitmap* background = nullptr, int style = 0);

    void setStringConvert(StringConvert convert) { convert_ = convert; }
    void setFont(const CFontDesc& font) {
        font_ = font;
        setDirty();
    }
    const CFontDesc& getFont() const { return font_; }
    void setFontColor(CColor c) {
        font_color_ = c;
        setDirty();
    }
    CColor getFontColor() const { return font_color_; }
    void setBackColor(CColor c) {
        back_color_ = c;
        setDirty();
    }
    CColor getBackColor() const { return back_color_; }
    void setFrameColor(CColor c) {
        frame_color_ = c;
        setDirty();
    }
    CColor getFrameColor() const { return frame_color_; }
    void setHoriAlign(CHoriTxtAlign align) {
        align_ = align;
        setDirty();
    }
    CHoriTxtAlign getHoriAlign() const { return align_; }
    void setStyle(int style) {
        style_ = style;
        setDirty();
    }
    int getStyle() const { return style_; }

    void draw(CDrawContext* context) override;
    bool isTypeOf(const char* type) const override;

protected:
    // Style setters ask for a repaint. Background, frame and `text` as described above.
    void drawText(CDrawContext& context, const char* text);

private:
    StringConvert convert_ = nullptr;
    CFontDesc font_{"Arial", 12};
    CColor font_color_ = kBlackCColor;
    CColor back_color_ = kWhiteCColor;
    CColor frame_color_ = kBlackCColor;
    CHoriTxtAlign align_ = kCenterText;
    int style_;
};

}  // namespace VSTGUI
