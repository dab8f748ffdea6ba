#include "gui/bitmap.h"

#include <atomic>
#include <cstdio>

#include "gui/image_decode.h"
#include "gui/resample.h"

namespace VSTGUI {

namespace {

std::atomic<resource_lookup> installed_lookup{nullptr};

}  // namespace

void set_resource_lookup(resource_lookup lookup) { installed_lookup.store(lookup); }

CBitmap::CBitmap(int resource_id) {
    const resource_lookup lookup = installed_lookup.load();
    const resources::blob bytes = lookup ? lookup(resource_id) : resources::blob{};
    decode(bytes.data, bytes.size);
    if (empty()) {
        std::fprintf(stderr, "Tessvane GUI: bitmap %d missing or unreadable\n", resource_id);
        return;
    }
    const resources::blob larger = lookup(resource_id + resources::double_size_offset);
    if (larger.data) double_size_ = detail::decode_image(larger.data, larger.size);
    if (double_size_.width != 2 * width_ || double_size_.height != 2 * height_) double_size_ = {};
}

CBitmap::CBitmap(const unsigned char* data, std::size_t size) { decode(data, size); }

void CBitmap::decode(const unsigned char* data, std::size_t size) {
    detail::decoded_image image = detail::decode_image(data, size);
    width_ = image.width;
    height_ = image.height;
    pixels_ = std::move(image.pixels);
}

const std::vector<std::uint32_t>& CBitmap::resized(const CRect& part, int width, int height, double scale) const {
    if (scale != resized_scale_) {
        resized_.clear();
        resized_scale_ = scale;
    }
    const part_key key{part.left, part.top, part.right, part.bottom, width, height};
    auto found = resized_.find(key);
    if (found != resized_.end()) return found->second;
    const bool finer = !double_size_.empty();
    const int factor = finer ? 2 : 1;
    const detail::source_area source{finer ? double_size_.pixels.data() : pixels_.data(),
                                     finer ? double_size_.width : width_,
                                     finer ? double_size_.height : height_,
                                     finer ? double_size_.width : width_,
                                     part.left * factor,
                                     part.top * factor,
                                     part.width() * factor,
                                     part.height() * factor};
    return resized_.emplace(key, detail::resampled(source, width, height)).first->second;
}

std::uint32_t CBitmap::pixelAt(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
    return pixels_[std::size_t(y) * width_ + x];
}

}  // namespace VSTGUI
