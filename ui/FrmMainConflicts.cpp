// The main window's tools for acting on conflicts: the filter above the list,
// the selected Conflicts row's partners below it, the commands that resolve a
// conflict (the list's context menu and the Units menu's Conflict submenu),
// and the preview shown before a schema is imported.

#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QShortcut>
#include <QTabBar>
#include <QTreeView>
#include <algorithm>
#include <unordered_set>

#include "app/Session.h"
#include "archive/clsHPI.h"
#include "base/BusyPointer.h"
#include "base/TextCase.h"
#include "catalogue/ConflictPartners.h"
#include "catalogue/Enabling.h"
#include "catalogue/ListRows.h"
#include "catalogue/SchemaDiff.h"
#include "catalogue/UnitTree.h"
#include "ui/ConflictPartnersPanel.h"
#include "ui/FilterBox.h"
#include "ui/FrmMain.h"
#include "ui/FrmSchemaPreview.h"
#include "ui/Twips.h"
#include "ui/UnitListModel.h"
#include "ui/UnitTreeModel.h"
#include "units/clsMenuEntry.h"
#include "units/clsUnit.h"
#include "units/clsUnitArchive.h"
#include "units/modGeneric.h"

namespace kloxmere::ui {

namespace {

// A menu of partners lists this many of each kind; a weapon number shared by
// hundreds of units would otherwise fill the screen.
constexpr std::size_t kMostPartnerCommands = 10;

QString text(const std::string& value) {
    return QString::fromStdString(value);
}

// A unit of the archive `archive` among the catalogued archives, through
// which the archive is switched as Disable Unit switches it; nullptr when the
// archive holds no unit.
clsUnit* unitOfArchive(const Catalogue& catalogue, const clsHPI* archive) {
    if (!archive) return nullptr;
    for (const clsUnitArchive* record : catalogue.ArchiveList) {
        if (record->HPI.get() == archive && !record->Units.empty())
            return record->Units.front().get();
    }
    return nullptr;
}

// The unit of UnitList named `name` (the first of that name), or nullptr.
clsUnit* unitNamed(const Catalogue& catalogue, const std::string& name) {
    for (clsUnit* unit : catalogue.UnitList) {
        if (EqualsNoCase(unit->Name, name)) return unit;
    }
    return nullptr;
}

}  // namespace

void FrmMain::buildConflictTools() {
    TxtFilter = new FilterBox(m_inner);
    PicPartners = new ConflictPartnersPanel(m_inner);
    PicPartners->hide();
    setTabOrder(TabView, TxtFilter);
    setTabOrder(TxtFilter, ListUnits);

    connect(TxtFilter, &QLineEdit::textChanged, this, &FrmMain::applyFilter);
    auto* find = new QShortcut(QKeySequence::Find, this);
    connect(find, &QShortcut::activated, this, [this] {
        TxtFilter->setFocus(Qt::ShortcutFocusReason);
        TxtFilter->selectAll();
    });
    connect(m_listModel, &QAbstractItemModel::modelReset, this, [this] {
        showFilterStatus();
        showPartners();
    });
    connect(ListUnits->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &FrmMain::showPartners);
    connect(TabView, &QTabBar::currentChanged, this, &FrmMain::placeListExtras);

    ListUnits->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ListUnits, &QWidget::customContextMenuRequested, this, &FrmMain::ListUnits_ContextMenu);
    mnuEdit->addSeparator()->setObjectName("mnuUnitsBreak3");
    mnuUnitsConflict = mnuEdit->addMenu("&Conflict");
    mnuUnitsConflict->setObjectName("mnuUnitsConflict");
    connect(mnuUnitsConflict, &QMenu::aboutToShow, this, [this] {
        mnuUnitsConflict->clear();
        fillConflictCommands(mnuUnitsConflict);
    });
}

// The filter takes the top of the list's place, and on the Conflicts tab the
// partners panel its bottom, beside the unit panel's weapons.
void FrmMain::placeListExtras() {
    const TwipsBox& list = m_layout.ListUnits;
    if (list.width <= 0 || list.height <= 0) return;
    QRect box = TwipsRect(list.left, list.top, list.width, list.height);
    const int filterHeight = std::min(TxtFilter->sizeHint().height(), box.height() / 2);
    TxtFilter->setGeometry(box.x(), box.y(), box.width(), filterHeight);
    box.setTop(box.top() + filterHeight + 2);

    const bool conflicts = TabView->currentIndex() == kConflictsTab;
    if (conflicts) {
        const int height = std::clamp(box.height() / 3, std::min(ToPixels(1800), box.height() / 2),
                                      std::max(ToPixels(3300), box.height() / 3));
        PicPartners->setGeometry(box.x(), box.bottom() - height + 1, box.width(), height);
        box.setBottom(box.bottom() - height - 2);
    }
    PicPartners->setVisible(conflicts);
    ListUnits->setGeometry(box);
}

void FrmMain::applyFilter() {
    BusyPointer busy(m_session.services);
    m_listModel->setFilter(TxtFilter->text().toStdString());
}

void FrmMain::showFilterStatus() {
    StatusPanel1->setText(m_listModel->filtered()
                              ? FilteredRowsText(static_cast<std::size_t>(m_listModel->rowCount()),
                                                 m_listModel->totalCount())
                              : QString("Ready"));
}

void FrmMain::showPartners() {
    if (m_session.view.CurrentTab != kConflictsTab) return;
    const ListItem* item = m_listModel->item(ListUnits->currentIndex().row());
    PicPartners->showItem(item ? &m_session.catalogue : nullptr, item);
}

void FrmMain::ListUnits_ContextMenu(const QPoint& position) {
    if (m_session.view.CurrentTab != kConflictsTab) return;
    const QModelIndex index = ListUnits->indexAt(position);
    if (!index.isValid()) return;
    ListUnits->setCurrentIndex(index);
    QMenu menu(this);
    menu.setObjectName("ConflictMenu");
    fillConflictCommands(&menu);
    menu.exec(ListUnits->viewport()->mapToGlobal(position));
}

// "Disable <archive of the other unit>", "Disable <this row's archive>",
// "Show <other unit> in Units", for the current Conflicts row. A build-menu
// conflict's row stands for its first entry, the other entry being the
// partner; its archives are switched through a unit they hold.
void FrmMain::fillConflictCommands(QMenu* menu) {
    const Catalogue& catalogue = m_session.catalogue;
    const ListItem* item = m_session.view.CurrentTab == kConflictsTab
                               ? m_listModel->item(ListUnits->currentIndex().row())
                               : nullptr;
    struct Target {
        const clsHPI* archive;
        clsUnit* through;  // the unit whose archive is switched
    };
    std::vector<Target> others;
    Target own{nullptr, nullptr};
    std::vector<clsUnit*> shown;

    if (item && item->kind == ListItemKind::Unit) {
        clsUnit* unit = catalogue.UnitList.Item(item->position);
        own = {unit->HPI, unit};
        for (const WeaponConflictPartner& partner : FindWeaponConflictPartners(*unit)) {
            others.push_back({partner.unit->HPI, partner.unit});
            shown.push_back(partner.unit);
        }
    } else if (item && item->kind == ListItemKind::MenuConflict) {
        const MenuConflict& conflict = catalogue.MenuConflictList.at(item->position - 1);
        const MenuEntryArchives archives(catalogue);
        const clsHPI* first = archives.archiveOf(*conflict.first);
        const clsHPI* second = archives.archiveOf(*conflict.second);
        own = {first, unitOfArchive(catalogue, first)};
        others.push_back({second, unitOfArchive(catalogue, second)});
        for (const clsMenuEntry* entry : {conflict.second, conflict.first}) {
            if (clsUnit* unit = unitNamed(catalogue, entry->Unit)) shown.push_back(unit);
        }
    }
    if (!item || (!own.archive && others.empty())) {
        menu->addAction("No conflict selected")->setEnabled(false);
        return;
    }

    auto addDisable = [this, menu](const Target& target) {
        QAction* action = menu->addAction("Disable " + text(ArchiveName(target.archive)));
        action->setEnabled(target.through && target.archive->Enabled());
        clsUnit* through = target.through;
        connect(action, &QAction::triggered, this, [this, through] { disableArchiveOf(*through); });
    };
    std::unordered_set<const clsHPI*> offered{own.archive};
    std::size_t count = 0;
    for (const Target& other : others) {
        if (!other.archive || !offered.insert(other.archive).second) continue;
        if (++count > kMostPartnerCommands) break;
        addDisable(other);
    }
    if (own.archive) addDisable(own);
    menu->addSeparator();
    std::unordered_set<const clsUnit*> listed;
    count = 0;
    for (clsUnit* unit : shown) {
        std::string key = catalogue.UnitKey(*unit);
        if (key.empty() || !listed.insert(unit).second) continue;
        if (++count > kMostPartnerCommands) break;
        QAction* action = menu->addAction("Show " + text(unit->Name) + " in Units");
        connect(action, &QAction::triggered, this, [this, key] { showInUnits(key); });
    }
}

// The same switching as the Disable Unit command, refusals reported alike.
void FrmMain::disableArchiveOf(clsUnit& unit) {
    RenameReport report = SetUnitEnabled(unit, false);
    DisplayCurrentUnit();
    RefreshListState();
    showPartners();
    reportRefusedRenames(report);
}

void FrmMain::showInUnits(const std::string& key) {
    clsUnit* const* found = m_session.catalogue.UnitList.Find(key);
    if (!found) return;
    const clsUnit* wanted = *found;
    if (TabView->currentIndex() != kUnitsTab) TabView->setCurrentIndex(kUnitsTab);
    const auto& nodes = m_treeModel->nodes();
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        if (nodes[i].key == kUnitsRootKey) {
            TreeUnits->setCurrentIndex(m_treeModel->indexOfNode(i));
            break;
        }
    }
    auto findRow = [this, wanted]() -> int {
        const auto& items = m_listModel->items();
        for (std::size_t row = 0; row < items.size(); ++row) {
            if (ItemUnit(m_session.catalogue, items[row]) == wanted) return static_cast<int>(row);
        }
        return -1;
    };
    // The filter or a view switch may hide the unit; they give way to the request.
    int row = findRow();
    if (row < 0 && m_listModel->filtered()) {
        TxtFilter->clear();
        row = findRow();
    }
    if (row < 0 && !(m_session.view.ShowCavedog && m_session.view.ShowThirdParty)) {
        if (!m_session.view.ShowCavedog) setViewSwitch(true, true);
        if (!m_session.view.ShowThirdParty) setViewSwitch(false, true);
        row = findRow();
    }
    if (row < 0) return;
    const QModelIndex index = m_listModel->index(row, 0);
    ListUnits->setCurrentIndex(index);
    ListUnits->scrollTo(index, QAbstractItemView::PositionAtCenter);
    ListUnits->setFocus(Qt::OtherFocusReason);
}

bool FrmMain::previewSchema(const std::string& path) {
    SchemaDiff diff;
    {
        BusyPointer busy(m_session.services);
        diff = DiffSchemaFile(m_session.catalogue, path);
    }
    const QString name = text(FileTitle(path));
    if (!diff.read) {
        m_session.services.ShowMessage(
            "The schema '" + FileTitle(path) + "' could not be read: " + diff.problem,
            kApplicationTitle, MessageIcon::Exclamation);
        return false;
    }
    FrmSchemaPreview preview(name, diff, this);
    return preview.exec() == QDialog::Accepted && !diff.changesNothing();
}

}  // namespace kloxmere::ui
