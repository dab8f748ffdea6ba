// Software drawing into a 32-bit pixel buffer. Pixels are premultiplied
// 0xAARRGGBB words. Drawing coordinates are local: the buffer position of a
// point is the point plus the origin offset. Everything drawn is limited to
// the clip rectangle. Not thread safe: one context is used by one thread.
//
// A context may draw at a scale: coordinates, offsets and clips stay logical,
// and each logical edge lands on the device pixel nearest to it times the
// scale. Text is set at the scaled size and bitmaps are resampled from their
// finest set, so both are sharp at any scale; fine shapes (curves, handles)
// draw device pixels themselves through drawDevicePoint. At scale 1 device
// and logical pixels are the same.
#pragma once

#include <cstdint>
#include <string_view>

#include "gui/color.h"
#include "gui/font.h"
#include "gui/geometry.h"

namespace VSTGUI {

class CBitmap;

class CDrawContext {
public:
    // `pixels` is width x height words, `stride` words apart per row; not owned.
    CDrawContext(std::uint32_t* pixels, int width, int height, int stride);
    virtual ~CDrawContext() = default;
    CDrawContext(const CDrawContext&) = delete;
    CDrawContext& operator=(const CDrawContext&) = delete;

    // The buffer's size in device pixels.
    int getWidth() const { return width_; }
    int getHeight() const { return height_; }

    // Device pixels per logical pixel, 1 to 2; resets the clip.
    void setScale(double scale);
    double getScale() const { return scale_; }
    // The device rectangle a logical one covers (offset applied).
    CRect toDevice(const CRect& r) const;

    // Buffer position of local (0, 0).
    void setOffset(CPoint offset) { offset_ = offset; }
    CPoint getOffset() const { return offset_; }

    // In local coordinates; limited to the buffer.
    void setClipRect(const CRect& clip);
    CRect getClipRect() const;
    void resetClipRect();

    void setFillColor(CColor c) { fill_color_ = c; }
    CColor getFillColor() const { return fill_color_; }
    void setFrameColor(CColor c) { frame_color_ = c; }
    CColor getFrameColor() const { return frame_color_; }
    void setFontColor(CColor c) { font_color_ = c; }
    CColor getFontColor() const { return font_color_; }
    void setFont(const CFontDesc& font) { font_ = font; }
    const CFontDesc& getFont() const { return font_; }

    // Blends the fill colour over `r`.
    void fillRect(const CRect& r);
    // A one-pixel outline in the frame colour just inside `r`.
    void frameRect(const CRect& r);
    // One logical pixel: a block of device pixels at a scale.
    void drawPoint(CPoint p, CColor c);
    // One device pixel, `p` counted in device pixels from local (0, 0).
    void drawDevicePoint(CPoint p, CColor c);

    // One line of text in the font and font colour, anti-aliased, aligned
    // horizontally as asked and centred vertically in `r`, clipped to `r`.
    void drawString(std::string_view text, const CRect& r, CHoriTxtAlign align = kCenterText);
    int getStringWidth(std::string_view text) const;

    // Blends the bitmap's pixels from `source_offset` on into `dest`. An
    // empty bitmap draws nothing.
    void drawBitmap(const CBitmap& bitmap, const CRect& dest, CPoint source_offset = {});

    // Blends premultiplied pixels (source_width x source_height device pixels,
    // `source_stride` words per row) one to one from `source_offset` (logical)
    // on into `dest`: an offscreen picture drawn at the same scale.
    void drawPixels(const std::uint32_t* source, int source_width, int source_height, int source_stride,
                    const CRect& dest, CPoint source_offset);

    // The pixel at buffer position (x, y); 0 outside the buffer.
    std::uint32_t pixelAt(int x, int y) const;
    const std::uint32_t* pixels() const { return pixels_; }
    int stride() const { return stride_; }

private:
    void blend(int device_x, int device_y, std::uint32_t premultiplied);
    int deviceX(int x) const;
    int deviceY(int y) const;

    std::uint32_t* pixels_;
    int width_;
    int height_;
    int stride_;
    CPoint offset_;
    double scale_ = 1.0;
    CRect clip_;          // device coordinates
    CRect logical_clip_;  // as set, at offset 0: a clip read and set again is the same
    CColor fill_color_ = kWhiteCColor;
    CColor frame_color_ = kBlackCColor;
    CColor font_color_ = kBlackCColor;
    CFontDesc font_;
};

}  // namespace VSTGUI
