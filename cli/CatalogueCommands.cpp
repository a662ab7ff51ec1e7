#include "cli/CatalogueCommands.h"

#include <CLI/CLI.hpp>
#include <chrono>
#include <iomanip>
#include <iostream>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <sstream>

#include "app/DemoInstallation.h"
#include "archive/clsHPI.h"
#include "base/TextCase.h"
#include "catalogue/ListFilter.h"
#include "catalogue/ListRows.h"
#include "catalogue/UnitTree.h"
#include "cli/CliSession.h"
#include "cli/CommandErrors.h"
#include "cli/ConflictCommands.h"
#include "cli/TextTable.h"
#include "units/modGeneric.h"

namespace kloxmere::cli {

namespace {

using Json = nlohmann::ordered_json;

std::string iconName(int icon) {
    switch (icon) {
        case kIconConflict:
            return "conflict";
        case kIconDisabled:
            return "disabled";
        default:
            return "normal";
    }
}

std::string conflictName(int state) {
    switch (state) {
        case -1:
            return "conflicts with enabled units";
        case 2:
            return "conflicts with disabled units only";
        default:
            return "none";
    }
}

Json nullable(const std::optional<std::string>& text) {
    return text ? Json(*text) : Json(nullptr);
}

}  // namespace

int TabIndex(const std::string& tab) {
    if (tab == "units") return kUnitsTab;
    if (tab == "conflicts") return kConflictsTab;
    if (tab == "weapons") return kWeaponsTab;
    if (tab == "available") return kAvailableWeaponsTab;
    throw UsageError("unknown tab '" + tab + "' (units, conflicts, weapons or available)");
}

void SelectNode(CliRun& run, const std::string& key) {
    if (key.empty()) return;  // the view starts on the units root
    auto node = FindTreeNode(FillUnitTree(run.session.catalogue), key);
    if (!node) throw CommandError("no tree node '" + key + "' (see kloxmere-cli tree)");
    run.session.view.selectedNode = *node;
}

clsUnit& FindUnit(Catalogue& catalogue, const std::string& key) {
    if (clsUnit** unit = catalogue.UnitList.Find(key)) return **unit;
    clsUnit* found = nullptr;
    std::vector<std::string> keys;
    for (std::size_t i = 1; i <= catalogue.UnitList.Count(); ++i) {
        clsUnit* unit = catalogue.UnitList.Item(i);
        if (!EqualsNoCase(unit->Name, key)) continue;
        found = unit;
        keys.push_back(std::string(*catalogue.UnitList.KeyAt(i)));
    }
    if (keys.size() == 1) return *found;
    if (keys.empty()) throw CommandError("no unit '" + key + "'");
    std::string choices;
    for (const auto& k : keys) choices += (choices.empty() ? "" : ", ") + k;
    throw CommandError("several units are named '" + key + "'; give a key: " + choices);
}

void ScanCommand(CliRun& run, bool json, std::ostream& out) {
    auto start = std::chrono::steady_clock::now();
    run.scan();
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const Catalogue& c = run.session.catalogue;
    std::size_t conflicting = 0;
    for (const clsUnit* unit : c.UnitList) conflicting += unit->Conflict() != 0 ? 1 : 0;
    const std::pair<const char*, std::size_t> counts[] = {
        {"archives", c.ArchiveList.Count()},       {"units", c.UnitList.Count()},
        {"weapons", c.WeaponList.Count()},         {"menuEntries", c.MenuEntryList.Count()},
        {"unitsWithWeaponConflicts", conflicting}, {"menuConflicts", c.MenuConflictList.size()},
    };
    if (json) {
        Json result = {{"taDirectory", run.session.TADirectory}};
        for (const auto& [name, count] : counts) result[name] = count;
        result["seconds"] = seconds;
        out << result.dump(2) << '\n';
        return;
    }
    const char* labels[] = {"Archives",
                            "Units",
                            "Weapons",
                            "Build-menu entries",
                            "Units with weapon conflicts",
                            "Build-menu conflicts"};
    out << "Scanned " << run.session.TADirectory << " in " << std::fixed << std::setprecision(3)
        << seconds << " s\n";
    for (std::size_t i = 0; i < std::size(counts); ++i) {
        out << std::left << std::setw(29) << labels[i] << counts[i].second << '\n';
    }
}

void TreeCommand(CliRun& run, bool json, std::ostream& out) {
    run.scan();
    run.loadGroups();
    std::vector<TreeNode> nodes = FillUnitTree(run.session.catalogue);
    if (json) {
        Json list = Json::array();
        for (const TreeNode& node : nodes) {
            list.push_back({{"key", node.key},
                            {"parent", nullable(node.parent)},
                            {"text", node.text},
                            {"image", node.image},
                            {"selectedImage",
                             node.selectedImage ? Json(*node.selectedImage) : Json(nullptr)}});
        }
        out << list.dump(2) << '\n';
        return;
    }
    // Parents come before their children, so each node's depth is its parent's plus one.
    std::map<std::string, int> depth;
    for (const TreeNode& node : nodes) {
        int level = node.parent ? depth[FoldCase(*node.parent)] + 1 : 0;
        depth[FoldCase(node.key)] = level;
        out << std::string(static_cast<std::size_t>(level) * 2, ' ') << node.text << "  ["
            << node.key << "]\n";
    }
}

void ListCommand(CliRun& run, const ListRequest& request, bool json, std::ostream& out) {
    ViewState& view = run.session.view;
    view.CurrentTab = TabIndex(request.tab);
    view.ShowCavedog = request.showCavedog;
    view.ShowThirdParty = request.showThirdParty;
    run.scan();
    run.loadGroups();
    SelectNode(run, request.node);
    std::vector<ListRow> rows = FillUnitList(run.session.catalogue, view, run.services);
    std::vector<Column> columns =
        ColumnSet(kTabCaptions[static_cast<std::size_t>(view.CurrentTab)]);
    auto cell = [](const ListRow& row, std::size_t column) {
        if (column == 0) return row.text;
        return column - 1 < row.subItems.size() ? row.subItems[column - 1] : std::string();
    };
    if (const RowFilter filter(request.filter); !filter.empty()) {
        std::erase_if(rows, [&](const ListRow& row) {
            for (std::size_t i = 0; i < columns.size(); ++i) {
                if (filter.matches(cell(row, i))) return false;
            }
            return true;
        });
    }
    if (json) {
        Json list = Json::array();
        for (const ListRow& row : rows) {
            Json cells = Json::object();
            for (std::size_t i = 0; i < columns.size(); ++i)
                cells[columns[i].header] = cell(row, i);
            list.push_back({{"key", nullable(row.key)}, {"icon", row.icon}, {"columns", cells}});
        }
        out << list.dump(2) << '\n';
        return;
    }
    std::vector<std::string> headers = {"Key", "State"};
    for (const Column& column : columns) headers.push_back(column.header);
    TextTable table(headers);
    for (const ListRow& row : rows) {
        std::vector<std::string> cells = {row.key.value_or(""), iconName(row.icon)};
        for (std::size_t i = 0; i < columns.size(); ++i) cells.push_back(cell(row, i));
        table.addRow(std::move(cells));
    }
    table.print(out);
}

void UnitCommand(CliRun& run, const std::string& key, bool json, std::ostream& out) {
    run.scan();
    Catalogue& catalogue = run.session.catalogue;
    clsUnit& unit = FindUnit(catalogue, key);
    std::vector<std::string> weapons;
    for (const clsWeapon* weapon : unit.Weapons) {
        weapons.push_back("#" + std::to_string(weapon->ID) + " - " + weapon->Name);
    }
    const std::pair<const char*, const CompactText*> fields[] = {
        {"name", &unit.Name},
        {"callname", &unit.Callname},
        {"description", &unit.Description},
        {"class", &unit.Class},
        {"id", &unit.ID},
        {"side", &unit.Side},
        {"maxDamage", &unit.MaxDamage},
        {"buildTime", &unit.BuildTime},
        {"costEnergy", &unit.CostEnergy},
        {"costMetal", &unit.CostMetal},
        {"sightDistance", &unit.SightDistance},
        {"radarDistance", &unit.RadarDistance},
        {"sonarDistance", &unit.SonarDistance},
        {"filename", &unit.Filename},
    };
    std::string archive = unit.HPI ? unit.HPI->Filename : std::string();
    if (json) {
        Json result = {{"key", catalogue.UnitKey(unit)}};
        for (const auto& [name, value] : fields) result[name] = value->str();
        result["archive"] = archive;
        result["enabled"] = unit.Enabled();
        result["conflict"] = unit.Conflict();
        result["conflictDescription"] = unit.ConflictDescription();
        result["weapons"] = weapons;
        AddUnitPartners(catalogue, unit, result);
        out << result.dump(2) << '\n';
        return;
    }
    TextTable table({"Key", catalogue.UnitKey(unit)});
    for (const auto& [name, value] : fields) table.addRow({name, value->str()});
    table.addRow({"archive", archive});
    table.addRow({"enabled", unit.Enabled() ? "yes" : "no"});
    table.addRow({"conflict", conflictName(unit.Conflict())});
    table.print(out);
    if (std::string conflicts = unit.ConflictDescription(); !conflicts.empty()) {
        out << conflicts << '\n';
    }
    out << "Weapons:\n";
    for (const auto& weapon : weapons) out << "  " << weapon << '\n';
    PrintUnitPartners(catalogue, unit, out);
}

void RegisterCatalogueCommands(CLI::App& app) {
    auto request = std::make_shared<ListRequest>();
    auto key = std::make_shared<std::string>();

    auto noCache = std::make_shared<bool>(false);
    CLI::App* scan = app.add_subcommand("scan", "Scan the TA directory and print what it holds");
    scan->add_flag("--no-cache", *noCache,
                   "Read every archive, neither using nor writing the scan cache");
    scan->callback([noCache] {
        CliRun run;
        run.useScanCache = !*noCache;
        ScanCommand(run, Globals().json, std::cout);
        ExitWithoutTeardown(0);  // read-only: nothing left to save
    });
    app.add_subcommand("tree", "Print the tree of sides, classes and unit groups")->callback([] {
        CliRun run;
        TreeCommand(run, Globals().json, std::cout);
        ExitWithoutTeardown(0);  // read-only: nothing left to save
    });

    CLI::App* list = app.add_subcommand("list", "Print the rows of a tab");
    list->add_option("--tab", request->tab, "units, conflicts, weapons or available")
        ->check(CLI::IsMember({"units", "conflicts", "weapons", "available"}));
    list->add_option("--node", request->node, "The selected tree node's key (see tree)");
    list->add_flag("!--no-cavedog", request->showCavedog, "Hide units of game archives");
    list->add_flag("!--no-thirdparty", request->showThirdParty, "Hide units of add-on archives");
    list->add_option("--filter", request->filter,
                     "Keep the rows showing this text in a column (any case)");
    list->callback([request] {
        CliRun run;
        ListCommand(run, *request, Globals().json, std::cout);
        ExitWithoutTeardown(0);  // read-only: nothing left to save
    });

    auto directory = std::make_shared<std::string>();
    CLI::App* demo = app.add_subcommand("demo", "Write the demo installation into a new directory");
    demo->add_option("DIR", *directory, "An empty or new directory")->required();
    demo->callback([directory] {
        WriteDemoInstallation(*directory);
        std::cout << "Wrote the demo installation to " << *directory << '\n';
    });

    CLI::App* unit = app.add_subcommand("unit", "Print one unit");
    unit->add_option("KEY", *key, "The unit's key (see list) or its name when unique")->required();
    unit->callback([key] {
        CliRun run;
        UnitCommand(run, *key, Globals().json, std::cout);
        ExitWithoutTeardown(0);  // read-only: nothing left to save
    });
}

}  // namespace kloxmere::cli
