#pragma once

// The enabled and disabled ("x") forms of an archive's file name: rev.hpi is
// enabled, rev.xhpi the same archive disabled. All three look at the first "."
// of the file name (the part after the last "\" or "/").

#include <string>
#include <string_view>
#include <vector>

namespace kloxmere {

// False when the character after the first dot is "x" or "X".
bool IsEnabledName(std::string_view path);

// The file name in its enabled form: rev.xccx gives rev.ccx; other names unchanged.
std::string EnabledName(std::string_view path);

// The file name switched between its two forms: rev.hpi <-> rev.xhpi. The
// result keeps the part before the first dot and the last three characters.
std::string ToggledName(std::string_view path);

class DirectoryNames;

// The archives of a TA directory in load order, as full paths: the files
// matching "*.hpi", "*.xhpi", "*.ccx", "*.xccx", "*.ufo" and "*.xufo", in this
// order, each pattern's names sorted without regard to case. Enabled and
// disabled archives are both found; an earlier pattern's archive wins a file
// path over a later one's.
std::vector<std::string> FindArchiveFiles(const DirectoryNames& taDirectory);

}  // namespace kloxmere
