// clsUnit::Display: one unit shown in the unit panel.

#include <algorithm>
#include <cmath>
#include <cstring>

#include "archive/clsHPI.h"
#include "base/BusyPointer.h"
#include "graphics/clsFastWin.h"
#include "graphics/modPCX.h"
#include "units/UnitView.h"
#include "units/clsUnit.h"
#include "units/clsWeapon.h"

namespace kloxmere {

std::vector<std::string> WeaponLines(const clsUnit& unit) {
    std::vector<std::string> lines;
    lines.reserve(unit.Weapons.Count());
    for (const clsWeapon* weapon : unit.Weapons) {
        lines.push_back("#" + std::to_string(weapon->ID) + " - " + weapon->Name);
    }
    return lines;
}

std::optional<std::vector<std::uint8_t>> ReadUnitPicture(const clsUnit& unit) {
    if (!unit.HPI) return std::nullopt;
    // A handle of our own, opened by the archive's file name: the shared
    // record of the archive is left as it is.
    clsHPI archive;
    archive.LoadFile(unit.HPI->Filename);
    if (archive.Handle == 0) return std::nullopt;
    auto bytes = archive.ExtractToMemory("unitpics\\" + unit.Name + ".pcx");
    archive.CloseFile();
    return bytes;
}

std::int32_t CentredLeft(double panelWidth, std::int32_t pictureWidth) {
    return static_cast<std::int32_t>(std::nearbyint(panelWidth / 2 - pictureWidth / 2.0));
}

std::pair<std::int32_t, std::int32_t> CopyIntoSurface(const PcxPicture& picture,
                                                      clsFastWin& surface) {
    if (!surface.addrBits) return {0, 0};
    const std::int32_t width = std::min(picture.PcxWidth, surface.BmpWidth);
    const std::int32_t height = std::min(picture.PcxHeight, surface.Rows());
    if (width <= 0 || height <= 0) return {0, 0};
    const std::int32_t rowBytes = surface.RowBytes();
    for (std::int32_t y = 0; y < height; ++y) {
        std::memcpy(surface.addrBits + static_cast<std::ptrdiff_t>(y) * rowBytes,
                    picture.PcxData.data() + static_cast<std::ptrdiff_t>(y) * picture.PcxWidth,
                    static_cast<std::size_t>(width));
    }
    return {width, height};
}

void clsUnit::Display(UnitView& view, PlatformServices& services) const {
    BusyPointer busy(services);
    view.SetStatusName(Name);
    view.SetCallname(Callname);
    if (Enabled()) {
        view.SetUnitCommand(kDisableUnitImage, "Disable unit", "Disable &Unit");
    } else {
        view.SetUnitCommand(kEnableUnitImage, "Enable unit", "Enable &Unit");
    }
    view.ClearPicture();
    view.SetWeapons(WeaponLines(*this));

    auto bytes = ReadUnitPicture(*this);
    PcxPicture picture;
    if (!bytes || !LoadPCX(*bytes, picture)) return;  // no picture: the panel stays empty
    auto [width, height] = CopyIntoSurface(picture, view.UnitPic());
    if (width == 0) return;
    view.UnitPic().Show(view.PictureDC(), CentredLeft(view.PictureScaleWidth(), width), 0, width,
                        height, 0, 0, width, height, false);
}

}  // namespace kloxmere
