#include "cli/ConflictCommands.h"

#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>

#include "archive/clsHPI.h"
#include "catalogue/Catalogue.h"
#include "catalogue/ConflictPartners.h"
#include "catalogue/SchemaDiff.h"
#include "cli/CliSession.h"
#include "cli/CommandErrors.h"

namespace kloxmere::cli {

namespace {

using Json = nlohmann::ordered_json;

Json archiveState(const clsHPI* archive) {
    return archive ? Json(archive->Enabled()) : Json(nullptr);
}

// A conflicting weapon of the unit, once each, in the order its partners come.
std::vector<const clsWeapon*> conflictingWeapons(
    const std::vector<WeaponConflictPartner>& partners) {
    std::vector<const clsWeapon*> weapons;
    for (const WeaponConflictPartner& partner : partners) {
        if (weapons.empty() || weapons.back() != partner.weapon) weapons.push_back(partner.weapon);
    }
    return weapons;
}

std::string numberList(const std::vector<int>& numbers) {
    std::string text;
    for (int number : numbers) text += (text.empty() ? "" : ", ") + std::to_string(number);
    return text.empty() ? "none" : text;
}

Json weaponSide(const Catalogue& catalogue, const clsWeapon& weapon, const clsUnit& unit) {
    return {{"weapon", weapon.Name},
            {"unit", unit.Name},
            {"unitKey", catalogue.UnitKey(unit)},
            {"archive", ArchiveName(unit.HPI)},
            {"enabled", unit.Enabled()}};
}

Json menuSide(const clsMenuEntry& entry, const clsHPI* archive) {
    return {{"unit", entry.Unit},
            {"archive", ArchiveName(archive)},
            {"enabled", archiveState(archive)}};
}

}  // namespace

void AddUnitPartners(const Catalogue& catalogue, const clsUnit& unit, Json& result) {
    std::vector<WeaponConflictPartner> partners = FindWeaponConflictPartners(unit);
    Json list = Json::array();
    for (const WeaponConflictPartner& partner : partners) {
        list.push_back({{"unit", partner.unit->Name},
                        {"unitKey", catalogue.UnitKey(*partner.unit)},
                        {"weapon", partner.weapon->Name},
                        {"otherWeapon", partner.otherWeapon->Name},
                        {"weaponNumber", partner.weapon->ID},
                        {"archive", ArchiveName(partner.unit->HPI)},
                        {"enabled", partner.unit->Enabled()}});
    }
    result["conflicts"] = list;
    const std::bitset<256> used = UsedWeaponNumbers(catalogue);
    Json free = Json::object();
    for (const clsWeapon* weapon : conflictingWeapons(partners)) {
        free[weapon->Name] = NearestFreeWeaponNumbers(used, weapon->ID);
    }
    result["freeWeaponNumbers"] = free;
}

void PrintUnitPartners(const Catalogue& catalogue, const clsUnit& unit, std::ostream& out) {
    std::vector<WeaponConflictPartner> partners = FindWeaponConflictPartners(unit);
    if (partners.empty()) return;
    out << "Partners:\n";
    for (const WeaponConflictPartner& partner : partners) {
        out << "  " << partner.unit->Name << " [" << catalogue.UnitKey(*partner.unit) << "] "
            << partner.otherWeapon->Name << " shares #" << partner.weapon->ID << " with "
            << partner.weapon->Name << " (" << ArchiveName(partner.unit->HPI) << ", "
            << (partner.unit->Enabled() ? "enabled" : "disabled") << ")\n";
    }
    const std::bitset<256> used = UsedWeaponNumbers(catalogue);
    for (const clsWeapon* weapon : conflictingWeapons(partners)) {
        out << "Free weapon numbers near " << weapon->Name << " (#" << weapon->ID
            << "): " << numberList(NearestFreeWeaponNumbers(used, weapon->ID)) << '\n';
    }
}

void ConflictsCommand(CliRun& run, bool json, std::ostream& out) {
    run.scan();
    const Catalogue& catalogue = run.session.catalogue;
    const MenuEntryArchives archives(catalogue);
    Json list = Json::array();
    for (const WeaponConflictPair& pair : WeaponConflictPairs(catalogue)) {
        if (json) {
            list.push_back({{"kind", "weapon"},
                            {"weaponNumber", pair.firstWeapon->ID},
                            {"first", weaponSide(catalogue, *pair.firstWeapon, *pair.first)},
                            {"second", weaponSide(catalogue, *pair.secondWeapon, *pair.second)}});
            continue;
        }
        out << pair.firstWeapon->Name << " (" << pair.first->Name << ", "
            << ArchiveName(pair.first->HPI) << ") and " << pair.secondWeapon->Name << " ("
            << pair.second->Name << ", " << ArchiveName(pair.second->HPI)
            << ") share weapon number " << pair.firstWeapon->ID << '\n';
    }
    for (const MenuConflict& conflict : catalogue.MenuConflictList) {
        const clsMenuEntry& first = *conflict.first;
        const clsMenuEntry& second = *conflict.second;
        const clsHPI* firstArchive = archives.archiveOf(first);
        const clsHPI* secondArchive = archives.archiveOf(second);
        if (json) {
            list.push_back({{"kind", "menu"},
                            {"builder", first.BuilderUnit},
                            {"menu", first.Menu},
                            {"button", first.Button},
                            {"first", menuSide(first, firstArchive)},
                            {"second", menuSide(second, secondArchive)}});
            continue;
        }
        out << first.Unit << " (" << ArchiveName(firstArchive) << ") and " << second.Unit << " ("
            << ArchiveName(secondArchive) << ") share menu " << first.Menu << " button "
            << first.Button << " on unit " << first.BuilderUnit << '\n';
    }
    if (json) out << list.dump(2) << '\n';
}

void SchemaDiffCommand(CliRun& run, const std::string& path, bool json, std::ostream& out) {
    run.scan();
    SchemaDiff diff = DiffSchemaFile(run.session.catalogue, path);
    if (!diff.read) throw CommandError(diff.problem);
    if (json) {
        out << Json{{"enable", diff.enable},
                    {"disable", diff.disable},
                    {"missing", diff.missing},
                    {"unlisted", diff.unlisted}}
                   .dump(2)
            << '\n';
        return;
    }
    const std::pair<const char*, const std::vector<std::string>*> sections[] = {
        {"To enable", &diff.enable},
        {"To disable", &diff.disable},
        {"Named by the schema but not here", &diff.missing},
        {"Not named by the schema (left as they are)", &diff.unlisted},
    };
    if (diff.changesNothing()) out << "The schema changes nothing here.\n";
    for (const auto& [title, names] : sections) {
        out << title << " (" << names->size() << "):\n";
        for (const std::string& name : *names) out << "  " << name << '\n';
    }
}

void RegisterConflictCommands(CLI::App& app) {
    app.add_subcommand("conflicts", "Print every weapon-number and build-menu conflict as a pair")
        ->callback([] {
            CliRun run;
            ConflictsCommand(run, Globals().json, std::cout);
            ExitWithoutTeardown(0);  // read-only: nothing left to save
        });

    CLI::App* schema = app.get_subcommand("schema");
    auto path = std::make_shared<std::string>();
    CLI::App* diff =
        schema->add_subcommand("diff", "Print what importing a schema would change (no renames)");
    diff->add_option("FILE", *path, "The schema file")->required();
    diff->callback([path] {
        CliRun run;
        SchemaDiffCommand(run, *path, Globals().json, std::cout);
        ExitWithoutTeardown(0);  // read-only: nothing left to save
    });
}

}  // namespace kloxmere::cli
