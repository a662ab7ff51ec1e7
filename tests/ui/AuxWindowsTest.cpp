// The splash and about windows and the program's pictures.

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QElapsedTimer>
#include <QFileInfo>
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

    void aboutLinksOpenTheManualAndThePlayersFilesThroughTheDesktop() {
        kloxmere::test::TempDir temp;
        temp.write("README.md", "manual");
        const AboutLinks links{QUrl::fromLocalFile(QString::fromStdString(temp.file("README.md"))),
                               QUrl::fromLocalFile(QString::fromStdString(temp.str()))};
        LinkRecorder recorder;
        QDesktopServices::setUrlHandler("file", &recorder, "open");
        FrmAbout about(nullptr, links);
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        QCOMPARE(about.Label1->accessibleName(), QString("The Kloxmere manual"));
        QCOMPARE(about.Label4->accessibleName(), QString("Your Kloxmere files"));
        for (QLabel* label : {about.Label1, about.Label4}) {
            QVERIFY(label->isVisible());
            QTest::mouseClick(label, Qt::LeftButton, {}, QPoint(4, label->height() / 2));
        }
        QDesktopServices::unsetUrlHandler("file");
        QCOMPARE(recorder.opened, (QList<QUrl>{links.manual, links.userFiles}));
        QVERIFY(about.isVisible());

        // Nothing behind a link: the link is left out.
        FrmAbout bare(nullptr, AboutLinks{});
        bare.show();
        QVERIFY(QTest::qWaitForWindowExposed(&bare));
        QVERIFY(!bare.Label1->isVisible());
        QVERIFY(!bare.Label4->isVisible());

        // The program's own links lead to what is there.
        const AboutLinks own = AboutLinks::ForThisProgram(temp.str());
        QCOMPARE(own.userFiles, links.userFiles);
        if (!own.manual.isEmpty()) QVERIFY(QFileInfo(own.manual.toLocalFile()).isFile());
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
