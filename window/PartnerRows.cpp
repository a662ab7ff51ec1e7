#include "window/PartnerRows.h"

#include "archive/clsHPI.h"
#include "catalogue/Catalogue.h"
#include "catalogue/ConflictPartners.h"
#include "catalogue/ListRows.h"
#include "units/clsMenuEntry.h"
#include "units/clsUnit.h"
#include "units/clsWeapon.h"

namespace kloxmere::window {

namespace {
const char* stateText(bool enabled) {
    return enabled ? "yes" : "no";
}
}  // namespace

PartnerRows DescribePartners(const Catalogue* shown, const ListItem* item) {
    PartnerRows described;
    if (!shown || !item) {
        described.title = "Select a conflict to see who it is with.";
        return described;
    }
    const Catalogue& catalogue = *shown;
    if (item->kind == ListItemKind::MenuConflict) {
        const MenuConflict& conflict = catalogue.MenuConflictList.at(item->position - 1);
        const MenuEntryArchives archives(catalogue);
        described.title = "Menu " + conflict.first->Menu + " button " + conflict.first->Button +
                          " of " + conflict.first->BuilderUnit + " is claimed by:";
        for (const clsMenuEntry* entry : {conflict.first, conflict.second}) {
            const clsHPI* archive = archives.archiveOf(*entry);
            described.rows.push_back({entry->Unit, "", "", ArchiveName(archive),
                                      archive ? stateText(archive->Enabled()) : ""});
        }
        return described;
    }
    const clsUnit* unit = ItemUnit(catalogue, *item);
    if (!unit) return described;
    const std::vector<WeaponConflictPartner> partners = FindWeaponConflictPartners(*unit);
    described.title = partners.empty() ? unit->Name + " has no weapon conflict."
                                       : unit->Name + "'s weapons share numbers with:";
    const clsWeapon* lastWeapon = nullptr;
    std::string free;
    const std::bitset<256> used = UsedWeaponNumbers(catalogue);
    for (const WeaponConflictPartner& partner : partners) {
        described.rows.push_back(
            {partner.unit->Name, partner.otherWeapon->Name, std::to_string(partner.weapon->ID),
             ArchiveName(partner.unit->HPI), stateText(partner.unit->Enabled())});
        if (partner.weapon == lastWeapon) continue;
        lastWeapon = partner.weapon;
        std::string numbers;
        for (int number : NearestFreeWeaponNumbers(used, partner.weapon->ID)) {
            numbers += (numbers.empty() ? "" : ", ") + std::to_string(number);
        }
        free += (free.empty() ? "" : "; ") + partner.weapon->Name + " (" +
                std::to_string(partner.weapon->ID) + "): " + (numbers.empty() ? "none" : numbers);
    }
    if (!free.empty()) described.freeNumbers = "Free numbers near " + free;
    return described;
}

}  // namespace kloxmere::window
