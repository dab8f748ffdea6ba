// Any bytes through the bitmap decoder: no crash, no leak, and an image that
// is not empty has positive dimensions and one pixel for each.
#include <cstdint>
#include <cstdlib>

#include "gui/image_decode.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const VSTGUI::detail::decoded_image image = VSTGUI::detail::decode_image(data, size);
    if (!image.empty() &&
        (image.width <= 0 || image.height <= 0 ||
         image.pixels.size() != static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height)))
        std::abort();
    return 0;
}
