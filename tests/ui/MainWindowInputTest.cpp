// The main window driven as a player drives it, by mouse clicks and key
// presses on its controls, and read as a screen reader reads it.

#include <QAccessible>
#include <QHeaderView>
#include <QLabel>
#include <QTabBar>
#include <QtTest>

#include "tests/support/Installation.h"
#include "tests/ui/MainWindowFixture.h"
#include "units/clsUnit.h"

using namespace kloxmere;
using kloxmere::test::MainWindowFixture;

namespace {

// A unit numbered 255 with a long name, beside the demo's.
void addWideUnit(MainWindowFixture& f) {
    test::WriteArchive(f.ta + "wide.ufo",
                       {{"units\\WIDEUNIT.fbi",
                         "[UNITINFO]\r\n\t{\r\n\tUnitName=ARMWIDEUNITWITHALONGNAME;\r\n"
                         "\tSide=ARM;\r\n\tTEDClass=TANK;\r\n"
                         "\tUnitNumber=255;\r\n\t}\r\n"}});
}

int rowOf(const MainWindowFixture& f, const QString& name) {
    return static_cast<int>(f.names().indexOf(name));
}

void clickRow(QTreeView* view, int row) {
    const QRect place = view->visualRect(view->model()->index(row, 0));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, place.center());
}

// Whether the text of `index` shows whole in its column.
bool showsWhole(QTreeView* view, const QModelIndex& index) {
    return view->sizeHintForIndex(index).width() <= view->header()->sectionSize(index.column());
}

}  // namespace

class MainWindowInputTest : public QObject {
    Q_OBJECT
  private slots:
    void theStatusBarReadsOutTheCurrentUnitsName() {
        MainWindowFixture f;
        QVERIFY(f.started);
        f.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
        QAccessibleInterface* panel = QAccessible::queryAccessibleInterface(f.window->StatusPanel2);
        QVERIFY(panel);
        QCOMPARE(panel->text(QAccessible::Name), QString("ARMBOLT"));
        QCOMPARE(panel->text(QAccessible::Description), QString("Current unit"));

        clickRow(f.window->ListUnits, rowOf(f, "CORTANK"));
        QCOMPARE(f.window->StatusPanel2->text(), QString("CORTANK"));
        QCOMPARE(panel->text(QAccessible::Name), QString("CORTANK"));
        f.window->ListUnits->setFocus();
        QTest::keyClick(f.window->ListUnits, Qt::Key_Down);
        QCOMPARE(panel->text(QAccessible::Name), f.window->StatusPanel2->text());
        QVERIFY(panel->text(QAccessible::Name) != QString("CORTANK"));
    }

    void columnsFitTheListFontAndTheirContents() {
        MainWindowFixture f(addWideUnit);
        QVERIFY(f.started);
        f.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
        QTreeView* list = f.window->ListUnits;
        QHeaderView* header = list->header();
        const int wide = rowOf(f, "ARMWIDEUNITWITHALONGNAME");
        QVERIFY(wide >= 0);
        QCOMPARE(f.list().index(wide, 1).data().toString(), QString("255"));
        QVERIFY(showsWhole(list, f.list().index(wide, 1)));  // three digits, no "..."
        // The design's order of widths: ID 300 twips, Max damage 500, Name
        // 1000, Callname 1400, Description 2000.
        QVERIFY(header->sectionSize(1) < header->sectionSize(6));
        QVERIFY(header->sectionSize(6) < header->sectionSize(0));
        QVERIFY(header->sectionSize(0) < header->sectionSize(2));
        QVERIFY(header->sectionSize(2) < header->sectionSize(3));

        for (int tab : {1, 2}) {  // the ID columns of Conflicts and Weapons
            QTest::mouseClick(f.window->TabView, Qt::LeftButton, {},
                              f.window->TabView->tabRect(tab).center());
            QCOMPARE(f.session->view.CurrentTab, tab);
            QVERIFY(f.list().rowCount() > 0);
            for (int row = 0; row < f.list().rowCount(); ++row) {
                QVERIFY(showsWhole(list, f.list().index(row, 1)));
            }
        }
        QTest::mouseClick(f.window->TabView, Qt::LeftButton, {},
                          f.window->TabView->tabRect(0).center());

        // A name longer than its column: a double click on the divider after
        // the column fits the column to it; the divider still drags.
        QVERIFY(!showsWhole(list, f.list().index(wide, 0)));
        QCOMPARE(header->sectionResizeMode(0), QHeaderView::Interactive);
        const int divider = header->sectionViewportPosition(0) + header->sectionSize(0) - 1;
        const QPoint onDivider(divider, header->height() / 2);
        QTest::mouseDClick(header->viewport(), Qt::LeftButton, {}, onDivider);
        QVERIFY(showsWhole(list, f.list().index(wide, 0)));

        const int before = header->sectionSize(1);
        const int edge = header->sectionViewportPosition(1) + header->sectionSize(1) - 1;
        QTest::mousePress(header->viewport(), Qt::LeftButton, {}, QPoint(edge, 5));
        QMouseEvent move(QEvent::MouseMove, QPointF(edge + 40, 5),
                         header->viewport()->mapToGlobal(QPointF(edge + 40, 5)), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(header->viewport(), &move);
        QTest::mouseRelease(header->viewport(), Qt::LeftButton, {}, QPoint(edge + 40, 5));
        QCOMPARE(header->sectionSize(1), before + 40);
    }
};

QTEST_MAIN(MainWindowInputTest)
#include "MainWindowInputTest.moc"
