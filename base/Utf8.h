#pragma once

// The few UTF-8 steps the program's text handling shares.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace kloxmere {

// Appends the UTF-8 bytes of the character `cp`.
void AppendUtf8(std::string& out, char32_t cp);

// Decodes the character starting at text[i] and moves i past it. A malformed
// byte (a stray continuation byte, a cut sequence, a surrogate) gives nullopt
// and moves i past that one byte.
std::optional<char32_t> NextUtf8(std::string_view text, std::size_t& i);

}  // namespace kloxmere
