#pragma once

// The enabled and disabled ("x") forms of an archive's file name: rev.hpi is
// enabled, rev.xhpi the same archive disabled. All three look at the first "."
// of the file name (the part after the last "\" or "/").

#include <string>
#include <string_view>

namespace kloxmere {

// False when the character after the first dot is "x" or "X".
bool IsEnabledName(std::string_view path);

// The file name in its enabled form: rev.xccx gives rev.ccx; other names unchanged.
std::string EnabledName(std::string_view path);

// The file name switched between its two forms: rev.hpi <-> rev.xhpi. The
// result keeps the part before the first dot and the last three characters.
std::string ToggledName(std::string_view path);

}  // namespace kloxmere
