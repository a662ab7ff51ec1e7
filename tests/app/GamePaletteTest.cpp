// Choosing the start-up palette: the program's palette.dat, else the game's
// palette from the TA directory's archives, else the grey ramp.

#include <gtest/gtest.h>

#include "app/DemoInstallation.h"
#include "app/GamePaletteSource.h"
#include "app/Session.h"
#include "tests/support/Installation.h"
#include "tests/support/RecordingServices.h"
#include "tests/support/TempDir.h"

using namespace kloxmere;
using namespace kloxmere::test;

TEST(GamePalette, TheGamesPaletteComesFromTheFirstArchiveHoldingIt) {
    TempDir root, program;
    std::string ta = root.str() + "ta/";
    WriteDemoInstallation(ta);
    root.write("ta/broken.hpi", "not an archive");  // sorts first and is passed over
    auto bytes = FindGamePaletteFile(ta);
    ASSERT_TRUE(bytes.has_value());
    ASSERT_EQ(bytes->size(), 1024u);

    RecordingServices services;
    Session session(services, program.str(), program.str());
    session.TADirectory = ta;
    GamePalette fromArchive = LoadSessionPalette(session);
    EXPECT_EQ(fromArchive, LoadGamePal(*bytes));

    std::vector<std::uint8_t> dat(768, 0);
    dat[3] = 255;  // entry 1 red
    program.write("palette.dat", dat);
    GamePalette fromProgram = LoadSessionPalette(session);
    EXPECT_EQ(fromProgram[1].red, 255);
    EXPECT_EQ(fromProgram[1].blue, 0);
}

TEST(GamePalette, WithoutAnyPaletteTheGreyRampServes) {
    TempDir ta, program;
    WriteArchive(ta.file("mod.ufo"), {{"units\\A.FBI", UnitText("A")}});
    EXPECT_FALSE(FindGamePaletteFile(ta.str()).has_value());
    RecordingServices services;
    Session session(services, program.str(), program.str());
    EXPECT_EQ(LoadSessionPalette(session), GreyRampPalette());  // no TA directory known yet
    session.TADirectory = ta.str();
    EXPECT_EQ(LoadSessionPalette(session), GreyRampPalette());
    EXPECT_TRUE(services.calls.empty());
}
