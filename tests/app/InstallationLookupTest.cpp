// Where the TA directory comes from when nothing names it: the installations
// found in the launchers' places, one used as it is, several offered.

#include <gtest/gtest.h>

#include "app/Session.h"
#include "tests/support/LauncherHomes.h"
#include "tests/support/RecordingServices.h"
#include "tests/support/ScopedEnv.h"
#include "tests/support/TempDir.h"

using namespace kloxmere;
using namespace kloxmere::test;
namespace fs = std::filesystem;

namespace {

struct LookupTest : ::testing::Test {
    TempDir temp;
    ScopedEnv taDir{"KLOXMERE_TA_DIR", std::nullopt};
    // The registry step looks in $WINEPREFIX, an empty prefix here; ~/.wine is
    // then one of the launchers' places.
    ScopedEnv winePrefix{"WINEPREFIX", temp.str() + "no-registry"};
    ScopedEnv home{"HOME", temp.str() + "home"};
    RecordingServices services;
    Session session{services, temp.str(), temp.str()};
};

}  // namespace

TEST_F(LookupTest, TheOneInstallationFoundIsUsedWithoutAsking) {
    WriteGame(temp.path() / "home/.local/share/bottles/bottles/TA/drive_c/TA");
    WritePrefix(temp.path() / "home/.local/share/bottles/bottles/TA");
    EXPECT_EQ(
        LocateTADirectory(session),
        fs::canonical(temp.path() / "home/.local/share/bottles/bottles/TA/drive_c/TA").string() +
            "/");
    EXPECT_TRUE(services.calls.empty());
}

TEST_F(LookupTest, SeveralAreOfferedAndTheChoiceIsKept) {
    LauncherHomes homes(temp.path());
    services.installationAnswers.push_back({InstallationAnswer::Chosen, 4});
    EXPECT_EQ(LocateTADirectory(session), homes.heroic + "/");
    EXPECT_EQ(session.TADirectory, homes.heroic + "/");
    ASSERT_EQ(services.installationChoices.size(), 1u);
    const auto& offered = services.installationChoices[0];
    ASSERT_EQ(offered.size(), 8u);
    EXPECT_EQ(offered[0].directory, homes.steam);
    EXPECT_EQ(offered[0].archives, 2u);
    EXPECT_EQ(offered[0].source, "steam");
    EXPECT_EQ(services.calls, (std::vector<std::string>{"choose installation of 8"}));
    // Once chosen, the directory is not looked for again.
    EXPECT_EQ(LocateTADirectory(session), homes.heroic + "/");
    EXPECT_EQ(services.installationChoices.size(), 1u);
}

TEST_F(LookupTest, OtherOpensThePickerAndCancellingEndsTheLookup) {
    LauncherHomes homes(temp.path());
    services.installationAnswers.push_back({InstallationAnswer::Other, 0});
    services.directoryAnswers.push_back(temp.str() + "picked");
    EXPECT_EQ(LocateTADirectory(session), temp.str() + "picked/");
    EXPECT_EQ(services.calls,
              (std::vector<std::string>{"choose installation of 8", "pick directory"}));

    Session cancelled(services, temp.str(), temp.str());
    EXPECT_THROW(LocateTADirectory(cancelled), TADirectoryNotFound);  // no answer: cancelled
    EXPECT_TRUE(cancelled.TADirectory.empty());
}

TEST_F(LookupTest, TheEnvironmentComesBeforeWhatLaunchersHold) {
    LauncherHomes homes(temp.path());
    ScopedEnv named("KLOXMERE_TA_DIR", homes.lutris);
    EXPECT_EQ(LocateTADirectory(session), homes.lutris + "/");
    EXPECT_TRUE(services.calls.empty());
}
