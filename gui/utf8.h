// Code points of UTF-8 text as the toolkit draws it.
#pragma once

#include <string>
#include <string_view>

namespace VSTGUI::detail {

// A stray or malformed byte is taken as the Latin-1 character it codes.
std::u32string decode_utf8(std::string_view text);

}  // namespace VSTGUI::detail
