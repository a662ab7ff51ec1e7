// The directory picker: what OK returns at a root and below it, creating a
// directory, cancelling, and a drive that cannot be read.

#include <unistd.h>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <memory>

#include "tests/support/RecordingServices.h"
#include "ui/FrmDirectory.h"
#include "ui/QtPlatformServices.h"

using kloxmere::test::RecordingServices;
using kloxmere::ui::DirectoryList;
using kloxmere::ui::DriveEntry;
using kloxmere::ui::DriveIndexFor;
using kloxmere::ui::FrmDirectory;

namespace {

// The list entry showing `name`, or nullptr.
QTreeWidgetItem* entry(DirectoryList* list, const QString& name) {
    const auto found = list->findItems(name, Qt::MatchExactly | Qt::MatchRecursive);
    return found.isEmpty() ? nullptr : found.front();
}

void doubleClick(DirectoryList* list, QTreeWidgetItem* item) {
    QRect rect = list->visualItemRect(item);
    // A real double click is a click followed by the double-click event.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, rect.center());
}

}  // namespace

class FrmDirectoryTest : public QObject {
    Q_OBJECT
  private slots:
    void init() {
        m_scratch = std::make_unique<QTemporaryDir>();
        QVERIFY(m_scratch->isValid());
        m_root = QDir::cleanPath(m_scratch->path());
        QVERIFY(QDir(m_root).mkpath("TA/maps"));
        QVERIFY(QDir(m_root).mkdir("Games"));
    }
    void cleanup() {
        QFile::setPermissions(m_root + "/Locked",
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        m_scratch.reset();
    }

    void okAtARootKeepsItAndBelowItAppendsTheSeparator() {
        RecordingServices services;
        FrmDirectory atRoot(services, nullptr, "/", {{"/", "/"}});
        QCOMPARE(atRoot.SelectedDirectory(), std::string());
        QCOMPARE(atRoot.LblPath->text(), QString("/"));
        atRoot.CmdOk->click();
        QCOMPARE(atRoot.SelectedDirectory(), std::string("/"));
        QCOMPARE(atRoot.result(), int(QDialog::Accepted));

        FrmDirectory below(services, nullptr, m_root, {{"/", "/"}});
        below.show();
        QCOMPARE(below.LblPath->text(), m_root);
        // A highlight does not open the directory; a double click does.
        below.Dir->setCurrentItem(entry(below.Dir, "TA"));
        QCOMPARE(below.LblPath->text(), m_root);
        doubleClick(below.Dir, entry(below.Dir, "TA"));
        QCOMPARE(below.LblPath->text(), m_root + "/TA");
        QVERIFY(entry(below.Dir, "maps"));
        QVERIFY(!entry(below.Dir, "Games"));  // siblings are not listed
        // Enter in the list opens the highlighted entry and does not press OK.
        below.Dir->setFocus();
        below.Dir->setCurrentItem(entry(below.Dir, "maps"));
        QTest::keyClick(below.Dir, Qt::Key_Return);
        QVERIFY(below.isVisible());
        QCOMPARE(below.LblPath->text(), m_root + "/TA/maps");
        // Opening an ancestor goes back up.
        doubleClick(below.Dir, entry(below.Dir, "TA"));
        below.CmdOk->click();
        QCOMPARE(below.SelectedDirectory(), (m_root + "/TA/").toStdString());
    }

    void createAsksAndOpensTheNewDirectoryOrRefusesAPlainExistingOne() {
        RecordingServices services;
        FrmDirectory picker(services, nullptr, m_root, {{"/", "/"}});
        picker.show();

        services.inputAnswers = {"Games"};
        picker.CmdMakeDir->click();
        QCOMPARE(services.calls.front(),
                 std::string("input New Dir: Enter the name of a new directory"));
        QCOMPARE(services.messages.size(), std::size_t(1));
        QCOMPARE(services.messages[0].text, std::string("Directory already exists."));
        QCOMPARE(services.messages[0].title, std::string("Dir Error"));
        QCOMPARE(picker.LblPath->text(), m_root);
        QVERIFY(picker.isVisible());

        services.inputAnswers = {""};
        picker.CmdMakeDir->click();
        QCOMPARE(picker.LblPath->text(), m_root);

        services.inputAnswers = {"Mods"};
        picker.CmdMakeDir->click();
        QVERIFY(QFileInfo(m_root + "/Mods").isDir());
        QCOMPARE(picker.LblPath->text(), m_root + "/Mods");
        QVERIFY(picker.isVisible());

        // A directory that exists with another attribute (hidden here) is
        // opened without a message.
        QVERIFY(QDir(m_root).mkdir("Mods/.cache"));
        services.inputAnswers = {".cache"};
        picker.CmdMakeDir->click();
        QCOMPARE(picker.LblPath->text(), m_root + "/Mods/.cache");
        QCOMPARE(services.messages.size(), std::size_t(1));

        if (geteuid() != 0) {  // root may write anywhere: nothing is read-only then
            QVERIFY(QDir(m_root).mkdir("Locked"));
            QFile::setPermissions(m_root + "/Locked", QFile::ReadOwner | QFile::ExeOwner);
            doubleClick(picker.Dir, entry(picker.Dir, QDir(m_root).dirName()));
            services.inputAnswers = {"Locked"};
            picker.CmdMakeDir->click();
            QCOMPARE(picker.LblPath->text(), m_root + "/Locked");
            QCOMPARE(services.messages.size(), std::size_t(1));
        }

        // A name that cannot be made (a file is in the way) changes nothing.
        const QString here = picker.LblPath->text();
        QFile file(here + "/notes.txt");
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        services.inputAnswers = {"notes.txt"};
        picker.CmdMakeDir->click();
        QCOMPARE(picker.LblPath->text(), here);
    }

    void cancelAndTheCloseBoxLeaveTheResultEmpty() {
        RecordingServices services;
        FrmDirectory cancelled(services, nullptr, m_root, {{"/", "/"}});
        cancelled.show();
        cancelled.CmdCancel->click();
        QCOMPARE(cancelled.SelectedDirectory(), std::string());
        QCOMPARE(cancelled.result(), int(QDialog::Rejected));

        FrmDirectory closed(services, nullptr, m_root, {{"/", "/"}});
        closed.show();
        QVERIFY(closed.close());
        QCOMPARE(closed.SelectedDirectory(), std::string());

        FrmDirectory escaped(services, nullptr, m_root, {{"/", "/"}});
        escaped.show();
        QTest::keyClick(&escaped, Qt::Key_Escape);
        QVERIFY(!escaped.isVisible());
        QCOMPARE(escaped.SelectedDirectory(), std::string());
    }

    void drivesOpenTheirLastDirectoryAndAnUnreadableOneLeavesTheListUsable() {
        RecordingServices services;
        const QList<DriveEntry> drives{{"scratch", m_root + "/TA"},
                                       {"games", m_root + "/Games"},
                                       {"gone", m_root + "/no-such-drive"}};
        QCOMPARE(DriveIndexFor(drives, m_root + "/TA/maps"), 0);
        QCOMPARE(DriveIndexFor(drives, m_root + "/TAX"), -1);
        FrmDirectory picker(services, nullptr, m_root + "/TA/maps", drives);
        picker.show();
        QCOMPARE(picker.Drive->currentIndex(), 0);

        picker.Drive_Change(1);
        QCOMPARE(picker.LblPath->text(), m_root + "/Games");
        picker.Drive_Change(0);
        QCOMPARE(picker.LblPath->text(), m_root + "/TA/maps");

        picker.Drive->setCurrentIndex(2);
        picker.Drive_Change(2);
        QCOMPARE(services.messages.size(), std::size_t(1));
        QCOMPARE(picker.LblPath->text(), m_root + "/TA/maps");
        QCOMPARE(picker.Drive->currentIndex(), 0);
        doubleClick(picker.Dir, entry(picker.Dir, "TA"));
        QCOMPARE(picker.LblPath->text(), m_root + "/TA");
    }

    void theWindowServicesPickWithThisPicker() {
        kloxmere::ui::QtPlatformServices services;
        QTimer::singleShot(0, [] {
            auto* picker = qobject_cast<FrmDirectory*>(QApplication::activeModalWidget());
            QVERIFY(picker);
            QCOMPARE(picker->windowTitle(), QString("Select a directory"));
            picker->CmdOk->click();
        });
        std::string picked = services.PickDirectory();
        QCOMPARE(QString::fromStdString(picked), QDir::currentPath() + "/");
    }

  private:
    std::unique_ptr<QTemporaryDir> m_scratch;
    QString m_root;
};

QTEST_MAIN(FrmDirectoryTest)
#include "FrmDirectoryTest.moc"
