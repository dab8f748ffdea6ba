// A decoded image: the editor's PNG resources (and its one Windows bitmap)
// looked up by numeric id through the lookup the toolkit's user installs
// (the editor installs resources::find_resource). Pixels are
// premultiplied 0xAARRGGBB, top row first. A missing resource or bad data
// gives an empty bitmap (0 x 0) that draws nothing. A resource may come with
// a set drawn at twice the size, which scaled draw contexts prefer.
//
// Drawn at a scale other than its sets', a part of the bitmap is resized
// from the finer set once and kept for later paints (as many parts as the
// editor draws, for one scale at a time); so drawing is for one thread.
//
//   CBitmap* knob = new CBitmap(137);   // one reference
//   knobControl = new CAnimKnob(..., knob, ...);  // the knob remembers it
//   knob->forget();                     // the knob's reference remains
#pragma once

#include <cstdint>
#include <map>
#include <tuple>
#include <vector>

#include "gui/geometry.h"
#include "gui/image_decode.h"
#include "gui/reference_counter.h"
#include "resources/resource_table.h"

namespace VSTGUI {

// Where CBitmap(id) finds its bytes; until one is installed every such
// bitmap is empty. Any thread.
using resource_lookup = resources::blob (*)(int id);
void set_resource_lookup(resource_lookup lookup);

class CBitmap : public CReferenceCounter {
public:
    explicit CBitmap(int resource_id);
    // Decodes PNG or BMP bytes that are not a resource.
    CBitmap(const unsigned char* data, std::size_t size);

    int getWidth() const { return width_; }
    int getHeight() const { return height_; }
    bool empty() const { return pixels_.empty(); }
    const std::uint32_t* pixels() const { return pixels_.data(); }
    std::uint32_t pixelAt(int x, int y) const;  // 0 outside
    // The same picture at twice the size; empty when there is none or its
    // size is not exactly twice.
    const detail::decoded_image& doubleSize() const { return double_size_; }
    // `part` (in this set's pixels) as width x height pixels at `scale`, from
    // the finer set; kept until asked for at another scale.
    const std::vector<std::uint32_t>& resized(const CRect& part, int width, int height, double scale) const;

private:
    ~CBitmap() override = default;
    void decode(const unsigned char* data, std::size_t size);

    int width_ = 0;
    int height_ = 0;
    std::vector<std::uint32_t> pixels_;
    detail::decoded_image double_size_;
    using part_key = std::tuple<int, int, int, int, int, int>;  // part, then size
    mutable std::map<part_key, std::vector<std::uint32_t>> resized_;
    mutable double resized_scale_ = 0.0;
};

}  // namespace VSTGUI
