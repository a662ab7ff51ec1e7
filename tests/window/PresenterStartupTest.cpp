// The start-up and shut-down sequences against the recording fake view: the
// settings and the frame, a schema on the command line, a missing TA
// directory, a surface that cannot be made, the interrupted switch.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>

#include "app/Settings.h"
#include "base/FileSystem.h"
#include "tests/support/ScopedEnv.h"
#include "tests/window/PresenterFixture.h"

using namespace kloxmere;
using namespace kloxmere::test;
using StartResult = window::MainPresenter::StartResult;

namespace {

class MemoryStore final : public SettingsStore {
  public:
    std::map<std::string, std::string> values;  // "Section/Key"
    int saves = 0;

    std::string get(const std::string& section, const std::string& key,
                    const std::string& fallback) override {
        auto found = values.find(section + "/" + key);
        return found == values.end() ? fallback : found->second;
    }
    void save(const std::string& section, const std::string& key,
              const std::string& value) override {
        values[section + "/" + key] = value;
        ++saves;
    }
};

window::StartupOptions withSettings(MemoryStore& store, std::string commandLine = {}) {
    window::StartupOptions options;
    options.settings = &store;
    options.commandLine = std::move(commandLine);
    return options;
}

}  // namespace

TEST(WindowPresenterStartup, TheSettingsPlaceTheFrameAndTheSplitterAndComeBackAtShutDown) {
    MemoryStore store;
    store.values = {{"Startup/SliderLeft", "3000"},
                    {"Startup/Left", "600"},
                    {"Startup/Top", "300"},
                    {"Startup/Width", "12000"},
                    {"Startup/Height", "8000"},
                    {"Startup/WindowState", "2"},
                    {"Locations/UnitViewPath", "/viewer/view.exe"}};
    PresenterFixture f([](PresenterFixture&) {}, withSettings(store));
    ASSERT_EQ(f.started, StartResult::Shown);
    EXPECT_EQ(f.presenter->layout().PicSplitter.left, 3000);
    EXPECT_EQ(f.view.layout.PicSplitter.left, 3000);  // laid out again at once
    EXPECT_EQ(f.view.frame.Left, 600);
    EXPECT_EQ(f.view.frame.Width, 12000);
    EXPECT_EQ(f.view.frame.State, WindowState::Maximized);
    EXPECT_EQ(f.session->UnitViewPath, "/viewer/view.exe");

    f.view.frame.State = WindowState::Normal;
    f.view.frame.Left = 900;
    f.presenter->Unload();
    EXPECT_EQ(store.values["Startup/SliderLeft"], "3000");
    EXPECT_EQ(store.values["Startup/Left"], "900");
    EXPECT_EQ(store.values["Locations/UnitViewPath"], "/viewer/view.exe");
    EXPECT_EQ(store.values["Locations/TAPath"], "");  // found, not picked: not kept
    const int saves = store.saves;
    f.presenter->Unload();  // once only
    EXPECT_EQ(store.saves, saves);
    EXPECT_TRUE(f.presenter->unloaded());
}

TEST(WindowPresenterStartup, ASchemaOnTheCommandLineIsAppliedWithoutAWindowOrTheSettings) {
    MemoryStore store;
    PresenterFixture f(
        [](PresenterFixture& fixture) {
            std::ofstream(PathFromUtf8(fixture.ta + "my schema.uls")) << "KLOXBASE.XHPI\r\n";
            fixture.options.commandLine = "\"" + fixture.ta + "my schema.uls\"";
        },
        withSettings(store));
    EXPECT_EQ(f.started, StartResult::Ended);
    EXPECT_FALSE(f.view.shown);
    EXPECT_TRUE(f.catalogue().ArchiveList.empty());  // no scan
    EXPECT_TRUE(std::filesystem::exists(PathFromUtf8(f.ta + "kloxbase.xhpi")));
    ASSERT_EQ(f.services.messages.size(), 1u);
    EXPECT_EQ(f.services.messages[0].text,
              "The schema 'my schema.uls' has been applied to your TA directory.");
    f.presenter->Unload();
    EXPECT_EQ(store.saves, 0);  // a start that never read the settings writes none
}

TEST(WindowPresenterStartup, NoTADirectoryEndsTheStartAndNothingIsSaved) {
    ScopedEnv noOverride("KLOXMERE_TA_DIR", std::nullopt);
    MemoryStore store;
    PresenterFixture f([](PresenterFixture& fixture) { fixture.session->TADirectory.clear(); },
                       withSettings(store));
    EXPECT_EQ(f.started, StartResult::Ended);
    EXPECT_FALSE(f.view.shown);
    f.presenter->Unload();
    EXPECT_EQ(store.saves, 0);
}

TEST(WindowPresenterStartup, ASurfaceThatCannotBeMadeIsSaidAndEndsTheStart) {
    PresenterFixture f([](PresenterFixture& fixture) { fixture.view.graphicsFail = true; });
    EXPECT_EQ(f.started, StartResult::Ended);
    EXPECT_FALSE(f.view.shown);
    ASSERT_EQ(f.services.messages.size(), 1u);
    EXPECT_EQ(f.services.messages[0].text,
              "The memory for the graphics window could not be initialized.");
}

TEST(WindowPresenterStartup, AnInterruptedSwitchIsOfferedBeforeTheWindowShows) {
    PresenterFixture f([](PresenterFixture& fixture) {
        std::filesystem::create_directories(fixture.temp.path() / "home" / "switches");
        std::ofstream journal(PathFromUtf8(fixture.home + "switches/switch-000001.journal"),
                              std::ios::binary);
        journal << "kloxmere switch journal 1\n"
                << "batch\t1\t2026-12-09T20:00:00Z\t0\tDisable Group TA Units\t$\n"
                << "rename\t" << Journalled(fixture.ta) << "kloxbase.hpi\t"
                << Journalled(fixture.ta) << "kloxbase.xhpi\t$\n"
                << "rename\t" << Journalled(fixture.ta) << "aurora.ufo\t" << Journalled(fixture.ta)
                << "aurora.xufo\t$\n"
                << "outcome\t0\tdone\t\t$\n";
        journal.close();
        std::filesystem::rename(PathFromUtf8(fixture.ta + "kloxbase.hpi"),
                                PathFromUtf8(fixture.ta + "kloxbase.xhpi"));
        fixture.services.choiceAnswers = {0};
    });
    ASSERT_EQ(f.started, StartResult::Shown);
    // The question came first, the window showed last; Finish did the rest.
    ASSERT_FALSE(f.services.calls.empty());
    EXPECT_EQ(
        f.services.calls.front().rfind("choice Kloxmere: Switching archives was interrupted", 0),
        0u);
    EXPECT_EQ(f.view.calls.back(), "show");
    EXPECT_TRUE(std::filesystem::exists(PathFromUtf8(f.ta + "aurora.xufo")));
    EXPECT_EQ(f.view.captions[window::CommandId::UndoSwitch], "&Undo Disable Group TA Units");
}
