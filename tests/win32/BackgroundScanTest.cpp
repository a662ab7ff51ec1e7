// The scan on a worker thread: what the worker asks runs on the window
// thread, progress arrives coalesced, and the catalogue is the one a scan on
// the window thread makes.

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <thread>

#include "app/DemoInstallation.h"
#include "app/ScanInstallation.h"
#include "app/Session.h"
#include "catalogue/Catalogue.h"
#include "tests/support/RecordingServices.h"
#include "tests/support/TempDir.h"
#include "win32/BackgroundScan.h"

namespace kloxmere::win32 {
namespace {

// Records on which thread each message was shown.
class ThreadRecordingServices final : public test::RecordingServices {
  public:
    DWORD messageThread = 0;
    void ShowMessage(const std::string& text, const std::string& title, MessageIcon icon) override {
        messageThread = GetCurrentThreadId();
        RecordingServices::ShowMessage(text, title, icon);
    }
};

void pumpUntil(const std::atomic<bool>& done) {
    while (!done) {
        MSG message{};
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
        Sleep(1);
    }
}

TEST(WorkerServices, QuestionsRunOnTheWindowThreadAndWaitWhileHeld) {
    ThreadRecordingServices window;
    window.inputAnswers = {"typed"};
    WorkerServices worker(window);
    worker.Hold();
    std::atomic<bool> done = false;
    std::string answer;
    std::thread asking([&] {
        worker.ShowProgress("Loading");
        for (int i = 1; i <= 500; ++i) worker.Update(i, 500);
        worker.ShowMessage("hello", "Kloxmere", MessageIcon::Information);
        answer = worker.InputBox("Name?", "Title");
        done = true;
    });
    // Held: nothing reaches the window however long it waits.
    for (int i = 0; i < 20; ++i) {
        MSG message{};
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
        Sleep(2);
    }
    EXPECT_TRUE(window.messages.empty());
    EXPECT_FALSE(done);
    worker.Release();
    pumpUntil(done);
    asking.join();
    EXPECT_EQ(answer, "typed");
    ASSERT_EQ(window.messages.size(), 1u);
    EXPECT_EQ(window.messageThread, GetCurrentThreadId());
    // The progress shown before the message; 500 updates arrive as far fewer.
    ASSERT_GE(window.calls.size(), 3u);
    EXPECT_EQ(window.calls.front(), "progress Loading");
    std::size_t updates = 0;
    for (const std::string& call : window.calls) updates += call.rfind("update ", 0) == 0;
    EXPECT_GE(updates, 1u);
    EXPECT_LT(updates, 500u);
}

TEST(WorkerServices, ABurstOfProgressIsPacedAndEndsOnItsLastState) {
    // A scan sets a status per unit: the window thread shows no more than
    // one per pacing interval, and the last one once the interval is over.
    test::RecordingServices window;
    WorkerServices worker(window);
    worker.Release();
    std::atomic<bool> done = false;
    const DWORD start = GetTickCount();
    std::thread scanning([&] {
        worker.ShowProgress("Scanning");
        for (int i = 0; i < 3000; ++i) {
            worker.SetProgressStatus("Finding units... UNIT" + std::to_string(i));
            if (i % 100 == 0) Sleep(5);
        }
        done = true;
    });
    pumpUntil(done);
    scanning.join();
    for (DWORD waited = GetTickCount(); GetTickCount() - waited < 200;) {
        MSG message{};
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
        Sleep(1);
    }
    const DWORD elapsed = GetTickCount() - start;
    ASSERT_FALSE(window.statuses.empty());
    EXPECT_EQ(window.statuses.back(), "Finding units... UNIT2999");
    EXPECT_LE(window.statuses.size(), elapsed / window::ProgressPacing::kInterval.count() + 2)
        << window.statuses.size() << " statuses in " << elapsed << " ms";
}

TEST(RunScanInBackground, MakesTheCatalogueTheWindowThreadWouldMake) {
    test::TempDir temp;
    WriteDemoInstallation(temp.file("demo"));
    test::RecordingServices window;
    ForwardingServices forwarding(window);
    Session background(forwarding, temp.str(), temp.str());
    background.TADirectory = temp.file("demo") + "\\";
    bool splashShown = false;
    RunScanInBackground(background, forwarding, ScanOptions{2, nullptr},
                        [&] { splashShown = true; });
    EXPECT_TRUE(splashShown);
    EXPECT_EQ(&forwarding.target(), &window);  // the door is the window's again

    test::RecordingServices direct;
    Session here(direct, temp.str(), temp.str());
    here.TADirectory = background.TADirectory;
    ScanInstallation(here, ScanOptions{1, nullptr});
    ASSERT_EQ(background.catalogue.UnitList.Count(), here.catalogue.UnitList.Count());
    for (std::size_t i = 1; i <= here.catalogue.UnitList.Count(); ++i) {
        EXPECT_EQ(background.catalogue.UnitList.Item(i)->Name,
                  here.catalogue.UnitList.Item(i)->Name);
    }
    EXPECT_EQ(background.catalogue.MenuConflictList.size(), here.catalogue.MenuConflictList.size());
}

}  // namespace
}  // namespace kloxmere::win32
