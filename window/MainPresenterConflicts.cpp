// The main window's tools for acting on conflicts: the filter above the list,
// the selected Conflicts row's partners below it, the commands that resolve a
// conflict (the list's context menu and the Units menu's Conflict submenu),
// and the preview shown before a schema is imported.

#include <unordered_set>

#include "app/Session.h"
#include "archive/clsHPI.h"
#include "base/BusyPointer.h"
#include "base/TextCase.h"
#include "catalogue/ConflictPartners.h"
#include "catalogue/Enabling.h"
#include "catalogue/ListRows.h"
#include "catalogue/SchemaDiff.h"
#include "units/clsMenuEntry.h"
#include "units/clsUnit.h"
#include "units/clsUnitArchive.h"
#include "units/modGeneric.h"
#include "window/MainPresenter.h"

namespace kloxmere::window {

namespace {

// A menu of partners lists this many of each kind; a weapon number shared by
// hundreds of units would otherwise fill the screen.
constexpr std::size_t kMostPartnerCommands = 10;

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

void MainPresenter::FilterChanged(const std::string& text) {
    applyFilter(text);
}

void MainPresenter::applyFilter(const std::string& text) {
    if (!m_list.changesFilter(text)) return;
    BusyPointer busy(m_session.services);
    m_view.ListChanging(ListChange::Reset);
    m_list.setFilter(text);
    m_view.ListChanged(ListChange::Reset, m_list.rowCount());
    listReset();
}

void MainPresenter::showFilterStatus() {
    m_view.SetStatusText(StatusPanel::Message,
                         m_list.filtered()
                             ? FilteredRowsText(m_list.rowCount(), m_list.totalCount())
                             : std::string("Ready"));
}

void MainPresenter::showPartners() {
    if (m_session.view.CurrentTab != kConflictsTab) return;
    const std::optional<std::size_t> row = m_view.CurrentListRow();
    const ListItem* item = row ? m_list.item(*row) : nullptr;
    m_view.ShowPartners(item ? &m_session.catalogue : nullptr, item);
}

// "Disable <archive of the other unit>", "Disable <this row's archive>",
// "Show <other unit> in Units", for the current Conflicts row. A build-menu
// conflict's row stands for its first entry, the other entry being the
// partner; its archives are switched through a unit they hold.
std::vector<MenuCommand> MainPresenter::ConflictCommands() {
    const Catalogue& catalogue = m_session.catalogue;
    const std::optional<std::size_t> row =
        m_session.view.CurrentTab == kConflictsTab ? m_view.CurrentListRow() : std::nullopt;
    const ListItem* item = row ? m_list.item(*row) : nullptr;
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
    std::vector<MenuCommand> commands;
    if (!item || (!own.archive && others.empty())) {
        commands.push_back({"No conflict selected", false, {}});
        return commands;
    }

    auto addDisable = [this, &commands](const Target& target) {
        MenuCommand command{"Disable " + ArchiveName(target.archive),
                            target.through && target.archive->Enabled(),
                            {}};
        clsUnit* through = target.through;
        if (command.enabled) command.run = [this, through] { disableArchiveOf(*through); };
        commands.push_back(std::move(command));
    };
    std::unordered_set<const clsHPI*> offered{own.archive};
    std::size_t count = 0;
    for (const Target& other : others) {
        if (!other.archive || !offered.insert(other.archive).second) continue;
        if (++count > kMostPartnerCommands) break;
        addDisable(other);
    }
    if (own.archive) addDisable(own);
    commands.push_back({"", false, {}});
    std::unordered_set<const clsUnit*> listed;
    count = 0;
    for (clsUnit* unit : shown) {
        std::string key = catalogue.UnitKey(*unit);
        if (key.empty() || !listed.insert(unit).second) continue;
        if (++count > kMostPartnerCommands) break;
        commands.push_back(
            {"Show " + unit->Name + " in Units", true, [this, key] { ShowInUnits(key); }});
    }
    return commands;
}

// The same switching as the Disable Unit command, refusals reported alike.
void MainPresenter::disableArchiveOf(clsUnit& unit) {
    RenameReport report = SetUnitEnabled(unit, false);
    DisplayCurrentUnit();
    RefreshListState();
    showPartners();
    reportRefusedRenames(report);
}

void MainPresenter::ShowInUnits(const std::string& key) {
    clsUnit* const* found = m_session.catalogue.UnitList.Find(key);
    if (!found) return;
    const clsUnit* wanted = *found;
    if (m_session.view.CurrentTab != kUnitsTab) {
        m_view.SelectTab(kUnitsTab);
        if (m_session.view.CurrentTab != kUnitsTab) TabSelected(kUnitsTab);
    }
    for (std::size_t i = 0; i < m_treeNodes.size(); ++i) {
        if (m_treeNodes[i].key == kUnitsRootKey) {
            m_view.SelectTreeNode(i);
            TreeNodeSelected();
            break;
        }
    }
    // The filter or a view switch may hide the unit; they give way to the request.
    std::optional<std::size_t> row = m_list.rowOfUnit(wanted);
    if (!row && m_list.filtered()) {
        m_view.SetFilterText("");
        applyFilter("");
        row = m_list.rowOfUnit(wanted);
    }
    if (!row && !(m_session.view.ShowCavedog && m_session.view.ShowThirdParty)) {
        if (!m_session.view.ShowCavedog) setViewSwitch(true, true);
        if (!m_session.view.ShowThirdParty) setViewSwitch(false, true);
        row = m_list.rowOfUnit(wanted);
    }
    if (!row) return;
    m_view.SelectListRow(*row);
}

bool MainPresenter::previewSchema(const std::string& path) {
    SchemaDiff diff;
    {
        BusyPointer busy(m_session.services);
        diff = DiffSchemaFile(m_session.catalogue, path);
    }
    if (!diff.read) {
        m_session.services.ShowMessage(
            "The schema '" + FileTitle(path) + "' could not be read: " + diff.problem,
            kApplicationTitle, MessageIcon::Exclamation);
        return false;
    }
    return m_view.PreviewSchema(FileTitle(path), diff) && !diff.changesNothing();
}

}  // namespace kloxmere::window
