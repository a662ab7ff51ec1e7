#pragma once

#include <string>

#include "base/CompactText.h"

namespace kloxmere {

// One build-menu entry of a download file: BuilderUnit's menu page Menu shows
// Unit on button Button. Values are kept as written.
class clsMenuEntry {
  public:
    CompactText BuilderUnit;
    CompactText Menu;
    CompactText Button;
    CompactText Unit;

    // "BuilderUnit Menu Button Unit": identifies the entry.
    std::string Key() const;
    // "BuilderUnit Menu Button": identifies the button slot.
    std::string Location() const;
    // Location() and Key() written into `to` (cleared first), for callers
    // that reuse one buffer.
    void LocationInto(std::string& to) const;
    void KeyInto(std::string& to) const;
    std::string GenerateKey() const { return Key(); }
};

}  // namespace kloxmere
