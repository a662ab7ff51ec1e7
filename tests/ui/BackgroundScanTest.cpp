// The scan behind the splash window: the same catalogue as a scan on the
// window thread, and nothing shown or asked until the window lets it.

#include <QElapsedTimer>
#include <QtTest>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

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

    void aBurstOfProgressIsPacedAndEndsOnItsLastState() {
        // A scan sets a status per unit: the window thread shows some of
        // them, no more than one per pacing interval, and always the last.
        RecordingServices window;
        QObject context;
        ui::BackgroundServices services(window, context);
        services.release();
        QElapsedTimer clock;
        clock.start();
        std::thread worker([&] {
            services.ShowProgress("Scanning");
            for (int i = 0; i < 3000; ++i) {
                services.SetProgressStatus("Finding units... UNIT" + std::to_string(i));
                if (i % 100 == 0) std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
        });
        while (!window.statuses.empty() || clock.elapsed() < 50) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            if (!window.statuses.empty() && window.statuses.back() == "Finding units... UNIT2999")
                break;
            if (clock.elapsed() > 5000) break;
        }
        worker.join();
        runEventsFor(100);  // a change still waiting for its interval
        const auto elapsed = clock.elapsed();
        QVERIFY(!window.statuses.empty());
        QCOMPARE(window.statuses.back(), std::string("Finding units... UNIT2999"));
        const auto most =
            static_cast<std::size_t>(elapsed / window::ProgressPacing::kInterval.count() + 2);
        QVERIFY2(window.statuses.size() <= most, (std::to_string(window.statuses.size()) +
                                                  " statuses in " + std::to_string(elapsed) + " ms")
                                                     .c_str());
    }

  private:
    TempDir m_noPrefix;
};

QTEST_GUILESS_MAIN(BackgroundScanTest)
#include "BackgroundScanTest.moc"
