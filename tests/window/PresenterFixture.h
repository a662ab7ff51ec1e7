#pragma once

// The presenter brought up on a fresh copy of the demo installation, with
// the recording fakes for the view and the user, the scan on the test's thread.

#include <filesystem>
#include <memory>
#include <string>

#include "app/DemoInstallation.h"
#include "app/Session.h"
#include "tests/support/RecordingServices.h"
#include "tests/support/TempDir.h"
#include "tests/window/RecordingMainView.h"
#include "window/MainPresenter.h"

namespace kloxmere::test {

// A path as the switch journal writes it: "\\" for a backslash.
inline std::string Journalled(const std::string& path) {
    std::string out;
    for (char c : path) out += c == '\\' ? std::string("\\\\") : std::string(1, c);
    return out;
}

struct PresenterFixture {
    TempDir temp;
    std::string ta = temp.str() + "ta/";
    std::string home = temp.str() + "home/";
    RecordingServices services;
    RecordingMainView view;
    std::unique_ptr<Session> session;
    std::unique_ptr<window::MainPresenter> presenter;
    window::MainPresenter::StartResult started{};
    window::StartupOptions options;

    // `prepare` runs on the installation and the fixture (its options too)
    // before the start.
    template <class Prepare>
    explicit PresenterFixture(Prepare&& prepare, window::StartupOptions given = {})
        : options(std::move(given)) {
        WriteDemoInstallation(ta);
        std::filesystem::create_directories(temp.path() / "home");
        session = std::make_unique<Session>(services, home, temp.str());
        session->TADirectory = ta;
        prepare(*this);
        options.splash = false;
        options.scanThreads = 1;
        presenter = std::make_unique<window::MainPresenter>(*session, view, options);
        started = presenter->Start();
    }
    PresenterFixture() : PresenterFixture([](PresenterFixture&) {}) {}

    Catalogue& catalogue() const { return session->catalogue; }
    const window::ListContents& list() const { return presenter->list(); }

    // The column `c` of every row shown.
    std::vector<std::string> column(std::size_t c) const {
        std::vector<std::string> texts;
        for (std::size_t row = 0; row < list().rowCount(); ++row)
            texts.push_back(list().cellText(row, c));
        return texts;
    }
    std::vector<std::string> names() const { return column(0); }

    void clickNode(const std::string& key) {
        if (auto position = view.nodeOf(key)) view.clickNode(*presenter, *position);
    }
    void clickTab(std::int32_t tab) {
        view.tab = tab;
        presenter->TabSelected(tab);
    }
    std::optional<std::size_t> rowNamed(const std::string& name) const {
        const auto texts = names();
        for (std::size_t row = 0; row < texts.size(); ++row) {
            if (texts[row] == name) return row;
        }
        return std::nullopt;
    }
};

}  // namespace kloxmere::test
