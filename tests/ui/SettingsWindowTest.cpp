// The main window across runs: what it remembers, what it keeps of the user's
// files when a start ends early, the group editor from the menu, and a
// schema applied from the command line.

#include <QApplication>
#include <QMainWindow>
#include <QPushButton>
#include <QSettings>
#include <QTreeView>
#include <QtTest>
#include <cstdlib>
#include <memory>

#include "app/DemoInstallation.h"
#include "app/Session.h"
#include "catalogue/GroupEditing.h"
#include "catalogue/UnitGroupsFile.h"
#include "tests/support/RecordingServices.h"
#include "tests/support/TempDir.h"
#include "ui/FrmGroups.h"
#include "ui/FrmMain.h"
#include "ui/QtSettingsStore.h"
#include "ui/Twips.h"
#include "ui/UnitListModel.h"
#include "ui/UnitTreeModel.h"

using namespace kloxmere;
using kloxmere::test::RecordingServices;
using kloxmere::test::TempDir;

namespace {

// A demo installation with its own user data directory and settings place.
struct Installation {
    TempDir temp;
    std::string ta = temp.str() + "ta/";
    std::string home = temp.str() + "home/";

    Installation() {
        WriteDemoInstallation(ta);
        std::filesystem::create_directories(temp.path() / "home");
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           QString::fromStdString(temp.str() + "config"));
    }

    std::string settingsFile() const { return "config/Kloxmere/Kloxmere.conf"; }
    std::string groupsFile() const { return std::string("home/") + kUnitGroupsFileName; }

    QString stored(const char* key) const {
        QSettings settings(kApplicationTitle, kApplicationTitle);
        return settings.value(key, "(none)").toString();
    }
    void store(std::initializer_list<std::pair<const char*, const char*>> values) const {
        QSettings settings(kApplicationTitle, kApplicationTitle);
        for (const auto& [key, value] : values) settings.setValue(key, value);
    }
    std::vector<std::uint8_t> bytes(const std::string& name) const { return temp.read(name); }
};

// One run of the program on an installation.
struct Run {
    RecordingServices services;
    ui::QtSettingsStore settings;
    std::unique_ptr<Session> session;
    std::unique_ptr<ui::FrmMain> window;
    ui::FrmMain::StartResult result;

    explicit Run(const Installation& installation, std::string commandLine = {},
                 std::optional<std::string> taDirectory = std::nullopt,
                 std::string programPath = {}) {
        session = std::make_unique<Session>(services, installation.home, installation.temp.str());
        session->TADirectory = taDirectory.value_or(installation.ta);
        ui::StartupOptions options;
        options.splash = false;
        options.scanThreads = 1;
        options.settings = &settings;
        options.commandLine = std::move(commandLine);
        options.programPath = std::move(programPath);
        window = std::make_unique<ui::FrmMain>(*session, options);
        result = window->Form_Load();
        QCoreApplication::processEvents();
    }

    QStringList treeTexts() const {
        QStringList texts;
        for (const TreeNode& node : window->treeModel().nodes()) {
            texts << QString::fromStdString(node.text);
        }
        return texts;
    }
};

// Sets an environment variable for one test.
class ScopedEnvironment {
  public:
    ScopedEnvironment(const char* name, const char* value) : m_name(name) {
        if (const char* old = std::getenv(name)) m_old = old;
        if (value) {
            setenv(name, value, 1);
        } else {
            unsetenv(name);
        }
    }
    ~ScopedEnvironment() {
        if (m_old) {
            setenv(m_name.c_str(), m_old->c_str(), 1);
        } else {
            unsetenv(m_name.c_str());
        }
    }

  private:
    std::string m_name;
    std::optional<std::string> m_old;
};

}  // namespace

class SettingsWindowTest : public QObject {
    Q_OBJECT
  private slots:
    void theFirstRunOpensAtTheDesignPlacement() {
        Installation installation;
        Run run(installation);
        QCOMPARE(run.result, ui::FrmMain::StartResult::Shown);
        QCOMPARE(run.window->layoutTwips().PicSplitter.left, 2460.0);
        QCOMPARE(run.window->centralWidget()->size(), ui::TwipsRect(0, 0, 9795, 6600).size());
        QCOMPARE(run.window->windowState(), Qt::WindowNoState);
        // No directory was ever saved: the next command locates it anew.
        QCOMPARE(run.session->TADirectory, std::string());
        QCOMPARE(run.session->UnitViewPath, std::string());

        run.window->close();
        QCOMPARE(installation.stored("Startup/SliderLeft"), QString("2460"));
        QCOMPARE(installation.stored("Startup/WindowState"), QString("0"));
        QCOMPARE(installation.stored("Locations/TAPath"), QString(""));
        QCOMPARE(installation.bytes(installation.groupsFile()),
                 (std::vector<std::uint8_t>{0, 0, 0, 0}));
    }

    void placementSplitterAndLocationsComeBackAtTheNextStart() {
        Installation installation;
        QSize size;
        {
            Run first(installation);
            first.window->move(120, 90);
            first.window->resize(720, 540);
            QCoreApplication::processEvents();
            size = first.window->frameGeometry().size();
            first.window->PicSplitter_MouseDown(1, 0);
            first.window->PicSplitter_MouseMove(1, 300);
            first.window->PicSplitter_MouseUp(1, 300);
            QCOMPARE(first.window->layoutTwips().PicSplitter.left, 2760.0);
            first.session->TADirectory = installation.ta;
            first.session->UnitViewPath = "/viewer/view.exe";
            first.window->close();
        }
        QCOMPARE(installation.stored("Startup/Left"), QString::number(ui::ToTwips(120)));

        Run second(installation);
        QCOMPARE(second.window->frameGeometry().topLeft(), QPoint(120, 90));
        QCOMPARE(second.window->frameGeometry().size(), size);
        QCOMPARE(second.window->layoutTwips().PicSplitter.left, 2760.0);
        QCOMPARE(second.window->layoutTwips().ListUnits.left, 2760.0 + 45);
        QCOMPARE(second.session->TADirectory, installation.ta);
        QCOMPARE(second.session->UnitViewPath, std::string("/viewer/view.exe"));
    }

    void maximizedAndMinimizedExitsKeepTheNormalPlacement() {
        Installation installation;
        {
            Run normal(installation);
            normal.window->move(120, 90);
            normal.window->close();
        }
        const QString left = installation.stored("Startup/Left");
        {
            Run maximized(installation);
            maximized.window->showMaximized();
            QCoreApplication::processEvents();
            maximized.window->close();
        }
        QCOMPARE(installation.stored("Startup/WindowState"), QString("2"));
        QCOMPARE(installation.stored("Startup/Left"), left);
        {
            Run next(installation);
            QVERIFY(next.window->windowState() & Qt::WindowMaximized);
            QCOMPARE(next.window->normalGeometry().topLeft(), QPoint(120, 90));
            next.window->showMinimized();
            QCoreApplication::processEvents();
            next.window->close();
        }
        QCOMPARE(installation.stored("Startup/WindowState"), QString("1"));
        QCOMPARE(installation.stored("Startup/Left"), left);
        Run minimized(installation);
        QVERIFY(minimized.window->windowState() & Qt::WindowMinimized);
    }

    void aRefusedValueIsPassedOverAndTheLocationsAreKept() {
        Installation installation;
        installation.store({{"Startup/WindowState", "5"},
                            {"Startup/Width", "-3000"},
                            {"Startup/SliderLeft", "abc"},
                            {"Locations/TAPath", installation.ta.c_str()},
                            {"Locations/UnitViewPath", "/viewer/view.exe"}});
        Run run(installation);
        QCOMPARE(run.window->windowState(), Qt::WindowNoState);
        QCOMPARE(run.window->layoutTwips().PicSplitter.left, 2460.0);
        QCOMPARE(run.session->TADirectory, installation.ta);
        QCOMPARE(run.session->UnitViewPath, std::string("/viewer/view.exe"));
        run.window->close();
        QCOMPARE(installation.stored("Locations/TAPath"), QString::fromStdString(installation.ta));
        QCOMPARE(installation.stored("Locations/UnitViewPath"), QString("/viewer/view.exe"));
        QCOMPARE(installation.stored("Startup/WindowState"), QString("0"));
    }

    void theGroupEditorChangesTheTreeAndItsGroupsSurviveARestart() {
        Installation installation;
        {
            Run first(installation);
            const int allUnits = first.window->listModel().rowCount();
            // Look at a side, then edit the groups.
            first.window->TreeUnits->setCurrentIndex(first.window->treeModel().indexOfNode(1));
            first.window->TreeUnits_Click();
            QVERIFY(first.window->listModel().rowCount() < allUnits);

            first.services.inputAnswers = {"Mine"};
            bool seen = false;
            QTimer::singleShot(0, [&] {
                auto* editor = qobject_cast<ui::FrmGroups*>(QApplication::activeModalWidget());
                if (!editor) return;
                seen = true;
                editor->CmdAdd->click();
                editor->close();  // the close box
            });
            first.window->mnuUnitsGroups->trigger();
            QVERIFY(seen);
            QVERIFY(first.treeTexts().contains("Mine"));
            // The rebuilt tree is on its first node, and so is the list.
            QCOMPARE(first.window->listModel().rowCount(), allUnits);
            first.window->close();
        }
        Run second(installation);
        QCOMPARE(second.session->catalogue.GroupList.Count(), 1u);
        QVERIFY(second.treeTexts().contains("Mine"));
    }

    void everyStartRegistersTheSchemaTypeAndAFailureDoesNotStopIt() {
        Installation installation;
        {
            ScopedEnvironment data("XDG_DATA_HOME", (installation.temp.str() + "data").c_str());
            ScopedEnvironment config("XDG_CONFIG_HOME",
                                     (installation.temp.str() + "xdg-config").c_str());
            Run run(installation, {}, std::nullopt, "/opt/kloxmere/kloxmere");
            QCOMPARE(run.result, ui::FrmMain::StartResult::Shown);
            const auto entry = installation.bytes("data/applications/kloxmere.desktop");
            QVERIFY(
                std::string(entry.begin(), entry.end()).find("Exec=/opt/kloxmere/kloxmere %f\n") !=
                std::string::npos);
            QVERIFY(installation.temp.exists("xdg-config/mimeapps.list"));
        }
        installation.temp.write("not-a-directory", "");
        ScopedEnvironment data("XDG_DATA_HOME",
                               (installation.temp.str() + "not-a-directory").c_str());
        Run run(installation, {}, std::nullopt, "/opt/kloxmere/kloxmere");
        QCOMPARE(run.result, ui::FrmMain::StartResult::Shown);
        QVERIFY(run.services.messages.empty());
    }

    void aSchemaOnTheCommandLineIsAppliedWithoutAWindowOrTheSettings() {
        Installation installation;
        installation.store({{"Locations/TAPath", "/elsewhere/"}});
        Collection<clsUnitGroup> groups;
        AddGroup(groups, "Core");
        QVERIFY(SaveGroups(groups, installation.home));
        installation.temp.write("ta/my schema.uls", "KLOXBASE.XHPI\r\n");
        const auto settingsBefore = installation.bytes(installation.settingsFile());
        const auto groupsBefore = installation.bytes(installation.groupsFile());

        Run run(installation, "\"" + installation.ta + "my schema.uls\"");
        QCOMPARE(run.result, ui::FrmMain::StartResult::Ended);
        QVERIFY(!run.window->windowHandle());                 // never shown
        QVERIFY(run.session->catalogue.ArchiveList.empty());  // no scan
        QVERIFY(installation.temp.exists("ta/kloxbase.xhpi"));
        QCOMPARE(run.services.messages.size(), 1u);
        QCOMPARE(run.services.messages[0].text,
                 std::string("The schema 'my schema.uls' has been applied to your TA directory."));
        run.window->close();
        QCOMPARE(installation.bytes(installation.settingsFile()), settingsBefore);
        QCOMPARE(installation.bytes(installation.groupsFile()), groupsBefore);
    }

    void aCancelledDirectoryPickerLeavesTheStoredFilesAlone() {
        Installation installation;
        installation.store({{"Locations/TAPath", "/stored/ta/"}});
        Collection<clsUnitGroup> groups;
        AddGroup(groups, "Core");
        QVERIFY(SaveGroups(groups, installation.home));
        installation.temp.write("ta/best.uls", "kloxbase.xhpi\r\n");
        const auto settingsBefore = installation.bytes(installation.settingsFile());
        const auto groupsBefore = installation.bytes(installation.groupsFile());
        // Neither the override nor a Wine prefix knows the game.
        ScopedEnvironment noOverride("KLOXMERE_TA_DIR", nullptr);
        ScopedEnvironment emptyPrefix("WINEPREFIX", installation.temp.str().c_str());

        for (std::string commandLine : {std::string(), installation.ta + "best.uls"}) {
            Run run(installation, commandLine, std::string());
            QCOMPARE(run.result, ui::FrmMain::StartResult::Ended);
            QCOMPARE(run.services.count("pick directory"), 1);
            QCOMPARE(run.services.messages.front().text, std::string(kTADirectoryMissingMessage));
            run.window->close();
            QCOMPARE(installation.bytes(installation.settingsFile()), settingsBefore);
            QCOMPARE(installation.bytes(installation.groupsFile()), groupsBefore);
        }
        QVERIFY(installation.temp.exists("ta/kloxbase.hpi"));
    }
};

QTEST_MAIN(SettingsWindowTest)
#include "SettingsWindowTest.moc"
