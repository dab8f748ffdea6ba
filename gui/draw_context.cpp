#include "gui/draw_context.h"

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

void CDrawContext::setClipRect(const CRect& clip) { clip_ = toDevice(clip).intersection(CRect(0, 0, width_, height_)); }

CRect CDrawContext::getClipRect() const {
    CRect r = clip_;
    return r.offset(-offset_.x, -offset_.y);
}

void CDrawContext::resetClipRect() { clip_ = CRect(0, 0, width_, height_); }

CRect CDrawContext::toDevice(const CRect& r) const {
    CRect d = r;
    return d.offset(offset_.x, offset_.y);
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
    const CPoint d(p.x + offset_.x, p.y + offset_.y);
    if (clip_.contains(d)) blend(d.x, d.y, c.premultiplied());
}

int CDrawContext::getStringWidth(std::string_view text) const { return detail::measure_text(font_, text).width; }

void CDrawContext::drawString(std::string_view text, const CRect& r, CHoriTxtAlign align) {
    const CRect area = toDevice(r).intersection(clip_);
    if (area.isEmpty() || text.empty()) return;
    const detail::line_metrics m = detail::measure_text(font_, text);
    const CRect box = toDevice(r);
    int x0 = box.left;
    if (align == kCenterText) x0 += (box.width() - m.width) / 2;
    if (align == kRightText) x0 += box.width() - m.width;
    const int baseline = box.top + (box.height() - m.ascender - m.descender + 1) / 2 + m.ascender;
    const CColor c = font_color_;
    detail::visit_glyphs(font_, text, [&](const detail::glyph_image& g, int pen) {
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
    drawPixels(bitmap.pixels(), bitmap.getWidth(), bitmap.getHeight(), bitmap.getWidth(), dest, source_offset);
}

void CDrawContext::drawPixels(const std::uint32_t* source, int source_width, int source_height, int source_stride,
                              const CRect& dest, CPoint source_offset) {
    if (source_offset.x < 0 || source_offset.y < 0) return;
    // Limit to what the source holds, then to the clip.
    CRect wanted = dest;
    wanted.right = std::min(wanted.right, wanted.left + source_width - source_offset.x);
    wanted.bottom = std::min(wanted.bottom, wanted.top + source_height - source_offset.y);
    const CRect device = toDevice(wanted);
    const CRect area = device.intersection(clip_);
    for (int y = area.top; y < area.bottom; ++y) {
        const std::uint32_t* row =
            source + std::size_t(y - device.top + source_offset.y) * source_stride + source_offset.x;
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
