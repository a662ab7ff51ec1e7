#include <gtest/gtest.h>

#include <filesystem>

#include "archive/clsHPI.h"
#include "graphics/clsFastWin.h"
#include "graphics/modPCX.h"
#include "tests/support/Installation.h"
#include "tests/support/MemorySurface.h"
#include "tests/support/RecordingServices.h"
#include "tests/support/TempDir.h"
#include "units/UnitView.h"
#include "units/clsUnit.h"
#include "units/clsWeapon.h"

using namespace kloxmere;
using namespace kloxmere::test;

namespace {

// Records every call of Display, in order, as a line of text.
class RecordingView final : public UnitView, public FastWinDC {
  public:
    RecordingView() { surface.Initialize(96, 96, &window); }

    std::vector<std::string> calls;
    std::vector<std::string> weapons;
    double width = 133;
    MemoryWindow window;
    clsFastWin surface{GreyRampPalette()};

    void SetStatusName(const std::string& name) override { calls.push_back("status " + name); }
    void SetCallname(const std::string& callname) override {
        calls.push_back("callname " + callname);
    }
    void SetUnitCommand(int image, const std::string& tooltip,
                        const std::string& caption) override {
        calls.push_back("command " + std::to_string(image) + " " + tooltip + " / " + caption);
    }
    void ClearPicture() override { calls.push_back("clear"); }
    void SetWeapons(const std::vector<std::string>& lines) override {
        weapons = lines;
        calls.push_back("weapons " + std::to_string(lines.size()));
    }
    double PictureScaleWidth() const override { return width; }
    clsFastWin& UnitPic() override { return surface; }
    FastWinDC& PictureDC() override { return *this; }
    void BitBlt(std::int32_t dl, std::int32_t dt, std::int32_t w, std::int32_t h, FastWinBitmap&,
                std::int32_t, std::int32_t) override {
        calls.push_back("draw " + std::to_string(dl) + "," + std::to_string(dt) + " " +
                        std::to_string(w) + "x" + std::to_string(h));
    }
    void StretchBlt(std::int32_t, std::int32_t, std::int32_t, std::int32_t, FastWinBitmap&,
                    std::int32_t, std::int32_t, std::int32_t, std::int32_t) override {
        calls.push_back("stretch");
    }
};

std::vector<std::uint8_t> gradient(int width, int height) {
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width * height));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            pixels[static_cast<std::size_t>(y * width + x)] = static_cast<std::uint8_t>(x + y);
        }
    }
    return pixels;
}

struct DisplayTest : ::testing::Test {
    TempDir temp;
    clsHPI hpi;
    clsUnit unit;
    clsWeapon laser, missile;
    RecordingServices services;
    RecordingView view;

    void SetUp() override {
        hpi.Filename = temp.file("units.ufo");
        unit.HPI = &hpi;
        unit.Name = "ARMTEST";
        unit.Callname = "Test Tank";
        laser.Name = "ARM_LASER";
        laser.ID = 12;
        missile.Name = "ARM_MISSILE";
        missile.ID = 3;
    }
    void writeArchive(const ArchiveFiles& files) { WriteArchive(hpi.Filename, files); }
};

}  // namespace

TEST_F(DisplayTest, ShowsEveryFieldInOrderAndCentresThePicture) {
    writeArchive({{"unitpics\\ARMTEST.pcx", PcxBytes(96, 96, gradient(96, 96))}});
    unit.Weapons.Add(&laser, laser.Name);
    unit.Weapons.Add(&missile, missile.Name);
    view.width = 100;
    unit.Display(view, services);

    EXPECT_EQ(view.calls, (std::vector<std::string>{"status ARMTEST", "callname Test Tank",
                                                    "command 8 Disable unit / Disable &Unit",
                                                    "clear", "weapons 2", "draw 2,0 96x96"}));
    EXPECT_EQ(view.weapons, (std::vector<std::string>{"#12 - ARM_LASER", "#3 - ARM_MISSILE"}));
    EXPECT_EQ(services.calls.front(), "busy on");
    EXPECT_EQ(services.busyDepth, 0);
    // The picture's rows lie on the surface's rows.
    EXPECT_EQ(view.surface.addrBits[0], 0);
    EXPECT_EQ(view.surface.addrBits[96 + 5], 6);
    EXPECT_EQ(view.surface.addrBits[95 * 96 + 95], 190);
}

TEST_F(DisplayTest, DisabledArchiveOffersToEnable) {
    hpi.Filename = temp.file("units.xufo");
    writeArchive({});
    unit.Display(view, services);
    EXPECT_EQ(view.calls[2], "command 9 Enable unit / Enable &Unit");
    EXPECT_EQ(view.calls[4], "weapons 0");
    EXPECT_TRUE(view.weapons.empty());
}

TEST_F(DisplayTest, AUnitWithoutPictureShowsEverythingElseAndLeavesNoFile) {
    const auto before = std::filesystem::current_path();
    writeArchive({{"unitpics\\OTHER.pcx", PcxBytes(96, 96, gradient(96, 96))}});
    unit.Weapons.Add(&laser, laser.Name);
    unit.Display(view, services);
    EXPECT_EQ(view.calls.size(), 5u);  // everything but the drawing
    EXPECT_EQ(view.calls.back(), "weapons 1");
    EXPECT_EQ(services.busyDepth, 0);
    EXPECT_FALSE(std::filesystem::exists(before / "temp.pcx"));
    EXPECT_EQ(std::filesystem::current_path(), before);
}

TEST_F(DisplayTest, AnArchiveThatCannotBeOpenedEndsWithTheNormalPointer) {
    unit.Display(view, services);  // no archive file was written
    EXPECT_EQ(view.calls.size(), 5u);
    EXPECT_EQ(services.busyDepth, 0);

    writeArchive({{"unitpics\\ARMTEST.pcx", "not a picture"}});
    view.calls.clear();
    unit.Display(view, services);
    EXPECT_EQ(view.calls.size(), 5u);
}

TEST_F(DisplayTest, OtherSizesAreCopiedRowByRowInsideTheSurface) {
    writeArchive({{"unitpics\\ARMTEST.pcx", PcxBytes(64, 64, gradient(64, 64))}});
    unit.Display(view, services);
    EXPECT_EQ(view.calls.back(), "draw 34,0 64x64");  // 66.5 - 32
    EXPECT_EQ(view.surface.addrBits[96], 1);          // row 1 starts at the surface's row 1
    EXPECT_EQ(view.surface.addrBits[63 * 96 + 63], 126);

    writeArchive({{"unitpics\\ARMTEST.pcx", PcxBytes(130, 100, gradient(130, 100))}});
    view.calls.clear();
    unit.Display(view, services);
    EXPECT_EQ(view.calls.back(), "draw 18,0 96x96");  // clipped to the surface: 66.5 - 48
    EXPECT_EQ(view.surface.addrBits[95 * 96 + 95], 190);
}

TEST(CentredLeftTest, HalvesGoToTheEvenNeighbour) {
    EXPECT_EQ(CentredLeft(100, 96), 2);
    EXPECT_EQ(CentredLeft(133, 96), 18);  // 18.5
    EXPECT_EQ(CentredLeft(135, 96), 20);  // 19.5
    EXPECT_EQ(CentredLeft(133, 64), 34);  // 34.5
    EXPECT_EQ(CentredLeft(50, 96), -23);
}
