#pragma once

#include <string>

namespace kloxmere {

// One build-menu entry of a download file: BuilderUnit's menu page Menu shows
// Unit on button Button. Values are kept as written.
class clsMenuEntry {
  public:
    std::string BuilderUnit;
    std::string Menu;
    std::string Button;
    std::string Unit;

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
