#pragma once

// unitgroups.dat: the user's unit groups between runs, in the user data
// directory. A flat little-endian byte stream without header:
//
//   group count                      32-bit signed integer
//   per group, in GroupList order:
//     name                           zero-terminated Windows-1252 string
//     keyword count                  32-bit signed integer
//     keywords                       keyword count zero-terminated strings
//
// Nothing follows the last group; bytes after it are never read. A file
// shorter than four bytes, or with a count below 1, holds no groups. One group
// Core with the keywords core and arm is the 22 bytes
//   01 00 00 00  43 6F 72 65 00  02 00 00 00  63 6F 72 65 00  61 72 6D 00

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "base/Collection.h"

namespace kloxmere {

struct clsUnitGroup;

inline constexpr const char* kUnitGroupsFileName = "unitgroups.dat";
inline constexpr const char* kDamagedUnitGroupsFileName = "unitgroups.dat.damaged";

// Appends the groups of `bytes` to `GroupList`. Reading stops at the first
// damage (data that ends inside a group, a group whose name is already in
// GroupList without regard to case); the groups read before it stay. Returns
// what was wrong, empty when nothing was.
std::string ParseUnitGroups(std::span<const std::uint8_t> bytes,
                            Collection<clsUnitGroup>& GroupList);

// The file's bytes for `GroupList`. A character without a Windows-1252 byte
// is written as "?".
std::vector<std::uint8_t> FormatUnitGroups(const Collection<clsUnitGroup>& GroupList);

struct GroupsLoadResult {
    bool found = false;    // the file exists
    bool damaged = false;  // it could not be read whole; it was moved aside
    std::string problem;   // what was wrong, naming the file
};

// Appends the groups of `directory`/unitgroups.dat to `GroupList`. A missing
// file gives no groups and is not created. A damaged or unreadable file keeps
// the groups read before the damage and is renamed to unitgroups.dat.damaged
// (replacing an older one), so that the next save does not destroy what it
// still holds.
GroupsLoadResult LoadGroups(Collection<clsUnitGroup>& GroupList, const std::string& directory);

// Writes `GroupList` to `directory`/unitgroups.dat. The file is replaced only
// once the new content is complete; on failure the previous file stays as it
// was and false is returned (`reason` says why).
bool SaveGroups(const Collection<clsUnitGroup>& GroupList, const std::string& directory,
                std::string* reason = nullptr);

}  // namespace kloxmere
