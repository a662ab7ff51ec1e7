// The window's tools for acting on conflicts, driven as a player does: the
// filter typed into its field, the Conflicts tab's partners and the context
// menu's commands chosen by mouse, and the schema preview's buttons.

#include <QApplication>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTabBar>
#include <QToolBar>
#include <QTreeWidget>
#include <QtTest>
#include <fstream>
#include <functional>

#include "tests/ui/MainWindowFixture.h"
#include "ui/ConflictPartnersPanel.h"
#include "ui/FilterBox.h"
#include "ui/FrmSchemaPreview.h"

using namespace kloxmere;
using kloxmere::test::MainWindowFixture;

namespace {

bool exists(const MainWindowFixture& f, const std::string& name) {
    return QFileInfo::exists(QString::fromStdString(f.ta + name));
}

void show(MainWindowFixture& f) {
    f.window->show();
    f.window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
}

void clickTab(MainWindowFixture& f, int tab) {
    QTest::mouseClick(f.window->TabView, Qt::LeftButton, {},
                      f.window->TabView->tabRect(tab).center());
}

QPoint rowCentre(MainWindowFixture& f, int row) {
    return f.window->ListUnits->visualRect(f.list().index(row, 0)).center();
}

// The captions of a menu's items, "-" for a separator.
QStringList captions(const QMenu* menu) {
    QStringList texts;
    for (const QAction* action : menu->actions())
        texts << (action->isSeparator() ? "-" : action->text());
    return texts;
}

// Once the popup menu opens: records its captions and clicks the item `choice`.
void chooseFromPopup(const QString& choice, QStringList* seen) {
    QTimer::singleShot(50, [choice, seen] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu) return;
        *seen = captions(menu);
        for (QAction* action : menu->actions()) {
            if (action->text() == choice) {
                QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
                return;
            }
        }
        menu->close();
    });
}

// The partners panel's rows, cells joined by "|".
QStringList partnerRows(const MainWindowFixture& f) {
    QStringList rows;
    QTreeWidget* tree = f.window->PicPartners->Partners;
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        QStringList cells;
        for (int c = 0; c < tree->columnCount(); ++c) cells << tree->topLevelItem(i)->text(c);
        rows << cells.join("|");
    }
    return rows;
}

// Runs `inspect` on the schema preview once it is shown, then clicks `button` on it.
void answerPreview(QDialogButtonBox::StandardButton button,
                   std::function<void(ui::FrmSchemaPreview&)> inspect, bool* shown) {
    QTimer::singleShot(50, [=] {
        auto* preview = qobject_cast<ui::FrmSchemaPreview*>(QApplication::activeModalWidget());
        if (!preview) return;
        *shown = true;
        inspect(*preview);
        if (QPushButton* target = preview->Buttons->button(button)) {
            QTest::mouseClick(target, Qt::LeftButton);
        } else {
            preview->reject();
        }
    });
}

QStringList groups(const ui::FrmSchemaPreview& preview) {
    QStringList texts;
    for (int i = 0; i < preview.LstChanges->topLevelItemCount(); ++i) {
        QTreeWidgetItem* group = preview.LstChanges->topLevelItem(i);
        texts << group->text(0);
        for (int j = 0; j < group->childCount(); ++j) texts << "  " + group->child(j)->text(0);
    }
    return texts;
}

}  // namespace

class ConflictToolsTest : public QObject {
    Q_OBJECT
  private slots:
    void typingFiltersTheListAndEscapeBringsEveryRowBack() {
        MainWindowFixture f;  // a first start: no settings
        QVERIFY(f.started);
        show(f);
        QCOMPARE(f.window->TxtFilter->accessibleName(), QString("Filter"));
        // Sorted by Callname first: the filter keeps that order and clearing restores it.
        QTest::mouseClick(f.window->ListUnits->header()->viewport(), Qt::LeftButton, {},
                          QPoint(f.window->ListUnits->header()->sectionViewportPosition(2) + 5, 5));
        const QStringList sorted = f.names();
        QCOMPARE(sorted.size(), 10);

        QTest::keyClick(f.window.get(), Qt::Key_F, Qt::ControlModifier);
        QCOMPARE(QApplication::focusWidget(), f.window->TxtFilter);
        QTest::keyClicks(QApplication::focusWidget(), "STOMP");  // a Callname, in another case
        QCOMPARE(f.names(), QStringList{"CORKBOT"});
        QCOMPARE(f.window->StatusPanel1->text(), QString("1 of 10 rows"));
        QTest::keyClick(f.window->TxtFilter, Qt::Key_Backspace);
        QTest::keyClick(f.window->TxtFilter, Qt::Key_Backspace);
        QTest::keyClicks(f.window->TxtFilter, "x");  // "STOx": wider, then narrower again
        QCOMPARE(f.list().rowCount(), 0);
        QCOMPARE(f.window->StatusPanel1->text(), QString("0 of 10 rows"));

        QTest::keyClick(f.window->TxtFilter, Qt::Key_Escape);
        QVERIFY(f.window->TxtFilter->text().isEmpty());
        QCOMPARE(f.names(), sorted);
        QCOMPARE(f.window->StatusPanel1->text(), QString("Ready"));

        // The filter stays across tabs and applies to the tab's own columns.
        QTest::keyClicks(f.window->TxtFilter, "aurora");
        clickTab(f, kConflictsTab);
        QCOMPARE(f.names(), QStringList{"NOVATANK"});
        QCOMPARE(f.window->StatusPanel1->text(), QString("1 of 5 rows"));
        QCOMPARE(ui::FilteredRowsText(12, 1441), QString("12 of 1,441 rows"));
    }

    void aConflictRowNamesItsPartnersAndTheContextMenuDisablesOne() {
        MainWindowFixture f;
        show(f);
        clickTab(f, kConflictsTab);
        QVERIFY(f.window->PicPartners->isVisible());
        QTest::mouseClick(f.window->ListUnits->viewport(), Qt::LeftButton, {}, rowCentre(f, 0));
        QCOMPARE(f.names().at(0), QString("ARMBOLT"));
        QCOMPARE(partnerRows(f), QStringList{"NOVATANK|NOVA_PULSE|3|aurora.ufo|yes"});
        QCOMPARE(f.window->PicPartners->FreeNumbers->text(),
                 QString("Free numbers near ARM_BOLT (3): 2, 0, 8"));

        // A right click on the row, through the window as the system delivers it.
        QStringList seen;
        chooseFromPopup("Disable aurora.ufo", &seen);
        const QPoint at = f.window->ListUnits->viewport()->mapTo(f.window.get(), rowCentre(f, 0));
        QTest::mouseClick(f.window->windowHandle(), Qt::RightButton, {}, at);
        QCOMPARE(seen, (QStringList{"Disable aurora.ufo", "Disable kloxbase.hpi", "-",
                                    "Show NOVATANK in Units"}));
        QVERIFY(exists(f, "aurora.xufo"));
        QVERIFY(!exists(f, "aurora.ufo"));
        QVERIFY(exists(f, "kloxbase.hpi"));
        QCOMPARE(partnerRows(f), QStringList{"NOVATANK|NOVA_PULSE|3|aurora.xufo|no"});

        // The build-menu conflict's row offers both entries' archives; the
        // disabled one cannot be disabled again.
        QTest::mouseClick(f.window->ListUnits->viewport(), Qt::LeftButton, {}, rowCentre(f, 4));
        QCOMPARE(partnerRows(f),
                 (QStringList{"ARMBOLT|||kloxbase.hpi|yes", "NOVATANK|||aurora.xufo|no"}));
        f.window->mnuUnitsConflict->popup(f.window->mapToGlobal(QPoint(10, 10)));
        QVERIFY(QTest::qWaitForWindowExposed(f.window->mnuUnitsConflict));
        QCOMPARE(captions(f.window->mnuUnitsConflict),
                 (QStringList{"Disable aurora.xufo", "Disable kloxbase.hpi", "-",
                              "Show NOVATANK in Units", "Show ARMBOLT in Units"}));
        QVERIFY(!f.window->mnuUnitsConflict->actions().at(0)->isEnabled());
        f.window->mnuUnitsConflict->close();
    }

    void showInUnitsSelectsThePartnerEvenWhenTheFilterHidesIt() {
        MainWindowFixture f;
        show(f);
        clickTab(f, kConflictsTab);
        QTest::keyClicks(f.window->TxtFilter, "bolt");  // ARMBOLT, NOVATANK's and the menu's rows
        QCOMPARE(f.list().rowCount(), 3);
        QTest::mouseClick(f.window->ListUnits->viewport(), Qt::LeftButton, {}, rowCentre(f, 0));
        QStringList seen;
        chooseFromPopup("Show NOVATANK in Units", &seen);
        f.window->mnuUnitsConflict->popup(f.window->mapToGlobal(QPoint(10, 10)));
        QTRY_VERIFY(!seen.isEmpty());
        QCOMPARE(f.window->TabView->currentIndex(), kUnitsTab);
        QVERIFY(f.window->TxtFilter->text().isEmpty());  // "bolt" hid NOVATANK on Units
        const ListItem* current = f.list().item(f.window->ListUnits->currentIndex().row());
        QVERIFY(current);
        QCOMPARE(QString::fromStdString(ItemText(f.catalogue(), kUnitsTab, *current, 0)),
                 QString("NOVATANK"));
        QCOMPARE(f.window->StatusPanel2->text(), QString("NOVATANK"));
    }

    void theSchemaPreviewSaysWhatItWillDoAndCancelRenamesNothing() {
        MainWindowFixture f;
        show(f);
        const std::string schema = f.temp.str() + "friend.uls";
        {
            std::ofstream out(schema, std::ios::binary);
            out << "KLOXBASE.XHPI\r\nretro.ufo\r\nfaraway.ufo\r\n";
        }
        QWidget* open = f.window->Toolbar->widgetForAction(f.window->toolbarButton("open"));
        bool shown = false;
        QStringList listed;
        f.services.fileAnswers = {schema};
        answerPreview(
            QDialogButtonBox::Cancel,
            [&](ui::FrmSchemaPreview& preview) { listed = groups(preview); }, &shown);
        QTest::mouseClick(open, Qt::LeftButton);
        QVERIFY(shown);
        QCOMPARE(
            listed,
            (QStringList{"Archives to enable (1)", "  retro.xufo", "Archives to disable (1)",
                         "  kloxbase.hpi", "Named by the schema but not in this installation (1)",
                         "  faraway.ufo", "Not named by the schema (left as they are) (2)",
                         "  kloxextra.ccx", "  aurora.ufo"}));
        QVERIFY(exists(f, "kloxbase.hpi"));
        QVERIFY(exists(f, "retro.xufo"));

        shown = false;
        f.services.fileAnswers = {schema};
        answerPreview(
            QDialogButtonBox::Ok, [](ui::FrmSchemaPreview&) {}, &shown);
        QTest::mouseClick(open, Qt::LeftButton);
        QVERIFY(shown);
        QVERIFY(exists(f, "kloxbase.xhpi"));
        QVERIFY(exists(f, "retro.ufo"));

        // Imported again, it changes nothing and says so, with Close alone.
        shown = false;
        QString summary;
        bool okOffered = true;
        f.services.fileAnswers = {schema};
        answerPreview(
            QDialogButtonBox::Close,
            [&](ui::FrmSchemaPreview& preview) {
                summary = preview.LblSummary->text();
                okOffered = preview.Buttons->button(QDialogButtonBox::Ok) != nullptr;
            },
            &shown);
        QTest::mouseClick(open, Qt::LeftButton);
        QVERIFY(shown);
        QVERIFY(summary.contains("changes nothing"));
        QVERIFY(!okOffered);

        // An unreadable schema is reported, and nothing is renamed.
        f.services.fileAnswers = {f.temp.str() + "none.uls"};
        QTest::mouseClick(open, Qt::LeftButton);
        QVERIFY(!f.services.messages.empty());
        QVERIFY(f.services.messages.back().text.find("could not be read") != std::string::npos);
        QVERIFY(exists(f, "kloxbase.xhpi"));
    }
};

QTEST_MAIN(ConflictToolsTest)
#include "ConflictToolsTest.moc"
