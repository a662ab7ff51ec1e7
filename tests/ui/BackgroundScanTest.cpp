// The scan behind the splash window: the same catalogue as a scan on the
// window thread, and nothing shown or asked until the window lets it.

#include <QElapsedTimer>
#include <QtTest>
#include <chrono>
#include <cstdlib>
#include <filesystem>

#include "app/DemoInstallation.h"
#include "app/ScanInstallation.h"
#include "app/Session.h"
#include "tests/support/CatalogueDump.h"
#include "tests/support/RecordingServices.h"
#include "tests/support/TempDir.h"
#include "ui/BackgroundScan.h"

using namespace kloxmere;
using kloxmere::test::RecordingServices;
using kloxmere::test::TempDir;

namespace {

void runEventsFor(int milliseconds) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < milliseconds)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

}  // namespace

class BackgroundScanTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() {
        // No TA directory from the environment or a Wine prefix.
        qunsetenv("KLOXMERE_TA_DIR");
        qputenv("WINEPREFIX", QByteArray::fromStdString(m_noPrefix.str()));
    }

    void buildsTheCatalogueOfTheSequentialScan() {
        TempDir temp;
        WriteDemoInstallation(temp.str() + "ta");
        RecordingServices sequentialServices;
        Session sequential(sequentialServices, temp.str(), temp.str());
        sequential.TADirectory = temp.str() + "ta/";
        ScanInstallation(sequential, ScanOptions{1, nullptr});

        RecordingServices window;
        ui::ForwardingServices forwarding(window);
        Session session(forwarding, temp.str(), temp.str());
        session.TADirectory = temp.str() + "ta/";
        {
            ui::BackgroundScan scan(session, forwarding, 2);
            scan.start();
            scan.release();
            scan.finish();
        }
        QCOMPARE(test::DumpCatalogue(session.catalogue), test::DumpCatalogue(sequential.catalogue));
        QVERIFY(session.catalogue.CurrentUnit);
        QCOMPARE(&forwarding.target(), static_cast<PlatformServices*>(&window));
        QCOMPARE(window.busyDepth, 0);
        QVERIFY(window.messages.empty());
    }

    void aWarmStartBuildsTheSameCatalogue() {
        TempDir temp;
        WriteDemoInstallation(temp.str() + "ta");
        // Aged, so that the cache trusts them.
        for (const auto& entry : std::filesystem::directory_iterator(temp.path() / "ta")) {
            std::filesystem::last_write_time(
                entry.path(),
                std::filesystem::file_time_type::clock::now() - std::chrono::hours(1));
        }
        RecordingServices sequentialServices;
        Session sequential(sequentialServices, temp.str(), temp.str());
        sequential.TADirectory = temp.str() + "ta/";
        ScanInstallation(sequential, ScanOptions{1, nullptr, false});

        for (int start = 0; start < 2; ++start) {
            RecordingServices window;
            ui::ForwardingServices forwarding(window);
            Session session(forwarding, temp.str(), temp.str());
            session.TADirectory = temp.str() + "ta/";
            ScanCacheCounts counts;
            {
                ui::BackgroundScan scan(session, forwarding,
                                        ScanOptions{2, nullptr, true, &counts});
                scan.start();
                scan.release();
                scan.finish();
            }
            QCOMPARE(counts.fromCache, start == 0 ? std::size_t(0) : std::size_t(4));
            QCOMPARE(test::DumpCatalogue(session.catalogue),
                     test::DumpCatalogue(sequential.catalogue));
            // Progress is coalesced: a quick scan may show none of it; what
            // must hold is that nothing is left shown or busy.
            QCOMPARE(window.busyDepth, 0);
            QVERIFY(window.messages.empty());
        }
    }

    void nothingIsShownOrAskedWhileHeld() {
        TempDir temp;
        WriteDemoInstallation(temp.str() + "ta");
        RecordingServices window;
        window.directoryAnswers = {temp.str() + "ta"};
        ui::ForwardingServices forwarding(window);
        Session session(forwarding, temp.str(), temp.str());
        ui::BackgroundScan scan(session, forwarding, 1);
        scan.start();
        runEventsFor(200);
        QVERIFY(window.messages.empty());
        QCOMPARE(window.count("pick directory"), 0);
        QCOMPARE(window.count("progress"), 0);

        scan.release();
        scan.finish();
        QCOMPARE(window.messages.size(), 1u);
        QCOMPARE(window.messages[0].text, std::string(kTADirectoryMissingMessage));
        QCOMPARE(window.count("pick directory"), 1);
        QCOMPARE(session.TADirectory, temp.str() + "ta/");
        QCOMPARE(session.catalogue.UnitList.Count(), std::size_t(10));
        // The progress window came and went once, with the bar fed sparingly.
        QCOMPARE(window.count("progress Scanning TA installation"), 1);
        QCOMPARE(window.count("progress hidden"), 1);
        QVERIFY(window.count("update ") <= 101);
    }

    void aCancelledPickerReachesTheWindowThread() {
        TempDir temp;
        RecordingServices window;
        ui::ForwardingServices forwarding(window);
        Session session(forwarding, temp.str(), temp.str());
        ui::BackgroundScan scan(session, forwarding, 1);
        scan.start();
        scan.release();
        QVERIFY_THROWS_EXCEPTION(TADirectoryNotFound, scan.finish());
        QCOMPARE(window.busyDepth, 0);
        QVERIFY(session.catalogue.UnitList.empty());
    }

  private:
    TempDir m_noPrefix;
};

QTEST_GUILESS_MAIN(BackgroundScanTest)
#include "BackgroundScanTest.moc"
