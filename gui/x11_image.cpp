#include "gui/x11_image.h"

#include <X11/Xutil.h>

#include <cstdint>

namespace VSTGUI::detail {

bool x11_visual_fits(Display* display, Visual* visual, int depth) {
    if ((depth != 24 && depth != 32) || visual->red_mask != 0xFF0000 || visual->green_mask != 0xFF00 ||
        visual->blue_mask != 0xFF)
        return false;
    int count = 0;
    XPixmapFormatValues* formats = XListPixmapFormats(display, &count);
    bool fits = false;
    for (int i = 0; i < count; ++i)
        if (formats[i].depth == depth) fits = formats[i].bits_per_pixel == 32;
    if (formats) XFree(formats);
    return fits;
}

void x11_put_buffer(Display* display, Drawable drawable, GC gc, Visual* visual, int depth, const CDrawContext& buffer,
                    const CRect& area) {
    XImage* image = XCreateImage(display, visual, unsigned(depth), ZPixmap, 0,
                                 reinterpret_cast<char*>(const_cast<std::uint32_t*>(buffer.pixels())),
                                 unsigned(buffer.getWidth()), unsigned(buffer.getHeight()), 32, buffer.stride() * 4);
    if (!image) return;
    image->byte_order = LSBFirst;  // our words, in our byte order
    XPutImage(display, drawable, gc, image, area.left, area.top, area.left, area.top, unsigned(area.width()),
              unsigned(area.height()));
    image->data = nullptr;  // the pixels are not the image's to free
    XDestroyImage(image);
}

}  // namespace VSTGUI::detail
