// The status bar's fingerprint panel on the demo installation: its code
// follows every switch, and a click copies it.

#include <QClipboard>
#include <QStatusBar>
#include <QToolBar>
#include <QtTest>

#include "catalogue/Fingerprint.h"
#include "tests/ui/MainWindowFixture.h"
#include "ui/FingerprintPanel.h"

using namespace kloxmere;
using kloxmere::test::MainWindowFixture;

class FingerprintPanelTest : public QObject {
    Q_OBJECT

  private slots:
    void followsEverySwitchAndAClickCopiesTheCode() {
        MainWindowFixture f;
        QVERIFY(f.started);
        auto* panel = f.window->Status->findChild<ui::FingerprintPanel*>("FingerprintPanel");
        QVERIFY(panel);
        QVERIFY(panel->isVisible());
        const QString first = QString::fromStdString(FingerprintEnabledSet(f.catalogue()).code);
        QCOMPARE(panel->accessibleName(), "Fingerprint " + first);
        QCOMPARE(panel->text(), "Fingerprint " + first);

        // The unit command disables the current unit's archive: a new code.
        QWidget* unitButton = f.window->Toolbar->widgetForAction(f.window->toolbarButton("unit"));
        QTest::mouseClick(unitButton, Qt::LeftButton);
        QVERIFY(QFileInfo::exists(QString::fromStdString(f.ta + "kloxbase.xhpi")));
        const QString switched = panel->code();
        QVERIFY(switched != first);
        QCOMPARE(panel->accessibleName(), "Fingerprint " + switched);

        QApplication::clipboard()->clear();
        QTest::mouseClick(panel, Qt::LeftButton);
        QCOMPARE(QApplication::clipboard()->text(), switched);

        // Switched back, the first code returns.
        QTest::mouseClick(unitButton, Qt::LeftButton);
        QCOMPARE(panel->code(), first);
    }

    void aGroupSwitchUpdatesItToo() {
        MainWindowFixture f;
        auto* panel = f.window->Status->findChild<ui::FingerprintPanel*>("FingerprintPanel");
        const QString first = panel->code();
        QWidget* disableGroup =
            f.window->Toolbar->widgetForAction(f.window->toolbarButton("disablegroup"));
        QVERIFY(disableGroup);
        QTest::mouseClick(disableGroup, Qt::LeftButton);
        QVERIFY(panel->code() != first);
        QCOMPARE(panel->code(), QString::fromStdString(FingerprintEnabledSet(f.catalogue()).code));
    }
};

QTEST_MAIN(FingerprintPanelTest)
#include "FingerprintPanelTest.moc"
