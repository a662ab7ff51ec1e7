#pragma once

// The main window brought up on a fresh copy of the demo installation, with
// the recording fake answering its dialogs and the scan on the test's thread.

#include <QAction>
#include <QTreeView>
#include <memory>

#include "app/DemoInstallation.h"
#include "app/Session.h"
#include "catalogue/ListRows.h"
#include "tests/support/RecordingServices.h"
#include "tests/support/TempDir.h"
#include "ui/FrmMain.h"
#include "ui/UnitListModel.h"
#include "ui/UnitTreeModel.h"

namespace kloxmere::test {

struct MainWindowFixture {
    TempDir temp;
    std::string ta = temp.str() + "ta/";
    std::string home = temp.str() + "home/";
    RecordingServices services;
    std::unique_ptr<Session> session;
    std::unique_ptr<ui::FrmMain> window;

    // `prepare` runs on the installation before the scan.
    template <class Prepare>
    explicit MainWindowFixture(Prepare&& prepare) {
        WriteDemoInstallation(ta);
        std::filesystem::create_directories(temp.path() / "home");
        prepare(*this);
        session = std::make_unique<Session>(services, home, temp.str());
        session->TADirectory = ta;
        ui::StartupOptions options;
        options.splash = false;
        options.scanThreads = 1;
        window = std::make_unique<ui::FrmMain>(*session, options);
        started = window->Form_Load() == ui::FrmMain::StartResult::Shown;
    }
    MainWindowFixture() : MainWindowFixture([](MainWindowFixture&) {}) {}

    bool started = false;

    Catalogue& catalogue() const { return session->catalogue; }
    ui::UnitListModel& list() const { return window->listModel(); }

    // The first column of every row of the list.
    QStringList names() const {
        QStringList texts;
        for (int row = 0; row < list().rowCount(); ++row) {
            texts << list().index(row, 0).data().toString();
        }
        return texts;
    }
    QStringList column(int c) const {
        QStringList texts;
        for (int row = 0; row < list().rowCount(); ++row) {
            texts << list().index(row, c).data().toString();
        }
        return texts;
    }

    // Selects the tree node of `key` as a click would.
    void clickNode(const std::string& key) const {
        const auto& nodes = window->treeModel().nodes();
        for (std::size_t i = 0; i < nodes.size(); ++i) {
            if (nodes[i].key == key) {
                window->TreeUnits->setCurrentIndex(window->treeModel().indexOfNode(i));
                window->TreeUnits_Click();
                return;
            }
        }
    }
};

}  // namespace kloxmere::test
