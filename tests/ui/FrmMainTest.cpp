// The main window through its real widgets: its menus and toolbar, and the
// handlers of the menu, toolbar, tab, tree and list events.

#include <QDialog>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTabBar>
#include <QToolBar>
#include <QtTest>
#include <fstream>

#include "archive/clsHPI.h"
#include "tests/ui/MainWindowFixture.h"
#include "ui/SplitterBar.h"
#include "ui/Twips.h"
#include "units/clsUnit.h"

using namespace kloxmere;
using kloxmere::test::MainWindowFixture;

namespace {

// "caption" per menu entry, "-" for a separator, "[x]" after a checked item.
QStringList entries(const QMenu* menu) {
    QStringList texts;
    for (const QAction* action : menu->actions()) {
        if (action->isSeparator()) {
            texts << "-";
        } else {
            texts << action->text() + (action->isChecked() ? " [x]" : "");
        }
    }
    return texts;
}

void touch(const std::string& path) {
    std::ofstream(path) << "taken";
}

}  // namespace

class FrmMainTest : public QObject {
    Q_OBJECT
  private slots:
    void menusAndToolbarAreThoseOfTheProgram() {
        MainWindowFixture f;
        QVERIFY(f.started);
        QCOMPARE(f.window->windowTitle(), QString("Kloxmere"));
        QStringList menus;
        for (const QAction* action : f.window->menuBar()->actions()) menus << action->text();
        QCOMPARE(menus, (QStringList{"&File", "&View", "&Schemas", "&Units", "&Help"}));
        QCOMPARE(entries(f.window->mnuFile),
                 (QStringList{"Set &TA Location...", "&Set Unit Viewer Location...", "-",
                              "&Export Fast-Load Unit List...", "-", "E&xit"}));
        QCOMPARE(entries(f.window->mnuView),
                 (QStringList{"&Cavedog units [x]", "&3rd party units [x]", "-",
                              "&Edit Unit Groups..."}));
        QCOMPARE(entries(f.window->mnuSchemas),
                 (QStringList{"&Import Schema...", "&Export Schema..."}));
        // The unit command already names the first unit's state.
        QCOMPARE(
            entries(f.window->mnuEdit),
            (QStringList{"&Enable Group", "&Disable Group", "-", "Disable &Unit",
                         "&Undo Last Switch", "-", "Export to Unit &Viewer...", "-", "&Conflict"}));
        QCOMPARE(entries(f.window->mnuHelp), QStringList{"&About Kloxmere..."});
        QCOMPARE(f.window->mnuUnitsEnable->shortcut(), QKeySequence(Qt::Key_F1));
        QCOMPARE(f.window->mnuViewUnitViewer->shortcut(), QKeySequence(Qt::Key_F5));

        QStringList toolbar;
        for (const QAction* action : f.window->Toolbar->actions()) {
            toolbar << (action->isSeparator() ? QString("|")
                                              : action->objectName() + ":" + action->toolTip() +
                                                    (action->isChecked() ? "[x]" : ""));
        }
        QCOMPARE(toolbar,
                 (QStringList{"|", "open:Import Unit Schema", "save:Export Unit Schema", "|",
                              "ta:Launch TA", "unitview:Export to Unit Viewer", "|",
                              "cavedog:View Cavedog units[x]", "thirdparty:View 3rd party units[x]",
                              "|", "editgroups:Edit groups", "|", "enablegroup:Enable group",
                              "disablegroup:Disable group", "unit:Disable unit"}));
        QCOMPARE(f.window->toolbarButton("open")->text(), QString("Import Unit Schema"));
        QCOMPARE(f.window->StatusPanel1->text(), QString("Ready"));
        QCOMPARE(f.window->StatusPanel2->text(), QString("ARMBOLT"));
    }

    void startUpShowsEveryUnitUnderTheExpandedUnitsRoot() {
        MainWindowFixture f;
        QCOMPARE(f.names().size(), 10);
        QCOMPARE(f.list().columnCount(), 10);
        QVERIFY(f.window->ListUnits->header()->sectionSize(1) >
                f.window->ListUnits->fontMetrics().horizontalAdvance("255"));
        QModelIndex root = f.window->treeModel().indexOfNode(0);
        QCOMPARE(f.window->TreeUnits->currentIndex(), root);
        QVERIFY(f.window->TreeUnits->isExpanded(root));
        QCOMPARE(f.catalogue().CurrentUnit, f.catalogue().UnitList.Item(1));
    }

    void viewSwitchesAndTheirToolbarTwinsAgree() {
        MainWindowFixture f;
        QAction* cavedog = f.window->toolbarButton("cavedog");
        cavedog->trigger();
        QVERIFY(!f.window->mnuViewHPI->isChecked());
        QVERIFY(!cavedog->isChecked());
        QVERIFY(!f.session->view.ShowCavedog);
        QCOMPARE(f.names(), (QStringList{"NOVACOM", "NOVATANK", "RETROGUN"}));
        f.window->mnuViewHPI->trigger();
        QVERIFY(f.window->mnuViewHPI->isChecked());
        QVERIFY(cavedog->isChecked());
        QCOMPARE(f.names().size(), 10);

        f.window->mnuViewUFO->trigger();
        QVERIFY(!f.window->toolbarButton("thirdparty")->isChecked());
        QCOMPARE(f.names().size(), 7);
        f.window->mnuViewHPI->trigger();  // both off: the root selects nothing
        QCOMPARE(f.names().size(), 0);
    }

    void eachTabBringsItsColumnSet() {
        MainWindowFixture f;
        f.window->TabView->setCurrentIndex(3);
        QCOMPARE(f.session->view.CurrentTab, 3);
        QCOMPARE(f.list().columnCount(), 1);
        QCOMPARE(f.list().headerData(0, Qt::Horizontal).toString(), QString("ID"));
        QVERIFY(f.window->ListUnits->header()->sectionSize(0) >
                f.window->ListUnits->fontMetrics().horizontalAdvance("255"));
        QVERIFY(f.names().contains("0"));
        f.window->TabView->setCurrentIndex(1);
        QCOMPARE(f.list().columnCount(), 5);
        QCOMPARE(f.names(), (QStringList{"ARMBOLT", "CORKBOT", "NOVATANK", "RETROGUN", ""}));
        f.window->TabView->setCurrentIndex(0);
        QCOMPARE(f.list().columnCount(), 10);
        QCOMPARE(f.names().size(), 10);
    }

    void aTreeNodeRefillsTheListOnlyWhenItIsANewOne() {
        MainWindowFixture f;
        QSignalSpy refills(&f.list(), &QAbstractItemModel::modelReset);
        f.clickNode("NOVA");
        QCOMPARE(f.names(), (QStringList{"NOVACOM", "NOVATANK"}));
        QCOMPARE(refills.count(), 1);
        QCOMPARE(f.window->LastTreeKey(), std::string("NOVA"));
        f.clickNode("NOVA");
        QCOMPARE(refills.count(), 1);
        f.clickNode("CORETANK");
        QCOMPARE(f.names(), QStringList{"CORTANK"});
    }

    void clicksOnlyChooseAUnitOnTheUnitsTab() {
        MainWindowFixture f;
        f.window->ListUnits_ItemClick(8);
        QCOMPARE(f.catalogue().CurrentUnit->Name, std::string("NOVATANK"));
        QCOMPARE(f.window->StatusPanel2->text(), QString("NOVATANK"));
        f.window->TabView->setCurrentIndex(2);
        f.window->ListUnits_ItemClick(0);
        QCOMPARE(f.catalogue().CurrentUnit->Name, std::string("NOVATANK"));
        f.window->ListUnits_DblClick();
        QVERIFY(f.services.fileDialogs.empty());
        QVERIFY(f.services.messages.empty());
        QVERIFY(f.services.launches.empty());
    }

    void numericColumnsSortByNumberAndASecondClickKeepsTheOrder() {
        MainWindowFixture f;
        f.window->ListUnits_ColumnClick(2);  // ID
        const QStringList ids{"1", "2", "3", "4", "5", "6", "7", "40", "41", "60"};
        QCOMPARE(f.column(1), ids);
        f.window->ListUnits_ColumnClick(2);
        QCOMPARE(f.column(1), ids);
        f.window->ListUnits_ColumnClick(1);  // Name: text
        QCOMPARE(f.names().front(), QString("ARMBOLT"));
        QCOMPARE(f.names().back(), QString("RETROGUN"));
    }

    void theUnitCommandSwitchesTheArchiveAndTheCommandFollows() {
        MainWindowFixture f;
        QCOMPARE(f.window->toolbarButton("unit")->toolTip(), QString("Disable unit"));
        f.window->mnuUnitsEnable->trigger();
        QVERIFY(QFileInfo::exists(QString::fromStdString(f.ta + "kloxbase.xhpi")));
        QCOMPARE(f.window->mnuUnitsEnable->text(), QString("Enable &Unit"));
        QCOMPARE(f.window->toolbarButton("unit")->toolTip(), QString("Enable unit"));
        QCOMPARE(f.list().index(0, 4).data().toString(), QString("kloxbase.xhpi"));
        QCOMPARE(ItemIcon(f.catalogue(), f.list().items()[0]), kIconDisabled);
        f.window->toolbarButton("unit")->trigger();
        QVERIFY(QFileInfo::exists(QString::fromStdString(f.ta + "kloxbase.hpi")));
        QCOMPARE(f.window->mnuUnitsEnable->text(), QString("Disable &Unit"));
    }

    void aRefusedRenameIsNamedAndTheOtherArchivesSwitch() {
        MainWindowFixture f([](MainWindowFixture& fixture) {
            touch(fixture.ta + "kloxextra.xccx");  // in the way of disabling kloxextra.ccx
        });
        f.window->mnuEditDisableGroup->trigger();
        QCOMPARE(f.services.messages.size(), 1u);
        const std::string& text = f.services.messages[0].text;
        QVERIFY(text.find("kloxextra.ccx") != std::string::npos);
        QVERIFY(text.find("kloxbase") == std::string::npos);
        QCOMPARE(f.services.messages[0].icon, MessageIcon::Exclamation);
        QVERIFY(QFileInfo::exists(QString::fromStdString(f.ta + "kloxbase.xhpi")));
        QVERIFY(QFileInfo::exists(QString::fromStdString(f.ta + "aurora.xufo")));
        QVERIFY(QFileInfo::exists(QString::fromStdString(f.ta + "kloxextra.ccx")));
        QCOMPARE(f.services.busyDepth, 0);
        f.window->mnuEditEnableGroup->trigger();
        QVERIFY(QFileInfo::exists(QString::fromStdString(f.ta + "kloxbase.hpi")));
        QCOMPARE(f.names().size(), 10);
    }

    void locationCommandsKeepTheirValuesWhenCancelled() {
        MainWindowFixture f;
        f.services.directoryAnswers = {"/games/ta/"};
        f.window->mnuEditSetTALocation->trigger();
        QCOMPARE(f.session->TADirectory, std::string("/games/ta/"));
        f.window->mnuEditSetTALocation->trigger();  // cancelled
        QCOMPARE(f.session->TADirectory, std::string("/games/ta/"));

        f.services.fileAnswers = {"/viewer/view.exe"};
        f.window->mnuEditSetUnitView->trigger();
        f.window->mnuEditSetUnitView->trigger();  // cancelled
        QCOMPARE(f.session->UnitViewPath, std::string("/viewer/view.exe"));
        QCOMPARE(f.services.fileDialogs.back().filter, std::string("Applications (*.exe)|*.exe"));
        QCOMPARE(f.services.fileDialogs.back().defaultExtension, std::string("exe"));
        QCOMPARE(f.services.fileDialogs.back().fileName, std::string());
    }

    void schemasAndTheFastLoadListGoThroughTheirDialogs() {
        MainWindowFixture f;
        const std::string schema = f.temp.str() + "state.uls";
        f.services.fileAnswers = {schema};
        f.window->toolbarButton("save")->trigger();
        QCOMPARE(f.services.fileDialogs.back().mode, FileDialogMode::Save);
        QCOMPARE(f.services.fileDialogs.back().filter, std::string("Unit Schema (*.uls)|*.uls"));
        QVERIFY(QFileInfo::exists(QString::fromStdString(schema)));

        f.window->mnuEditDisableGroup->trigger();
        QVERIFY(QFileInfo::exists(QString::fromStdString(f.ta + "kloxbase.xhpi")));
        f.services.fileAnswers = {schema};
        // The import shows what it will rename first; OK goes ahead.
        QTimer::singleShot(0, [] {
            if (auto* preview = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
                preview->accept();
        });
        f.window->toolbarButton("open")->trigger();
        QCOMPARE(f.services.fileDialogs.back().mode, FileDialogMode::Open);
        QVERIFY(QFileInfo::exists(QString::fromStdString(f.ta + "kloxbase.hpi")));
        QVERIFY(QFileInfo::exists(QString::fromStdString(f.ta + "retro.xufo")));
        QCOMPARE(f.list().index(0, 4).data().toString(), QString("kloxbase.hpi"));

        const std::string list = f.temp.str() + "base.udf";
        f.services.fileAnswers = {list};
        f.window->mnuFileSaveHPIListing->trigger();
        QCOMPARE(f.services.fileDialogs.back().filter,
                 std::string("Unit definition file (*.udf)|*.udf"));
        QVERIFY(QFileInfo(QString::fromStdString(list)).size() > 0);
        f.window->mnuFileSaveHPIListing->trigger();  // cancelled: nothing else happens
        QCOMPARE(f.services.busyDepth, 0);
    }

    void launchingTheGameStartsItInItsDirectory() {
        MainWindowFixture f;
        f.window->toolbarButton("ta")->trigger();
        QCOMPARE(f.services.launches.size(), 1u);
        QCOMPARE(f.services.launches[0].path, f.ta + "totala.exe");
        QCOMPARE(f.services.launches[0].workingDirectory, f.ta);
        QCOMPARE(f.services.launches[0].operation, std::string("open"));
        f.window->Toolbar_ButtonClick("nothing");  // an unknown key does nothing
        QCOMPARE(f.services.launches.size(), 1u);
    }

    void theSplitterBarIsDraggedWithTheMouse() {
        MainWindowFixture f;
        f.window->resize(900, 600);
        QCoreApplication::processEvents();
        const double before = f.window->layoutTwips().PicSplitter.left;
        QWidget* bar = f.window->PicSplitter;
        auto send = [bar](QEvent::Type type, int x, Qt::MouseButton button, Qt::MouseButtons held) {
            QMouseEvent event(type, QPointF(x, 5), bar->mapToGlobal(QPointF(x, 5)), button, held,
                              Qt::NoModifier);
            QCoreApplication::sendEvent(bar, &event);
        };
        send(QEvent::MouseButtonPress, 1, Qt::LeftButton, Qt::LeftButton);
        send(QEvent::MouseMove, 41, Qt::NoButton, Qt::LeftButton);
        // The bar's left edge goes where the pointer is.
        QCOMPARE(f.window->layoutTwips().PicSplitter.left, before + ui::ToTwips(41));
        QCOMPARE(f.window->layoutTwips().PicSplitter.top, 5.0);
        send(QEvent::MouseButtonRelease, 1, Qt::LeftButton, Qt::NoButton);
        const auto& layout = f.window->layoutTwips();
        QCOMPARE(layout.TreeUnits.width, layout.PicSplitter.left);
        QCOMPARE(layout.ListUnits.left, layout.PicSplitter.left + 45);
        QCOMPARE(f.window->ListUnits->x(), ui::ToPixels(layout.ListUnits.left));
        QCOMPARE(bar->accessibleName(), QString("Splitter"));
    }

    void exitClosesTheWindow() {
        MainWindowFixture f;
        QVERIFY(f.window->isVisible());
        f.window->mnuFileExit->trigger();
        QVERIFY(!f.window->isVisible());
    }
};

QTEST_MAIN(FrmMainTest)
#include "FrmMainTest.moc"
