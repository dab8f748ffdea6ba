// Breaking a text into lines that fit a width, for the message dialog.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "gui/font.h"

namespace VSTGUI::detail {

// Breaks at spaces and at line breaks; a word wider than `width` on its own
// is broken between characters. Never returns an empty list.
std::vector<std::string> wrap_text(std::string_view text, int width, const CFontDesc& font);

}  // namespace VSTGUI::detail
