#include "gui/draw_context.h"

#include <cmath>
#include <cstring>

#include "gui/bitmap.h"
#include "gui/font_cache.h"

namespace VSTGUI {
namespace {

// dst = src + dst * (1 - src alpha), per premultiplied channel.
std::uint32_t over(std::uint32_t src, std::uint32_t dst) {
    std::uint32_t keep = 255 - (src >> 24);
    if (keep == 0) return src;
    auto channel = [&](int shift) {
        std::uint32_t d = (dst >> shift) & 0xFF;
        return ((src >> shift) & 0xFF) + (d * keep + 127) / 255;
    };
    return channel(24) << 24 | channel(16) << 16 | channel(8) << 8 | channel(0);
}

}  // namespace

CDrawContext::CDrawContext(std::uint32_t* pixels, int width, int height, int stride)
    : pixels_(pixels), width_(width), height_(height), stride_(stride) {
    resetClipRect();
}

void CDrawContext::setScale(double scale) {
    scale_ = scale;
    resetClipRect();
}

void CDrawContext::setClipRect(const CRect& clip) {
    clip_ = toDevice(clip).intersection(CRect(0, 0, width_, height_));
    logical_clip_ = clip;
    logical_clip_.offset(offset_.x, offset_.y);
}

CRect CDrawContext::getClipRect() const {
    CRect r = logical_clip_;
    return r.offset(-offset_.x, -offset_.y);
}

void CDrawContext::resetClipRect() {
    clip_ = CRect(0, 0, width_, height_);
    logical_clip_ = CRect(0, 0, int(std::ceil(width_ / scale_)), int(std::ceil(height_ / scale_)));
}

int CDrawContext::deviceX(int x) const { return int(std::lround((x + offset_.x) * scale_)); }
int CDrawContext::deviceY(int y) const { return int(std::lround((y + offset_.y) * scale_)); }

CRect CDrawContext::toDevice(const CRect& r) const {
    return {deviceX(r.left), deviceY(r.top), deviceX(r.right), deviceY(r.bottom)};
}

void CDrawContext::blend(int x, int y, std::uint32_t premultiplied) {
    std::uint32_t& dst = pixels_[std::size_t(y) * stride_ + x];
    dst = over(premultiplied, dst);
}

void CDrawContext::fillRect(const CRect& r) {
    const CRect area = toDevice(r).intersection(clip_);
    const std::uint32_t src = fill_color_.premultiplied();
    for (int y = area.top; y < area.bottom; ++y) {
        std::uint32_t* row = pixels_ + std::size_t(y) * stride_;
        // An opaque fill, the frame's white under every paint, only stores.
        for (int x = area.left; x < area.right; ++x) row[x] = src >> 24 == 255 ? src : over(src, row[x]);
    }
}

void CDrawContext::frameRect(const CRect& r) {
    if (r.isEmpty()) return;
    const CColor saved = fill_color_;
    fill_color_ = frame_color_;
    fillRect({r.left, r.top, r.right, r.top + 1});
    if (r.height() > 1) fillRect({r.left, r.bottom - 1, r.right, r.bottom});
    fillRect({r.left, r.top + 1, r.left + 1, r.bottom - 1});
    if (r.width() > 1) fillRect({r.right - 1, r.top + 1, r.right, r.bottom - 1});
    fill_color_ = saved;
}

void CDrawContext::drawPoint(CPoint p, CColor c) {
    const CRect area = toDevice(CRect(p.x, p.y, p.x + 1, p.y + 1)).intersection(clip_);
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x) blend(x, y, c.premultiplied());
}

void CDrawContext::drawDevicePoint(CPoint p, CColor c) {
    const CPoint d(p.x + deviceX(0), p.y + deviceY(0));
    if (clip_.contains(d)) blend(d.x, d.y, c.premultiplied());
}

namespace {

// Text is set afresh at the device size, never enlarged from the logical one.
CFontDesc device_font(const CFontDesc& font, double scale) {
    return CFontDesc(font.name, int(std::lround(font.size * scale)));
}

}  // namespace

int CDrawContext::getStringWidth(std::string_view text) const {
    const int device_width = detail::measure_text(device_font(font_, scale_), text).width;
    return scale_ == 1.0 ? device_width : int(std::lround(device_width / scale_));
}

void CDrawContext::drawString(std::string_view text, const CRect& r, CHoriTxtAlign align) {
    const CRect area = toDevice(r).intersection(clip_);
    if (area.isEmpty() || text.empty()) return;
    const CFontDesc font = device_font(font_, scale_);
    const detail::line_metrics m = detail::measure_text(font, text);
    const CRect box = toDevice(r);
    int x0 = box.left;
    if (align == kCenterText) x0 += (box.width() - m.width) / 2;
    if (align == kRightText) x0 += box.width() - m.width;
    const int baseline = box.top + (box.height() - m.ascender - m.descender + 1) / 2 + m.ascender;
    const CColor c = font_color_;
    detail::visit_glyphs(font, text, [&](const detail::glyph_image& g, int pen) {
        const int gx = x0 + pen + g.left;
        const int gy = baseline - g.top;
        for (int row = 0; row < g.rows; ++row) {
            const int y = gy + row;
            if (y < area.top || y >= area.bottom) continue;
            for (int col = 0; col < g.width; ++col) {
                const int x = gx + col;
                if (x < area.left || x >= area.right) continue;
                const std::uint32_t k = g.coverage[std::size_t(row) * g.width + col];
                if (k == 0) continue;
                CColor covered = c;
                covered.alpha = static_cast<std::uint8_t>((c.alpha * k + 127) / 255);
                blend(x, y, covered.premultiplied());
            }
        }
    });
}

void CDrawContext::drawBitmap(const CBitmap& bitmap, const CRect& dest, CPoint source_offset) {
    if (bitmap.empty()) return;
    const detail::decoded_image& larger = bitmap.doubleSize();
    if (scale_ == 1.0) {
        drawPixels(bitmap.pixels(), bitmap.getWidth(), bitmap.getHeight(), bitmap.getWidth(), dest, source_offset);
        return;
    }
    if (scale_ == 2.0 && !larger.empty()) {
        drawPixels(larger.pixels.data(), larger.width, larger.height, larger.width, dest, source_offset);
        return;
    }
    // Between the sets' scales the larger set is shrunk: its edges stay
    // sharp where the smaller one's, enlarged, would blur.
    if (source_offset.x < 0 || source_offset.y < 0) return;
    CRect wanted = dest;
    wanted.right = std::min(wanted.right, wanted.left + bitmap.getWidth() - source_offset.x);
    wanted.bottom = std::min(wanted.bottom, wanted.top + bitmap.getHeight() - source_offset.y);
    const CRect device = toDevice(wanted);
    if (wanted.isEmpty() || device.intersection(clip_).isEmpty()) return;
    CRect part(0, 0, wanted.width(), wanted.height());
    part.offset(source_offset.x, source_offset.y);
    const std::vector<std::uint32_t>& picture = bitmap.resized(part, device.width(), device.height(), scale_);
    drawPixels(picture.data(), device.width(), device.height(), device.width(), wanted, CPoint(0, 0));
}

void CDrawContext::drawPixels(const std::uint32_t* source, int source_width, int source_height, int source_stride,
                              const CRect& dest, CPoint source_offset) {
    if (source_offset.x < 0 || source_offset.y < 0) return;
    // Limit to what the source holds, then to the clip.
    const CRect device = toDevice(dest);
    const CPoint from(int(std::lround(source_offset.x * scale_)), int(std::lround(source_offset.y * scale_)));
    CRect wanted = device;
    wanted.right = std::min(wanted.right, wanted.left + source_width - from.x);
    wanted.bottom = std::min(wanted.bottom, wanted.top + source_height - from.y);
    const CRect area = wanted.intersection(clip_);
    for (int y = area.top; y < area.bottom; ++y) {
        const std::uint32_t* row = source + std::size_t(y - device.top + from.y) * source_stride + from.x;
        std::uint32_t* out = pixels_ + std::size_t(y) * stride_ + area.left;
        const std::uint32_t* in = row + (area.left - device.left);
        const int count = area.right - area.left;
        // A row of opaque pixels, most rows of every picture, is copied.
        bool opaque = true;
        for (int i = 0; i < count; ++i) opaque &= in[i] >= 0xFF000000u;
        if (opaque) {
            std::memcpy(out, in, std::size_t(count) * sizeof *out);
            continue;
        }
        for (int i = 0; i < count; ++i) out[i] = over(in[i], out[i]);
    }
}

std::uint32_t CDrawContext::pixelAt(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
    return pixels_[std::size_t(y) * stride_ + x];
}

}  // namespace VSTGUI
