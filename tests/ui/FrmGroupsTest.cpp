// The group editor: its rules through its handlers, and the real dialog
// driven by the mouse.

#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

#include "catalogue/GroupEditing.h"
#include "catalogue/clsUnitGroup.h"
#include "tests/support/RecordingServices.h"
#include "ui/FrmGroups.h"
#include "ui/Twips.h"

using namespace kloxmere;
using kloxmere::test::RecordingServices;
using kloxmere::ui::FrmGroups;

namespace {

QStringList texts(const QListWidget* list) {
    QStringList all;
    for (int row = 0; row < list->count(); ++row) all << list->item(row)->text();
    return all;
}

QString selected(const QListWidget* list) {
    const auto items = list->selectedItems();
    return items.isEmpty() ? QString() : items.front()->text();
}

Collection<clsUnitGroup> groups(std::initializer_list<std::pair<const char*, QStringList>> list) {
    Collection<clsUnitGroup> all;
    for (const auto& [name, keywords] : list) {
        AddGroup(all, name);
        for (const QString& keyword : keywords) AddKeyword(*all.Find(name), keyword.toStdString());
    }
    return all;
}

}  // namespace

class FrmGroupsTest : public QObject {
    Q_OBJECT
  private slots:
    void opensOnTheFirstGroupAndFollowsTheSelection() {
        auto list = groups({{"Arm", {"arm", "ar"}}, {"Core", {"cor"}}});
        RecordingServices services;
        FrmGroups window(list, services);
        QCOMPARE(texts(window.LstGroups), (QStringList{"Arm", "Core"}));
        QCOMPARE(selected(window.LstGroups), QString("Arm"));
        QCOMPARE(texts(window.LstKeywords), (QStringList{"arm", "ar"}));
        window.LstGroups->setCurrentRow(1);
        QCOMPARE(texts(window.LstKeywords), QStringList{"cor"});
    }

    void addingAGroupKeepsTheSelectionOnTheFirstAndRefusesATakenName() {
        auto list = groups({{"arm", {}}});
        RecordingServices services;
        FrmGroups window(list, services);
        services.inputAnswers = {"Core", "Arm", "   ", ""};
        window.CmdAdd_Click();
        QCOMPARE(services.calls.back(),
                 std::string("input Add Group: Enter a name for the new group"));
        QCOMPARE(texts(window.LstGroups), (QStringList{"arm", "Core"}));
        QCOMPARE(selected(window.LstGroups), QString("arm"));
        window.CmdAdd_Click();  // Arm: taken by arm
        QCOMPARE(texts(window.LstGroups), (QStringList{"arm", "Core"}));
        window.CmdAdd_Click();  // blanks are a name like any other
        QCOMPARE(texts(window.LstGroups), (QStringList{"arm", "Core", "   "}));
        window.LstGroups->setCurrentRow(2);
        window.CmdAdd_Click();  // cancelled: nothing at all, not even a refresh
        QCOMPARE(selected(window.LstGroups), QString("   "));
        QCOMPARE(list.Count(), 3u);
    }

    void keywordsCompareWithoutCaseAndAnyOneCanBeDeleted() {
        auto list = groups({{"Core", {"core", "cor"}}});
        RecordingServices services;
        FrmGroups window(list, services);
        services.inputAnswers = {"CORE", "corx"};
        window.CmdAddKeyword_Click();
        QCOMPARE(services.calls.back(), std::string("input Filename keyword: Enter a new keyword"));
        QCOMPARE(texts(window.LstKeywords), (QStringList{"core", "cor"}));
        window.CmdAddKeyword_Click();
        QCOMPARE(texts(window.LstKeywords), (QStringList{"core", "cor", "corx"}));

        window.CmdDeleteKeyword_Click();  // no keyword selected: nothing
        QCOMPARE(list.Item(1).Keywords.Count(), 3u);
        window.LstKeywords->setCurrentRow(1);
        window.CmdDeleteKeyword_Click();
        QCOMPARE(texts(window.LstKeywords), (QStringList{"core", "corx"}));
        QCOMPARE(list.Item(1).Keywords.Item(2), std::string("corx"));
    }

    void deletingTheLastGroupLeavesNothingForTheKeywordCommands() {
        auto list = groups({{"Core", {"core"}}});
        RecordingServices services;
        FrmGroups window(list, services);
        window.CmdDelete_Click();
        QVERIFY(list.empty());
        QCOMPARE(window.LstGroups->count(), 0);
        QCOMPARE(window.LstKeywords->count(), 0);
        services.inputAnswers = {"core"};
        window.CmdAddKeyword_Click();
        window.CmdDeleteKeyword_Click();
        window.CmdDelete_Click();
        QVERIFY(list.empty());
        QCOMPARE(window.LstKeywords->count(), 0);
    }

    void namesAreKeptAsTheGroupsFileStoresThem() {
        Collection<clsUnitGroup> list;
        RecordingServices services;
        FrmGroups window(list, services);
        services.inputAnswers = {"Caf\xc3\xa9 \xe2\x86\x92 ARM", "Caf\xc3\xa9 ? arm"};
        window.CmdAdd_Click();
        window.CmdAdd_Click();  // the same name once stored: refused
        QCOMPARE(texts(window.LstGroups), QStringList{QString::fromUtf8("Caf\xc3\xa9 ? ARM")});
    }

    // A mouse press makes a row current before it selects it: the keywords
    // shown, and those the keyword commands act on, must be the selected
    // group's after every way of choosing a group.
    void theKeywordsAreTheSelectedGroupsByMouseAndKeyboard() {
        auto list = groups({{"Kbots", {"core", "arm"}}, {"Xtapack", {"xta"}}, {"Empty", {}}});
        RecordingServices services;
        FrmGroups window(list, services);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto click = [](QListWidget* widget, int row) {
            const QRect place = widget->visualItemRect(widget->item(row));
            QTest::mouseClick(widget->viewport(), Qt::LeftButton, {}, place.center());
        };

        window.LstGroups->setFocus();
        const std::pair<Qt::Key, QStringList> keys[] = {
            {Qt::Key_Down, {"xta"}},         {Qt::Key_End, {}},    {Qt::Key_Up, {"xta"}},
            {Qt::Key_Home, {"core", "arm"}}, {Qt::Key_X, {"xta"}},  // type-ahead
        };
        for (const auto& [key, keywords] : keys) {
            QTest::keyClick(window.LstGroups, key);
            QCOMPARE(texts(window.LstKeywords), keywords);
        }
        window.LstGroups->setCurrentRow(2);
        QCOMPARE(texts(window.LstKeywords), QStringList());

        click(window.LstGroups, 0);
        QCOMPARE(texts(window.LstKeywords), (QStringList{"core", "arm"}));
        click(window.LstGroups, 1);
        QCOMPARE(selected(window.LstGroups), QString("Xtapack"));
        QCOMPARE(texts(window.LstKeywords), QStringList{"xta"});
        // Deleting the keyword shown deletes that keyword of that group.
        click(window.LstKeywords, 0);
        QTest::mouseClick(window.CmdDeleteKeyword, Qt::LeftButton);
        QCOMPARE(list.Find("Xtapack")->Keywords.Count(), 0u);
        QCOMPARE(list.Find("Kbots")->Keywords.Count(), 2u);
        QCOMPARE(texts(window.LstKeywords), QStringList());
    }

    void theRealDialog() {
        auto list = groups({{"Arm", {"arm"}}});
        RecordingServices services;
        QWidget owner;
        owner.setGeometry(100, 100, 800, 600);
        owner.show();
        FrmGroups window(list, services, &owner);
        int unloads = 0;
        connect(&window, &FrmGroups::unloaded, [&] { ++unloads; });

        QCOMPARE(window.windowTitle(), QString("Edit Unit Groups"));
        QCOMPARE(window.size(), ui::TwipsRect(0, 0, 4785, 3930).size());
        QCOMPARE(window.minimumSize(), window.maximumSize());
        QVERIFY(!(window.windowFlags() & Qt::WindowMinMaxButtonsHint));
        QCOMPARE(window.Frame1->title(), QString("Groups"));
        QCOMPARE(window.Frame1->geometry(), ui::TwipsRect(180, 180, 4395, 3075));
        QCOMPARE(window.LstKeywords->geometry(), ui::TwipsRect(180, 2040, 3075, 840));
        QCOMPARE(window.CmdOK->geometry(), ui::TwipsRect(3540, 3420, 1035, 375));
        QCOMPARE(window.CmdOK->parentWidget(), &window);
        const QStringList captions{window.CmdAdd->text(),           window.CmdDelete->text(),
                                   window.Label1->text(),           window.CmdAddKeyword->text(),
                                   window.CmdDeleteKeyword->text(), window.CmdOK->text()};
        QCOMPARE(captions, (QStringList{"&Add...", "&Delete", "Filename keywords", "Add...",
                                        "Delete", "OK"}));
        QStringList order;
        QWidget* focus = window.LstGroups;
        for (int i = 0; i < 7; ++i, focus = focus->nextInFocusChain()) {
            while (focus->focusPolicy() == Qt::NoFocus) focus = focus->nextInFocusChain();
            order << focus->objectName();
        }
        QCOMPARE(order, (QStringList{"LstGroups", "CmdDelete", "CmdOK", "CmdAdd", "LstKeywords",
                                     "CmdAddKeyword", "CmdDeleteKeyword"}));

        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        // Centred on the owner, to the pixel that odd sizes leave.
        QVERIFY(
            (window.frameGeometry().center() - owner.frameGeometry().center()).manhattanLength() <=
            2);
        services.inputAnswers = {"Core"};
        QTest::mouseClick(window.CmdAdd, Qt::LeftButton);
        QCOMPARE(texts(window.LstGroups), (QStringList{"Arm", "Core"}));
        QTest::mouseClick(window.CmdDelete, Qt::LeftButton);
        QCOMPARE(texts(window.LstGroups), QStringList{"Core"});
        QCOMPARE(unloads, 0);
        window.close();  // the close box, as OK
        QCOMPARE(unloads, 1);
        QVERIFY(!window.isVisible());

        FrmGroups again(list, services, &owner);
        connect(&again, &FrmGroups::unloaded, [&] { ++unloads; });
        again.show();
        QVERIFY(QTest::qWaitForWindowExposed(&again));
        QTest::mouseClick(again.CmdOK, Qt::LeftButton);
        QCOMPARE(unloads, 2);
        QVERIFY(!again.isVisible());
    }
};

QTEST_MAIN(FrmGroupsTest)
#include "FrmGroupsTest.moc"
