#pragma once

// What a unit's Display writes to: the main window's unit panel, status bar
// and unit command, as the window system shows them. The window implements
// it; tests implement it with a recording fake.

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace kloxmere {

class clsFastWin;
class clsUnit;
class FastWinDC;
struct PcxPicture;

// The toolbar images of the unit command: a unit that can be disabled, and
// one that can be enabled.
inline constexpr int kDisableUnitImage = 8;
inline constexpr int kEnableUnitImage = 9;

class UnitView {
  public:
    virtual ~UnitView() = default;

    // The second panel of the status bar.
    virtual void SetStatusName(const std::string& name) = 0;
    // The label above the picture.
    virtual void SetCallname(const std::string& callname) = 0;
    // The unit command: the toolbar button's image and tooltip, the menu item's caption.
    virtual void SetUnitCommand(int image, const std::string& tooltip,
                                const std::string& caption) = 0;
    // Clears the picture panel.
    virtual void ClearPicture() = 0;
    // Replaces the lines of the weapons list.
    virtual void SetWeapons(const std::vector<std::string>& lines) = 0;
    // The picture panel's width inside its border, in pixels.
    virtual double PictureScaleWidth() const = 0;
    // The drawing surface bound to the picture panel, and the panel as the
    // target it is shown on. The panel keeps what is shown on it, so it
    // survives repainting.
    virtual clsFastWin& UnitPic() = 0;
    virtual FastWinDC& PictureDC() = 0;
};

}  // namespace kloxmere

namespace kloxmere {

// The weapons list's lines: "#" ID " - " Name for each weapon of the unit, in
// order (weapons the definition names but the catalogue lacks are not there).
std::vector<std::string> WeaponLines(const clsUnit& unit);

// The bytes of the unit's build picture ("unitpics\" Name ".pcx") from its
// archive, reopened by its file name; nullopt when the archive cannot be
// opened or holds no picture for the unit.
std::optional<std::vector<std::uint8_t>> ReadUnitPicture(const clsUnit& unit);

// The left edge that centres a picture `pictureWidth` pixels wide in a panel
// `panelWidth` pixels wide: half the one minus half the other, rounded to the
// nearest integer, halves to the even neighbour.
std::int32_t CentredLeft(double panelWidth, std::int32_t pictureWidth);

// Copies `picture` row by row into the surface's pixel memory, clipped to the
// surface; the width and height copied (0, 0 for a surface without memory).
std::pair<std::int32_t, std::int32_t> CopyIntoSurface(const PcxPicture& picture,
                                                      clsFastWin& surface);

}  // namespace kloxmere
