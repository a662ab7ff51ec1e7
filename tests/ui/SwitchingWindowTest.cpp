// Undo Last Switch from the Units menu and its shortcut, and the question
// about an interrupted switch that comes before the main window.

#include <QAction>
#include <QFileInfo>
#include <QMenu>
#include <QtTest>
#include <fstream>

#include "catalogue/SwitchJournal.h"
#include "tests/ui/MainWindowFixture.h"

using namespace kloxmere;
using kloxmere::test::MainWindowFixture;

namespace {

bool exists(const std::string& path) {
    return QFileInfo::exists(QString::fromStdString(path));
}

// A journal as a program killed after the first of two renames leaves it.
void writeInterruptedBatch(MainWindowFixture& f) {
    std::filesystem::create_directories(f.temp.path() / "home" / "switches");
    std::ofstream journal(f.home + "switches/switch-000001.journal", std::ios::binary);
    journal << "kloxmere switch journal 1\n"
            << "batch\t1\t2026-12-09T20:00:00Z\t0\tDisable Group TA Units\t$\n"
            << "rename\t" << f.ta << "kloxbase.hpi\t" << f.ta << "kloxbase.xhpi\t$\n"
            << "rename\t" << f.ta << "aurora.ufo\t" << f.ta << "aurora.xufo\t$\n"
            << "outcome\t0\tdone\t\t$\n";
    std::filesystem::rename(f.ta + "kloxbase.hpi", f.ta + "kloxbase.xhpi");
}

}  // namespace

class SwitchingWindowTest : public QObject {
    Q_OBJECT
  private slots:
    void undoLastSwitchNamesTheBatchAndReversesIt() {
        MainWindowFixture f;  // a first start: nothing recorded yet
        QVERIFY(f.started);
        QAction* undo = f.window->mnuUnitsUndo;
        QCOMPARE(undo->text(), QString("&Undo Last Switch"));
        QVERIFY(!undo->isEnabled());
        QCOMPARE(undo->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Z));

        f.window->mnuEditDisableGroup->trigger();
        QVERIFY(exists(f.ta + "kloxbase.xhpi"));
        QCOMPARE(undo->text(), QString("&Undo Disable Group TA Units"));
        QVERIFY(undo->isEnabled());

        f.window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
        QTest::keyClick(f.window->ListUnits, Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(exists(f.ta + "kloxbase.hpi"));
        QVERIFY(exists(f.ta + "aurora.ufo"));
        // The rows follow the handles the undo renamed.
        QCOMPARE(f.list().index(0, 4).data().toString(), QString("kloxbase.hpi"));
        QVERIFY(!undo->isEnabled());
        QVERIFY(f.services.messages.empty());
        QCOMPARE(f.services.busyDepth, 0);
    }

    void aRefusedUndoIsReportedAsAGroupSwitchIs() {
        MainWindowFixture f;
        f.window->mnuEditDisableGroup->trigger();
        std::ofstream(f.ta + "kloxbase.hpi") << "a copy put back";
        f.window->mnuUnitsUndo->trigger();
        QCOMPARE(f.services.messages.size(), 1u);
        QVERIFY(f.services.messages[0].text.find("kloxbase.xhpi") != std::string::npos);
        QVERIFY(exists(f.ta + "kloxbase.xhpi") && exists(f.ta + "kloxbase.hpi"));
        QVERIFY(exists(f.ta + "aurora.ufo"));
    }

    void anInterruptedSwitchIsOfferedBeforeTheWindowShows() {
        for (std::size_t choice : {0u, 1u, 2u}) {
            MainWindowFixture f([choice](MainWindowFixture& fixture) {
                writeInterruptedBatch(fixture);
                fixture.services.choiceAnswers = {choice};
            });
            QVERIFY(f.started);
            QCOMPARE(f.services.calls.front(),
                     std::string("choice Kloxmere: Switching archives was interrupted: \"Disable "
                                 "Group TA Units\" had done 1 of its 2 renames.\n\nFinish it (do "
                                 "the rest), undo it (reverse what was done), or decide later "
                                 "(you will be asked at the next start)?"));
            std::vector<JournalBatch> journal = ReadJournal(f.home);
            if (choice == 0) {  // Finish
                QVERIFY(exists(f.ta + "kloxbase.xhpi") && exists(f.ta + "aurora.xufo"));
                QCOMPARE(f.window->mnuUnitsUndo->text(), QString("&Undo Disable Group TA Units"));
            } else if (choice == 1) {  // Undo
                QVERIFY(exists(f.ta + "kloxbase.hpi") && exists(f.ta + "aurora.ufo"));
                QVERIFY(!f.window->mnuUnitsUndo->isEnabled());
            } else {  // Later: untouched, and asked again next time
                QVERIFY(exists(f.ta + "kloxbase.xhpi") && exists(f.ta + "aurora.ufo"));
                QVERIFY(!journal[0].ended);
                continue;
            }
            QVERIFY(journal[0].ended);
            // The scan came after: the rows show the names the recovery left.
            QCOMPARE(f.list().index(0, 4).data().toString(),
                     QString(choice == 0 ? "kloxbase.xhpi" : "kloxbase.hpi"));
        }
    }
};

QTEST_MAIN(SwitchingWindowTest)
#include "SwitchingWindowTest.moc"
