// The chooser of found installations, driven by mouse and keyboard, and the
// main window's start on a home whose launchers hold the game.

#include <QApplication>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>
#include <filesystem>
#include <memory>

#include "app/DemoInstallation.h"
#include "app/Session.h"
#include "tests/support/LauncherHomes.h"
#include "tests/support/RecordingServices.h"
#include "tests/support/ScopedEnv.h"
#include "tests/support/TempDir.h"
#include "ui/FrmInstallations.h"
#include "ui/FrmMain.h"
#include "ui/QtPlatformServices.h"

using namespace kloxmere;
using namespace kloxmere::test;
using kloxmere::ui::FrmInstallations;
namespace fs = std::filesystem;

namespace {

const std::vector<InstallationChoice> kFound = {
    {"/home/p/.local/share/Steam/steamapps/common/TA", 12, "steam"},
    {"/home/p/.local/share/bottles/bottles/TA/drive_c/TA", 3, "bottles"},
    {"/home/p/.wine/drive_c/TA", 40, "registry"},
};

void clickRow(QTreeWidget* list, int row) {
    const QRect rect = list->visualItemRect(list->topLevelItem(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
}

// A home whose Bottles bottle and ~/.wine each hold a demo installation.
struct TwoInstallations {
    TempDir temp;
    std::string bottle, wine;
    ScopedEnv home{"HOME", temp.str() + "home"};
    ScopedEnv taDir{"KLOXMERE_TA_DIR", std::nullopt};
    ScopedEnv prefix{"WINEPREFIX", temp.str() + "no-registry"};

    explicit TwoInstallations(bool both = true) {
        const fs::path bottlePrefix = temp.path() / "home/.local/share/bottles/bottles/TA";
        WritePrefix(bottlePrefix);
        WriteDemoInstallation((bottlePrefix / "drive_c/TA/").string());
        temp.write("home/.local/share/bottles/bottles/TA/drive_c/TA/totala.exe", "MZ");
        bottle = fs::canonical(bottlePrefix / "drive_c/TA").string() + "/";
        if (!both) return;
        WritePrefix(temp.path() / "home/.wine");
        WriteDemoInstallation(temp.str() + "home/.wine/drive_c/TA/");
        temp.write("home/.wine/drive_c/TA/TOTALA.EXE", "MZ");
        wine = fs::canonical(temp.path() / "home/.wine/drive_c/TA").string() + "/";
    }
};

std::unique_ptr<ui::FrmMain> startWindow(Session& session, ui::FrmMain::StartResult& result) {
    ui::StartupOptions options;
    options.splash = false;
    options.scanThreads = 1;
    auto window = std::make_unique<ui::FrmMain>(session, options);
    result = window->Form_Load();
    return window;
}

}  // namespace

class FrmInstallationsTest : public QObject {
    Q_OBJECT
  private slots:
    void aRowIsChosenByClickingItAndOk() {
        FrmInstallations chooser(kFound);
        chooser.show();
        QVERIFY(QTest::qWaitForWindowExposed(&chooser));
        QCOMPARE(chooser.LstInstallations->topLevelItemCount(), 3);
        QCOMPARE(chooser.LstInstallations->topLevelItem(2)->text(1), QString("40"));
        QCOMPARE(chooser.LstInstallations->topLevelItem(2)->text(2), QString("registry"));
        clickRow(chooser.LstInstallations, 1);
        QTest::mouseClick(chooser.CmdOk, Qt::LeftButton);
        QCOMPARE(chooser.result(), int(QDialog::Accepted));
        QCOMPARE(chooser.Answer().kind, InstallationAnswer::Chosen);
        QCOMPARE(chooser.Answer().index, std::size_t(1));
    }

    void aDoubleClickChoosesAndTheKeysMoveAndAnswer() {
        FrmInstallations doubleClicked(kFound);
        doubleClicked.show();
        QVERIFY(QTest::qWaitForWindowExposed(&doubleClicked));
        const QRect rect = doubleClicked.LstInstallations->visualItemRect(
            doubleClicked.LstInstallations->topLevelItem(2));
        QTest::mouseClick(doubleClicked.LstInstallations->viewport(), Qt::LeftButton, {},
                          rect.center());
        QTest::mouseDClick(doubleClicked.LstInstallations->viewport(), Qt::LeftButton, {},
                           rect.center());
        QCOMPARE(doubleClicked.Answer().kind, InstallationAnswer::Chosen);
        QCOMPARE(doubleClicked.Answer().index, std::size_t(2));

        FrmInstallations keys(kFound);
        keys.show();
        QVERIFY(QTest::qWaitForWindowExposed(&keys));
        keys.LstInstallations->setFocus();
        QTest::keyClick(keys.LstInstallations, Qt::Key_Down);
        QTest::keyClick(keys.LstInstallations, Qt::Key_Return);
        QCOMPARE(keys.Answer().kind, InstallationAnswer::Chosen);
        QCOMPARE(keys.Answer().index, std::size_t(1));
    }

    void otherAndCancelAreAnswersToo() {
        FrmInstallations other(kFound);
        other.show();
        QVERIFY(QTest::qWaitForWindowExposed(&other));
        QTest::mouseClick(other.CmdOther, Qt::LeftButton);
        QCOMPARE(other.Answer().kind, InstallationAnswer::Other);

        FrmInstallations escaped(kFound);
        escaped.show();
        QVERIFY(QTest::qWaitForWindowExposed(&escaped));
        clickRow(escaped.LstInstallations, 2);
        QTest::keyClick(&escaped, Qt::Key_Escape);
        QCOMPARE(escaped.result(), int(QDialog::Rejected));
        QCOMPARE(escaped.Answer().kind, InstallationAnswer::Cancelled);
    }

    void theWindowOpensOnTheOneInstallationFoundWithoutAsking() {
        TwoInstallations home(false);
        RecordingServices services;
        Session session(services, home.temp.str(), home.temp.str());
        ui::FrmMain::StartResult result;
        auto window = startWindow(session, result);
        QCOMPARE(result, ui::FrmMain::StartResult::Shown);
        QCOMPARE(session.TADirectory, home.bottle);
        QVERIFY(!session.catalogue.UnitList.empty());
        QCOMPARE(services.count("choose installation"), 0);
        QCOMPARE(services.count("pick directory"), 0);
        QVERIFY(services.messages.empty());
        window->close();
    }

    void withSeveralTheWindowOpensOnTheOneChosen() {
        TwoInstallations home;
        RecordingServices services;
        services.installationAnswers.push_back({InstallationAnswer::Chosen, 1});
        Session session(services, home.temp.str(), home.temp.str());
        ui::FrmMain::StartResult result;
        auto window = startWindow(session, result);
        QCOMPARE(result, ui::FrmMain::StartResult::Shown);
        QCOMPARE(services.installationChoices.size(), std::size_t(1));
        QCOMPARE(services.installationChoices[0].size(), std::size_t(2));
        QCOMPARE(services.installationChoices[0][0].source, std::string("bottles"));
        QCOMPARE(session.TADirectory, home.wine);
        window->close();

        // Cancelling the chooser ends the start, as cancelling the picker does.
        RecordingServices cancelling;
        Session cancelled(cancelling, home.temp.str(), home.temp.str());
        auto ended = startWindow(cancelled, result);
        QCOMPARE(result, ui::FrmMain::StartResult::Ended);
        QCOMPARE(cancelling.count("pick directory"), 0);
        ended->close();
    }

    void theRealChooserIsAskedAtStartUp() {
        TwoInstallations home;
        ui::QtPlatformServices services;
        Session session(services, home.temp.str(), home.temp.str());
        bool asked = false;
        // The progress window lets events run before the chooser shows: wait for it.
        QTimer poll;
        poll.setInterval(10);
        connect(&poll, &QTimer::timeout, [&] {
            auto* chooser = qobject_cast<FrmInstallations*>(QApplication::activeModalWidget());
            if (!chooser || !chooser->isVisible()) return;
            poll.stop();
            asked = true;
            clickRow(chooser->LstInstallations, 1);
            QTest::mouseClick(chooser->CmdOk, Qt::LeftButton);
        });
        poll.start();
        ui::FrmMain::StartResult result;
        auto window = startWindow(session, result);
        QVERIFY(asked);
        QCOMPARE(result, ui::FrmMain::StartResult::Shown);
        QCOMPARE(session.TADirectory, home.wine);
        window->close();
    }
};

QTEST_MAIN(FrmInstallationsTest)
#include "FrmInstallationsTest.moc"
