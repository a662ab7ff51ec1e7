// The program's real start-up as a new player meets it: no stored settings,
// the TA directory given by the environment or picked by the player, and
// what the next start makes of it.

#include <QSettings>
#include <QTreeView>
#include <QtTest>
#include <algorithm>
#include <filesystem>
#include <memory>

#include "app/DemoInstallation.h"
#include "app/GamePaletteSource.h"
#include "app/Session.h"
#include "catalogue/GroupEditing.h"
#include "catalogue/UnitGroupsFile.h"
#include "catalogue/UnitTree.h"
#include "catalogue/clsUnitGroup.h"
#include "graphics/modPCX.h"
#include "tests/support/RecordingServices.h"
#include "tests/support/ScopedEnv.h"
#include "tests/support/TempDir.h"
#include "ui/FrmMain.h"
#include "ui/QtFastWin.h"
#include "ui/QtSettingsStore.h"
#include "ui/UnitPanel.h"
#include "ui/UnitTreeModel.h"
#include "units/UnitView.h"
#include "units/clsUnit.h"

using namespace kloxmere;
using kloxmere::test::RecordingServices;
using kloxmere::test::ScopedEnv;
using kloxmere::test::TempDir;
namespace fs = std::filesystem;

namespace {

// A demo installation with an empty settings place and user data directory.
struct Player {
    TempDir temp;
    std::string ta = temp.str() + "ta/";
    std::string home = temp.str() + "home/";

    Player() {
        WriteDemoInstallation(ta);
        fs::create_directories(temp.path() / "home");
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           QString::fromStdString(temp.str() + "config"));
    }

    QString stored(const char* key) const {
        QSettings settings(kApplicationTitle, kApplicationTitle);
        return settings.value(key, "(none)").toString();
    }
};

// One start of the program as main() makes it: nothing set in the session,
// the settings store given, no palette.dat in the program directory.
struct Start {
    RecordingServices services;
    ui::QtSettingsStore settings;
    std::unique_ptr<Session> session;
    std::unique_ptr<ui::FrmMain> window;
    ui::FrmMain::StartResult result;

    explicit Start(const Player& player, std::deque<std::string> picks = {}) {
        services.directoryAnswers = std::move(picks);
        session = std::make_unique<Session>(services, player.home, player.temp.str());
        ui::StartupOptions options;
        options.splash = false;
        options.scanThreads = 1;
        options.settings = &settings;
        window = std::make_unique<ui::FrmMain>(*session, options);
        result = window->Form_Load();
        QCoreApplication::processEvents();
    }
    ~Start() {
        if (window) window->close();
    }
};

}  // namespace

class FirstStartTest : public QObject {
    Q_OBJECT
  private slots:
    void unitPicturesShowInTheGamesPaletteFromTheScannedDirectory() {
        Player player;
        ScopedEnv given("KLOXMERE_TA_DIR", player.ta);
        Start start(player);
        QCOMPARE(start.result, ui::FrmMain::StartResult::Shown);
        QCOMPARE(start.session->TADirectory,
                 std::string());  // nothing stored, as on every first start

        const clsUnit& unit = *start.session->catalogue.CurrentUnit;
        PcxPicture picture;
        QVERIFY(LoadPCX(*ReadUnitPicture(unit), picture));
        const auto palFile = FindGamePaletteFile(player.ta);
        QVERIFY(palFile);
        const GamePalette game = LoadGamePal(*palFile);
        const QImage& shown = start.window->PicView->PicUnit->picture();
        const int left = CentredLeft(start.window->PicView->PicUnit->ScaleWidth(), 96);
        int coloured = 0;
        for (int y = 0; y < 96; ++y) {
            for (int x = 0; x < 96; ++x) {
                const PaletteEntry& entry =
                    game[picture.PcxData[static_cast<std::size_t>(y * 96 + x)]];
                QCOMPARE(shown.pixel(left + x, y), qRgb(entry.red, entry.green, entry.blue));
                const QRgb pixel = shown.pixel(left + x, y);
                if (qRed(pixel) != qGreen(pixel) || qGreen(pixel) != qBlue(pixel)) ++coloured;
            }
        }
        QVERIFY(coloured > 0);  // not the grey ramp
    }

    void theTreeOpensOnItsRootsAndASideOpensWhenThePlayerOpensIt() {
        Player player;
        ScopedEnv given("KLOXMERE_TA_DIR", player.ta);
        auto openNodes = [](const ui::FrmMain& window) {
            QStringList keys;
            const auto& nodes = window.treeModel().nodes();
            for (std::size_t i = 0; i < nodes.size(); ++i) {
                if (window.TreeUnits->isExpanded(window.treeModel().indexOfNode(i))) {
                    keys << QString::fromStdString(nodes[i].key);
                }
            }
            return keys;
        };
        {
            Start first(player);  // no groups yet: their root has nothing to show
            QCOMPARE(openNodes(*first.window), QStringList{kUnitsRootKey});
        }
        Collection<clsUnitGroup> groups;
        AddGroup(groups, "Kbots");
        AddKeyword(*groups.Find("Kbots"), "kbot");
        QVERIFY(SaveGroups(groups, player.home));

        Start start(player);
        ui::FrmMain& window = *start.window;
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(openNodes(window), (QStringList{kUnitsRootKey, kGroupsRootKey}));
        const auto& nodes = window.treeModel().nodes();
        const auto arm = std::find_if(nodes.begin(), nodes.end(),
                                      [](const TreeNode& node) { return node.key == "ARM"; });
        QVERIFY(arm != nodes.end());
        const QModelIndex side =
            window.treeModel().indexOfNode(static_cast<std::size_t>(arm - nodes.begin()));
        QTest::mouseClick(window.TreeUnits->viewport(), Qt::LeftButton, {},
                          window.TreeUnits->visualRect(side).center());
        QCOMPARE(window.TreeUnits->currentIndex(), side);
        QCOMPARE(openNodes(window), (QStringList{kUnitsRootKey, kGroupsRootKey}));
        QTest::keyClick(window.TreeUnits, Qt::Key_Right);
        QCOMPARE(openNodes(window), (QStringList{kUnitsRootKey, "ARM", kGroupsRootKey}));
    }

    void aPickedDirectoryIsKeptUsedAndScannedAgainNextTime() {
        Player player;
        ScopedEnv noOverride("KLOXMERE_TA_DIR", std::nullopt);
        ScopedEnv noGame("WINEPREFIX", player.temp.str());  // a prefix without the game
        {
            Start first(player, {player.ta});
            QCOMPARE(first.result, ui::FrmMain::StartResult::Shown);
            QCOMPARE(first.services.count("pick directory"), 1);
            QCOMPARE(first.services.messages.size(), 1u);
            QVERIFY(!first.session->catalogue.UnitList.empty());
            QCOMPARE(first.session->TADirectory, player.ta);
            first.window->toolbarButton("ta")->trigger();  // Launch TA asks nothing more
            QCOMPARE(first.services.count("pick directory"), 1);
            QCOMPARE(first.services.launches.size(), 1u);
            QCOMPARE(first.services.launches[0].path, player.ta + "totala.exe");
        }
        QCOMPARE(player.stored("Locations/TAPath"), QString::fromStdString(player.ta));

        {
            Start next(player);
            QCOMPARE(next.result, ui::FrmMain::StartResult::Shown);
            QCOMPARE(next.services.count("pick directory"), 0);
            QVERIFY(next.services.messages.empty());
            QVERIFY(!next.session->catalogue.UnitList.empty());
            QCOMPARE(next.session->TADirectory, player.ta);
        }

        // The stored directory is gone: asked for, never scanned as empty.
        const std::string moved = player.temp.str() + "moved/";
        fs::rename(player.temp.path() / "ta", player.temp.path() / "moved");
        {
            Start after(player, {moved});
            QCOMPARE(after.result, ui::FrmMain::StartResult::Shown);
            QCOMPARE(after.services.count("pick directory"), 1);
            QCOMPARE(after.services.messages.at(0).text, std::string(kTADirectoryMissingMessage));
            QVERIFY(!after.session->catalogue.UnitList.empty());
        }
        QCOMPARE(player.stored("Locations/TAPath"), QString::fromStdString(moved));

        // Set TA Location is remembered as well.
        {
            Start menu(player, {player.temp.str() + "other"});
            menu.window->mnuEditSetTALocation->trigger();
        }
        QCOMPARE(player.stored("Locations/TAPath"),
                 QString::fromStdString(player.temp.str() + "other"));
    }

    void aDirectoryFoundWithoutThePlayerIsNotStoredAndComesFirst() {
        Player player;
        {
            QSettings settings(kApplicationTitle, kApplicationTitle);
            settings.setValue("Locations/TAPath", "/gone/ta/");
        }
        ScopedEnv given("KLOXMERE_TA_DIR", player.ta);
        {
            Start start(player);
            QCOMPARE(start.result, ui::FrmMain::StartResult::Shown);
            QVERIFY(start.services.messages.empty());
            QCOMPARE(start.services.count("pick directory"), 0);
            QVERIFY(!start.session->catalogue.UnitList.empty());
        }
        QCOMPARE(player.stored("Locations/TAPath"), QString("/gone/ta/"));

        Player fresh;
        ScopedEnv givenFresh("KLOXMERE_TA_DIR", fresh.ta);
        { Start start(fresh); }
        QCOMPARE(fresh.stored("Locations/TAPath"), QString(""));
    }
};

QTEST_MAIN(FirstStartTest)
#include "FirstStartTest.moc"
