// The splash and about windows and the program's pictures.

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QElapsedTimer>
#include <QImage>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include "tests/ui/MainWindowFixture.h"
#include "ui/FrmAbout.h"
#include "ui/FrmLogo.h"
#include "ui/Icons.h"

using namespace kloxmere::ui;

// Records the links the desktop is asked to open.
class LinkRecorder : public QObject {
    Q_OBJECT
  public:
    QList<QUrl> opened;
  public slots:
    void open(const QUrl& url) { opened << url; }
};

class AuxWindowsTest : public QObject {
    Q_OBJECT
  private slots:
    void theSplashShowsTheBusyPointerAndClosesItself() {
        FrmLogo logo;
        QCOMPARE(logo.TmrUnload->interval(), 2000);
        QVERIFY(!(logo.windowFlags() & Qt::WindowTitleHint));
        QVERIFY(!logo.Picture1->pixmap().isNull());
        logo.TmrUnload->setInterval(100);
        bool busyWhileShown = false;
        QTimer::singleShot(20, [&] {
            busyWhileShown = QApplication::overrideCursor() &&
                             QApplication::overrideCursor()->shape() == Qt::WaitCursor;
        });
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(logo.exec(), int(QDialog::Accepted));
        QVERIFY(clock.elapsed() >= 90);
        QVERIFY(busyWhileShown);
        QVERIFY(!QApplication::overrideCursor());
    }

    void theSplashRestoresThePointerWhenDestroyedUnshown() {
        { FrmLogo logo; }
        QVERIFY(!QApplication::overrideCursor());
    }

    void aboutShowsTheVersionAndItsTextCannotBeChangedButCopied() {
        FrmAbout about;
        about.show();
        QCOMPARE(about.windowTitle(), QString("About Kloxmere"));
        QCOMPARE(about.LblName->text(), QString("Kloxmere 1.0"));
        QCOMPARE(about.BtnOK->text(), QString("OK"));

        const QString credits = about.TxtInfo->toPlainText();
        QVERIFY(credits.contains("Kloxmere"));
        about.TxtInfo->setFocus();
        QTest::keyClicks(about.TxtInfo, "typed");
        for (auto key : {Qt::Key_Delete, Qt::Key_Backspace, Qt::Key_Return}) {
            QTest::keyClick(about.TxtInfo, key);
        }
        QTest::keyClick(about.TxtInfo, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(about.TxtInfo, Qt::Key_Delete);
        QTest::keyClick(about.TxtInfo, Qt::Key_X, Qt::ControlModifier);
        QApplication::clipboard()->setText("pasted");
        QTest::keyClick(about.TxtInfo, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(about.TxtInfo->toPlainText(), credits);
        QVERIFY(about.isVisible());  // Enter in the text does not close the window

        QApplication::clipboard()->clear();
        QTest::keyClick(about.TxtInfo, Qt::Key_Home, Qt::ControlModifier);
        QTest::keyClick(about.TxtInfo, Qt::Key_Right, Qt::ShiftModifier);
        QTest::keyClick(about.TxtInfo, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), credits.left(1));
        QTest::keyClick(about.TxtInfo, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(about.TxtInfo, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), credits);

        about.BtnOK->click();
        QVERIFY(!about.isVisible());
    }

    void aboutLinksOpenThroughTheDesktop() {
        LinkRecorder recorder;
        QDesktopServices::setUrlHandler("https", &recorder, "open");
        QDesktopServices::setUrlHandler("mailto", &recorder, "open");
        FrmAbout about;
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        for (QLabel* label : {about.Label1, about.Label4, about.LblHomePage}) {
            QTest::mouseClick(label, Qt::LeftButton, {}, QPoint(4, label->height() / 2));
        }
        QDesktopServices::unsetUrlHandler("https");
        QDesktopServices::unsetUrlHandler("mailto");
        QCOMPARE(recorder.opened,
                 (QList<QUrl>{AboutLinks::kProjectPage, AboutLinks::kMail, AboutLinks::kHomePage}));
        QCOMPARE(recorder.opened[1].scheme(), QString("mailto"));
        QVERIFY(about.isVisible());
    }

    void theHelpMenuShowsTheAboutWindowOverTheMainWindow() {
        kloxmere::test::MainWindowFixture f;
        QVERIFY(f.started);
        QPointer<FrmAbout> shown;
        bool overTheWindow = false;
        QTimer::singleShot(0, [&] {
            shown = qobject_cast<FrmAbout*>(QApplication::activeModalWidget());
            if (!shown) return;
            overTheWindow = shown->parentWidget() == f.window.get();
            shown->BtnOK->click();
        });
        f.window->mnuHelpAbout->trigger();
        QVERIFY(overTheWindow);
        QVERIFY(shown.isNull());  // made for the command and gone with it
        QVERIFY(!QApplication::activeModalWidget());
    }

    void everyPictureExistsAtSmallAndLargeSizesAndNoTwoRolesShareOne() {
        QList<QIcon> roles;
        for (int i = 1; i <= 10; ++i) roles << ToolbarImage(i);
        for (int i = 1; i <= 7; ++i) roles << TreeImage(i);
        for (int i = 1; i <= 3; ++i) roles << ListIcon(i);
        roles << ProgramIcon();
        QList<QImage> seen;
        for (const QIcon& icon : roles) {
            QVERIFY(!icon.isNull());
            QVERIFY(!icon.pixmap(32).isNull());
            QImage small = icon.pixmap(16).toImage();
            QVERIFY(!small.isNull());
            QCOMPARE(small.size(), QSize(16, 16));
            // Not blank: the picture has opaque pixels.
            int opaque = 0;
            for (int y = 0; y < 16; ++y)
                for (int x = 0; x < 16; ++x) opaque += qAlpha(small.pixel(x, y)) > 128;
            QVERIFY(opaque > 20);
            QVERIFY2(!seen.contains(small), "two roles show the same picture");
            seen << small;
        }
        QVERIFY(ToolbarImage(0).isNull());
        QVERIFY(ToolbarImage(11).isNull());
        QVERIFY(TreeImage(8).isNull());
        QVERIFY(ListIcon(0).isNull());
        QCOMPARE(LogoPicture().deviceIndependentSize().toSize(), QSize(310, 224));
    }
};

QTEST_MAIN(AuxWindowsTest)
#include "AuxWindowsTest.moc"
