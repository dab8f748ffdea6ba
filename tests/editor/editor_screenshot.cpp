// Saves a PNG of the editor as a host shows it: opens it in a window on
// DISPLAY (e.g. under xvfb-run -a), lets it paint, and reads the window back.
//
//   editor_screenshot out.png          default program
//   editor_screenshot out.png bands    three bands on with visible settings
//   editor_screenshot out.png about    the about view shown
//   editor_screenshot out.png mid-side the M/S plug-in with those bands, band 1
//                                      on the mid and band 3 on the side
//   editor_screenshot out.png bands 2  any of them at a scale
#include <X11/Xutil.h>
#include <png.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

#include "editor/about_view.h"
#include "editor/eq_editor.h"
#include "editor_host.h"
#include "plugin/tessvane_plugin.h"

namespace {

bool write_png(const char* path, const std::vector<unsigned char>& rgb, int width, int height) {
    FILE* file = std::fopen(path, "wb");
    if (!file) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    std::vector<png_bytep> rows(static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y) rows[std::size_t(y)] = const_cast<png_bytep>(&rgb[std::size_t(y) * width * 3]);
    const bool ok = !setjmp(png_jmpbuf(png));
    if (ok) {
        png_init_io(png, file);
        png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                     PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_write_info(png, info);
        png_write_image(png, rows.data());
        png_write_end(png, nullptr);
    }
    png_destroy_write_struct(&png, &info);
    std::fclose(file);
    return ok;
}

// The worker's passes have stopped when the count holds for a while.
void settle(recorded_instance& instance) {
    int passes = -1;
    for (int tries = 0; tries < 100 && instance.plugin().redesign_passes() != passes; ++tries) {
        passes = instance.plugin().redesign_passes();
        for (int i = 0; i < 10; ++i) {
            instance.idle();
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }
}

void set_bands(AEffect* e) {
    const struct {
        int index;
        float value;
    } settings[] = {
        {2, 1.0f},  {3, 1.0f},   {4, 0.3f},   {5, 0.75f}, {6, 0.4f},   // band 1: low shelf boost
        {12, 1.0f}, {14, 0.55f}, {15, 0.2f},  {16, 0.6f},              // band 3: peak cut
        {17, 1.0f}, {18, 0.0f},  {19, 0.85f}, {20, 0.5f}, {21, 0.5f},  // band 4
    };
    for (const auto& s : settings) e->setParameter(e, s.index, s.value);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s out.png [default|bands|about|mid-side] [scale]\n", argv[0]);
        return 2;
    }
    settings_sandbox sandbox("8192");
    message_capture messages;
    if (!test_display()) {
        std::fprintf(stderr, "no X display reachable\n");
        return 1;
    }
    host_window parent(1280, 800);
    const bool mid_side = argc > 2 && std::strcmp(argv[2], "mid-side") == 0;
    recorded_instance instance(mid_side ? core::mid_side_edition : core::stereo_edition);
    if (argc > 3) instance.editor().set_scale(std::atof(argv[3]));
    if (mid_side || (argc > 2 && std::strcmp(argv[2], "bands") == 0)) set_bands(instance.effect());
    if (mid_side) {
        instance.set(dsp::placement_control(0), 0.5f);
        instance.set(dsp::placement_control(2), 1.0f);
    }
    if (!instance.open_in(parent)) return 1;
    if (argc > 2 && std::strcmp(argv[2], "about") == 0) instance.editor().controls().splashScreen->splash();
    settle(instance);

    const Window child = parent.children().at(0);
    XImage* image = XGetImage(test_display(), child, 0, 0, unsigned(instance.editor().device_width()),
                              unsigned(instance.editor().device_height()), AllPlanes, ZPixmap);
    if (!image) return 1;
    std::vector<unsigned char> rgb;
    for (int y = 0; y < image->height; ++y)
        for (int x = 0; x < image->width; ++x) {
            const unsigned long p = XGetPixel(image, x, y);
            rgb.insert(rgb.end(), {(unsigned char)(p >> 16), (unsigned char)(p >> 8), (unsigned char)p});
        }
    const int width = image->width, height = image->height;
    XDestroyImage(image);
    instance.close_editor();
    for (const captured_message& m : messages.messages())
        std::fprintf(stderr, "%s: %s\n", m.caption.c_str(), m.text.c_str());
    return write_png(argv[1], rgb, width, height) ? 0 : 1;
}
