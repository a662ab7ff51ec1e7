// The progress window: its bar's rounding and that the user cannot close it.

#include <QLabel>
#include <QProgressBar>
#include <QtTest>

#include "ui/FrmProgress.h"

using kloxmere::ui::FrmProgress;

class FrmProgressTest : public QObject {
    Q_OBJECT
  private slots:
    void roundsHalvesToEvenAndKeepsTheBarOnNonsense() {
        FrmProgress progress;
        progress.Update(50, 200);
        QCOMPARE(progress.Progress->value(), 25);
        progress.Update(1, 3);
        QCOMPARE(progress.Progress->value(), 33);
        progress.Update(1, 8);  // 12.5
        QCOMPARE(progress.Progress->value(), 12);
        progress.Update(3, 8);  // 37.5
        QCOMPARE(progress.Progress->value(), 38);
        progress.Update(5, 0);
        QCOMPARE(progress.Progress->value(), 38);
        progress.Update(300, 2);
        QCOMPARE(progress.Progress->value(), 38);
        progress.Update(-1, 2);
        QCOMPARE(progress.Progress->value(), 38);
    }

    void cannotBeClosedByTheUser() {
        FrmProgress progress;
        progress.show();
        QVERIFY(!progress.close());
        QTest::keyClick(&progress, Qt::Key_Escape);
        QVERIFY(progress.isVisible());
        QVERIFY(!(progress.windowFlags() & Qt::WindowCloseButtonHint));
        QCOMPARE(progress.Status->objectName(), QString("Status"));
    }
};

QTEST_MAIN(FrmProgressTest)
#include "FrmProgressTest.moc"
