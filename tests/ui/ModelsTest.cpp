// The tree and list models over a small catalogue: their structure under
// QAbstractItemModelTester, what they show, sorting and state refreshes.

#include <QAbstractItemModelTester>
#include <QtTest>

#include "base/PlatformServices.h"
#include "catalogue/GroupEditing.h"
#include "catalogue/ListRows.h"
#include "catalogue/MenuConflicts.h"
#include "catalogue/SideGroups.h"
#include "catalogue/UnitTree.h"
#include "catalogue/WeaponConflicts.h"
#include "tests/catalogue/CatalogueBuilder.h"
#include "ui/UnitListModel.h"
#include "ui/UnitTreeModel.h"

using namespace kloxmere;
using kloxmere::test::CatalogueBuilder;
using kloxmere::ui::UnitListModel;
using kloxmere::ui::UnitTreeModel;

namespace {

// Two archives, a weapon conflict and a build-menu conflict.
struct Fixture {
    CatalogueBuilder b;
    clsUnitArchive& rev = b.archive("/ta/rev.hpi");
    clsUnitArchive& mod = b.archive("/ta/mod.ufo");
    Fixture() {
        b.weapon(rev, "GUN", 5);
        b.weapon(mod, "MODGUN", 5);
        b.unit(rev, "ARMA", "ARM", "TANK", {"GUN"}).CostMetal = "1000";
        b.unit(mod, "CORB", "CORE", "KBOT", {"MODGUN"}).CostMetal = "200";
        b.unit(rev, "ARMC", "ARM", "SHIP").CostMetal = "30";
        b.menuEntry(rev, "ARMCOM", "1", "1", "ARMA");
        b.menuEntry(mod, "ARMCOM", "1", "1", "CORB");
        b.attachWeapons();
        NullPlatformServices services;
        FindWeaponConflicts(b.catalogue, services, false);
        FindMenuConflicts(b.catalogue, services);
        BuildSideList(b.catalogue);
        AddGroup(b.catalogue.GroupList, "Mine");
        AddKeyword(*b.catalogue.GroupList.Find("Mine"), "mod");
    }
    std::vector<ListItem> items(std::int32_t tab) {
        ViewState view;
        view.CurrentTab = tab;
        NullPlatformServices services;
        return FillUnitItems(b.catalogue, view, services);
    }
};

QStringList column(const QAbstractItemModel& model, int c) {
    QStringList texts;
    for (int row = 0; row < model.rowCount(); ++row) texts << model.index(row, c).data().toString();
    return texts;
}

}  // namespace

class ModelsTest : public QObject {
    Q_OBJECT
  private slots:
    void treeHasTheRootsSidesClassesAndGroups() {
        Fixture f;
        UnitTreeModel model;
        QAbstractItemModelTester tester(&model,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.setNodes(FillUnitTree(f.b.catalogue));
        QCOMPARE(model.rowCount(), 2);
        QModelIndex units = model.index(0, 0);
        QCOMPARE(units.data().toString(), QString("TA Units"));
        QCOMPARE(units.data(UnitTreeModel::KeyRole).toString(), QString("TA_HIERARCHY_NODE"));
        QCOMPARE(model.rowCount(units), 2);
        QModelIndex arm = model.index(0, 0, units);
        QCOMPARE(arm.data().toString(), QString("Arm"));
        QCOMPARE(column(model, 0), (QStringList{"TA Units", "TA Unit Groups"}));
        QCOMPARE(model.index(0, 0, arm).data(UnitTreeModel::KeyRole).toString(),
                 QString("ARMTANK"));
        QCOMPARE(model.parent(model.index(0, 0, arm)), arm);
        QModelIndex mine = model.index(0, 0, model.index(1, 0));
        QCOMPARE(mine.data().toString(), QString("Mine"));
        QVERIFY(!mine.data(Qt::DecorationRole).value<QIcon>().isNull());
        QCOMPARE(model.node(mine)->key, std::string("Mine"));
        QCOMPARE(model.indexOfNode(0), units);
        // A child whose parent is not there is left out.
        model.setNodes(
            {TreeNode{"ORPHAN", std::string("NONE"), "Orphan", kImageClass, std::nullopt, false}});
        QCOMPARE(model.rowCount(), 0);
    }

    void listWordsTheRowsOfTheTabUnderItsColumns() {
        Fixture f;
        UnitListModel model(f.b.catalogue);
        QAbstractItemModelTester tester(&model,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.setColumns(ColumnSet("Conflicts"));
        model.setItems(kConflictsTab, f.items(kConflictsTab));
        QCOMPARE(model.columnCount(), 5);
        QCOMPARE(model.headerData(4, Qt::Horizontal).toString(), QString("Conflict description"));
        QCOMPARE(model.rowCount(), 3);
        QCOMPARE(column(model, 0), (QStringList{"ARMA", "CORB", ""}));
        QCOMPARE(model.index(2, 4).data().toString(),
                 QString::fromStdString(f.b.catalogue.MenuConflictList[0].Message()));
        QCOMPARE(model.index(0, 0).data(UnitListModel::KeyRole).toString(), QString("ARMA1"));
        QVERIFY(!model.index(2, 0).data(UnitListModel::KeyRole).isValid());
        QVERIFY(!model.index(0, 0).data(Qt::DecorationRole).value<QIcon>().isNull());
        QVERIFY(!model.index(0, 1).data(Qt::DecorationRole).isValid());
    }

    void aVeryLongCellIsCutForShowing() {
        Fixture f;
        f.b.catalogue.UnitList.Item(1)->Description = std::string(3000, 'x') + "\xc3\xa9";
        UnitListModel model(f.b.catalogue);
        model.setColumns(ColumnSet("Units"));
        model.setItems(kUnitsTab, f.items(kUnitsTab));
        QString shown = model.index(0, 3).data().toString();
        QCOMPARE(shown.size(), 1003);
        QVERIFY(shown.endsWith("..."));
        QCOMPARE(model.index(1, 3).data().toString(), QString());
    }

    void sortingByANumericColumnKeepsSelectionsOnTheirRows() {
        Fixture f;
        UnitListModel model(f.b.catalogue);
        QAbstractItemModelTester tester(&model,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.setColumns(ColumnSet("Units"));
        model.setItems(kUnitsTab, f.items(kUnitsTab));
        QPersistentModelIndex arma = model.index(0, 0);
        model.sortByColumn(9);
        QCOMPARE(column(model, 9), (QStringList{"30", "200", "1000"}));
        QCOMPARE(arma.row(), 2);
        QCOMPARE(arma.data().toString(), QString("ARMA"));
        // Later fills come sorted by the same column.
        model.setItems(kUnitsTab, f.items(kUnitsTab));
        QCOMPARE(column(model, 0), (QStringList{"ARMC", "CORB", "ARMA"}));
        QCOMPARE(model.sortColumn(), std::optional<std::size_t>(9));
    }

    void refreshingStateRereadsIconsAndArchiveNames() {
        Fixture f;
        UnitListModel model(f.b.catalogue);
        QAbstractItemModelTester tester(&model,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.setColumns(ColumnSet("Units"));
        model.setItems(kUnitsTab, f.items(kUnitsTab));
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        f.mod.HPI->Filename = "/ta/mod.xufo";
        model.refreshState();
        QCOMPARE(changed.count(), 1);
        QCOMPARE(model.index(1, 4).data().toString(), QString("mod.xufo"));
        QCOMPARE(model.rowCount(), 3);
    }
};

QTEST_MAIN(ModelsTest)
#include "ModelsTest.moc"
