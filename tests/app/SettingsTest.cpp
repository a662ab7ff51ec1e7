// The settings kept between runs: how numbers are read back, what a load
// restores and skips, what a save writes in each window state, and the unit
// groups that go with them.

#include <gtest/gtest.h>

#include <map>

#include "app/Session.h"
#include "app/Settings.h"
#include "catalogue/UnitGroupsFile.h"
#include "tests/support/TempDir.h"

using namespace kloxmere;
using kloxmere::test::TempDir;

namespace {

class MemoryStore final : public SettingsStore {
  public:
    std::map<std::string, std::string> values;  // "Section/Key"

    std::string get(const std::string& section, const std::string& key,
                    const std::string& fallback) override {
        auto found = values.find(section + "/" + key);
        return found == values.end() ? fallback : found->second;
    }
    void save(const std::string& section, const std::string& key,
              const std::string& value) override {
        values[section + "/" + key] = value;
    }
};

// The design placement of a window that was never moved.
const WindowPlacement kDesign{2460, 0, 0, 9915, 7380, WindowState::Normal};

struct Start {
    TempDir home;
    NullPlatformServices services;
    Session session{services, home.str(), home.str()};
};

}  // namespace

TEST(SettingNumber, TakesTheLongestLeadingDecimalPart) {
    EXPECT_EQ(SettingNumber("2460"), 2460);
    EXPECT_EQ(SettingNumber("  -12.75px"), -12.75);
    EXPECT_EQ(SettingNumber("+7"), 7);
    EXPECT_EQ(SettingNumber("3."), 3);
    EXPECT_EQ(SettingNumber(".5"), 0.5);
    EXPECT_EQ(SettingNumber("1e5"), 1);  // no exponent
    EXPECT_EQ(SettingNumber("1,5"), 1);  // "." is always the separator
    EXPECT_EQ(SettingNumber("1 2"), 1);  // blanks only lead
    for (const char* none : {"", "abc", "-", ".", " +.x", "x12"}) {
        EXPECT_EQ(SettingNumber(none), 0) << none;
    }
}

TEST(SettingNumber, PositionsRoundHalvesToEvenAndMustFitTheirWidth) {
    EXPECT_EQ(SettingPosition("12345.5"), 12346);
    EXPECT_EQ(SettingPosition("12344.5"), 12344);
    EXPECT_EQ(SettingPosition("-2.5"), -2);
    EXPECT_EQ(SettingPosition("2147483647"), 2147483647);
    EXPECT_EQ(SettingPosition("2147483648"), std::nullopt);
    EXPECT_EQ(SettingPosition(std::string(400, '9')), std::nullopt);
    EXPECT_EQ(SettingState("2.5"), 2);
    EXPECT_EQ(SettingState("32768"), std::nullopt);
}

TEST(SettingNumber, PositionsAreWrittenAsPlainDecimalText) {
    EXPECT_EQ(PositionText(2460), "2460");
    EXPECT_EQ(PositionText(12345.5), "12345.5");
    EXPECT_EQ(PositionText(-150), "-150");
    EXPECT_EQ(PositionText(16777216), "16777216");  // never with an exponent
}

TEST(SettingsLoad, FirstRunKeepsTheDesignPlacementAndEmptiesTheLocations) {
    Start run;
    run.session.TADirectory = "/found/by/the/scan/";
    MemoryStore store;
    WindowPlacement placement = kDesign;
    SettingsLoad(store, run.session, placement);
    EXPECT_EQ(placement, kDesign);
    EXPECT_EQ(run.session.TADirectory, "");  // the next command locates it anew
    EXPECT_EQ(run.session.UnitViewPath, "");
    EXPECT_TRUE(run.session.catalogue.GroupList.empty());
    EXPECT_FALSE(run.home.exists(kUnitGroupsFileName));
}

TEST(SettingsLoad, RestoresWhatWasStoredAndAStoredZeroMovesNothing) {
    Start run;
    MemoryStore store;
    store.values = {{"Startup/SliderLeft", "500"},
                    {"Startup/Left", "0"},
                    {"Startup/Top", "1500"},
                    {"Startup/Width", "12345.5"},
                    {"Startup/Height", "12344.5"},
                    {"Startup/WindowState", "1"},
                    {"Locations/UnitViewPath", "/v/u"},
                    {"Locations/TAPath", "/ta/"}};
    WindowPlacement placement = kDesign;
    placement.Left = 300;
    SettingsLoad(store, run.session, placement);
    EXPECT_EQ(placement, (WindowPlacement{500, 300, 1500, 12346, 12344, WindowState::Minimized}));
    EXPECT_EQ(run.session.UnitViewPath, "/v/u");
    EXPECT_EQ(run.session.TADirectory, "/ta/");
}

TEST(SettingsLoad, NonsenseChangesNothingAndRefusedValuesDoNotStopTheRest) {
    Start run;
    MemoryStore store;
    store.values = {{"Startup/SliderLeft", "abc"},      {"Startup/Left", "99999999999"},
                    {"Startup/Width", "-3000"},         {"Startup/Height", "6000"},
                    {"Startup/WindowState", "3"},       {"Locations/UnitViewPath", "/v/u"},
                    {"Locations/TAPath", "/stored/ta/"}};
    WindowPlacement placement = kDesign;
    SettingsLoad(store, run.session, placement);
    WindowPlacement expected = kDesign;
    expected.Height = 6000;  // the one value of the lot the window takes
    EXPECT_EQ(placement, expected);
    // The locations still load, so the save at exit keeps them.
    EXPECT_EQ(run.session.TADirectory, "/stored/ta/");
    EXPECT_EQ(run.session.UnitViewPath, "/v/u");
}

TEST(SettingsSave, WritesEveryKeyAsTextInTheNormalState) {
    Start run;
    run.session.TADirectory = "/ta/";
    MemoryStore store;
    SettingsSave(store, run.session, {2505, -120, 45, 9915, 7380, WindowState::Normal});
    EXPECT_EQ(store.values, (std::map<std::string, std::string>{{"Startup/SliderLeft", "2505"},
                                                                {"Startup/Left", "-120"},
                                                                {"Startup/Top", "45"},
                                                                {"Startup/Width", "9915"},
                                                                {"Startup/Height", "7380"},
                                                                {"Startup/WindowState", "0"},
                                                                {"Locations/UnitViewPath", ""},
                                                                {"Locations/TAPath", "/ta/"}}));
}
