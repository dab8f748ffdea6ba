// tessvane-art: draws every bitmap of the editor into a folder, each once at
// its size (130.png) and once at twice it (1130.png).
//
//   tessvane-art <folder>
//
// Exit status 0 on success, 2 when Liberation Sans is missing, 1 otherwise.
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>

#include "bitmaps.h"
#include "image_files.h"
#include "resources/resource_table.h"
#include "text.h"

namespace {

struct bitmap_entry {
    int id;
    std::function<art::canvas(float scale)> draw;
};

const bitmap_entry bitmaps[] = {
    {130, art::frame_background},
    {131, art::about_picture},
    {133,
     [](float s) {
         return art::type_selector({art::filter_shape::peak, art::filter_shape::low_cut, art::filter_shape::low_shelf},
                                   s);
     }},
    {134, [](float s) { return art::type_selector({art::filter_shape::peak}, s); }},
    {135,
     [](float s) {
         return art::type_selector(
             {art::filter_shape::peak, art::filter_shape::high_cut, art::filter_shape::high_shelf}, s);
     }},
    {136, [](float s) { return art::knob_strip(38, 64, art::knob_role::neutral, s); }},
    {137, [](float s) { return art::knob_strip(38, 65, art::knob_role::gain, s); }},
    {138, [](float s) { return art::knob_strip(38, 65, art::knob_role::tone, s); }},
    {139, [](float s) { return art::knob_strip(26, 64, art::knob_role::neutral, s); }},
    {140, [](float s) { return art::knob_strip(32, 65, art::knob_role::neutral, s); }},
    {141, art::signal_lamp},
    {142, art::busy_indicator},
    {143, art::power_button},
    {144, art::band_lamp},
    {145, art::response_field},
    {146, art::menu_field},
    {147, art::main_tab_button},
    {148, art::band_tab_button},
    {149, art::tab_view_background},
    {150, art::linear_eq_page},
    {151, art::band_page},
};

// The menu field is a Windows bitmap resource; everything else is PNG.
constexpr int bmp_id = 146;

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
        return 1;
    }
    const std::filesystem::path folder = argv[1];
    try {
        std::filesystem::create_directories(folder);
        for (const bitmap_entry& entry : bitmaps) {
            for (const int scale : {1, 2}) {
                const art::canvas image = entry.draw(float(scale));
                const int id = scale == 1 ? entry.id : entry.id + resources::double_size_offset;
                const std::string stem = (folder / std::to_string(id)).string();
                if (entry.id == bmp_id) {
                    art::write_bmp(image, stem + ".bmp");
                } else {
                    art::write_png(image, stem + ".png");
                }
            }
        }
    } catch (const art::font_missing& e) {
        std::fprintf(stderr, "tessvane-art: %s\n", e.what());
        return 2;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tessvane-art: %s\n", e.what());
        return 1;
    }
    return 0;
}
