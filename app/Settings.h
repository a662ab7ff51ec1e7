#pragma once

// What the program remembers between runs: the main window's placement, the
// splitter's position, the unit viewer and the TA directory, each a text value
// under a section and a key of the per-user settings store; and, first of
// all, the user's unit groups in unitgroups.dat.
//
//   "Startup"    "SliderLeft"     left edge of the splitter bar, twips
//                "Left" "Top"     the window's outer frame, twips
//                "Width" "Height"
//                "WindowState"    0 normal, 1 minimized, 2 maximized
//   "Locations"  "UnitViewPath"   the unit viewer program
//                "TAPath"         the TA directory, ending in a separator
//
// Numbers are written as their decimal text (2460, 1) and read back by their
// longest leading decimal part.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kloxmere {

class Session;

// The per-user settings store of the application: one text value per section
// and key.
class SettingsStore {
  public:
    virtual ~SettingsStore() = default;
    // The stored text, or `fallback` when the key or section does not exist.
    virtual std::string get(const std::string& section, const std::string& key,
                            const std::string& fallback) = 0;
    virtual void save(const std::string& section, const std::string& key,
                      const std::string& value) = 0;
    // Writes what was saved through to its place, where the store buffers.
    virtual void flush() {}
};

enum class WindowState : std::int16_t { Normal = 0, Minimized = 1, Maximized = 2 };

// The main window's placement in twips: the splitter bar's left edge and the
// window's outer frame.
struct WindowPlacement {
    double SliderLeft = 0;
    double Left = 0;
    double Top = 0;
    double Width = 0;
    double Height = 0;
    WindowState State = WindowState::Normal;
    bool operator==(const WindowPlacement&) const = default;
};

// The value of the longest leading part of `text` that forms a decimal
// number: optional leading blanks, an optional sign, digits, an optional "."
// and more digits ("." is always the separator). 0 when there is none.
double SettingNumber(std::string_view text);

// A position or size: the number rounded to the nearest 32-bit integer,
// halves to the even neighbour; nothing when it does not fit.
std::optional<std::int32_t> SettingPosition(std::string_view text);
// The window state: rounded the same way to a 16-bit integer.
std::optional<std::int16_t> SettingState(std::string_view text);

// The decimal text a position or size is stored as: its single-precision
// value without exponent (2460, 12345.5).
std::string PositionText(double twips);

// Loads the unit groups of the session's user data directory into GroupList,
// then the placement (starting from `placement`, the window's current one)
// and the two locations, which replace the session's (empty when none is
// stored); a TA directory the user picked in this run is kept instead. A stored 0 moves nothing. A
// value the window would refuse (a state other than 0, 1 or 2, a negative width or height) or a
// number out of range is passed over and the other values still load.
void SettingsLoad(SettingsStore& store, Session& session, WindowPlacement& placement);

// The "TAPath" an earlier run stored; "" when none is.
std::string StoredTADirectory(SettingsStore& store);

// Saves the unit groups, then the placement and the two locations. The
// position and size are saved only in the normal state, so that the stored
// ones stay the placement a maximized or minimized window returns to.
void SettingsSave(SettingsStore& store, const Session& session, const WindowPlacement& placement);

}  // namespace kloxmere
