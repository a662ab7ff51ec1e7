#include "ui/ConflictPartnersPanel.h"

#include <QHeaderView>
#include <QLabel>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "archive/clsHPI.h"
#include "catalogue/Catalogue.h"
#include "catalogue/ConflictPartners.h"
#include "catalogue/ListRows.h"
#include "units/clsMenuEntry.h"
#include "units/clsUnit.h"
#include "units/clsWeapon.h"

namespace kloxmere::ui {

namespace {

QString text(const std::string& value) {
    return QString::fromStdString(value);
}

QString stateText(bool enabled) {
    return enabled ? "yes" : "no";
}

void addRow(QTreeWidget* tree, const QStringList& cells) {
    auto* row = new QTreeWidgetItem(tree, cells);
    row->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
}

}  // namespace

ConflictPartnersPanel::ConflictPartnersPanel(QWidget* parent) : QWidget(parent) {
    setObjectName("ConflictPartners");
    setAccessibleName("Conflict partners");
    Title = new QLabel(this);
    Title->setObjectName("ConflictPartners.Title");
    Partners = new QTreeWidget(this);
    Partners->setObjectName("ConflictPartners.List");
    Partners->setAccessibleName("Partners");
    Partners->setRootIsDecorated(false);
    Partners->setUniformRowHeights(true);
    Partners->setSelectionMode(QAbstractItemView::NoSelection);
    Partners->setHeaderLabels({"Unit", "Weapon", "Number", "Archive", "Enabled"});
    Partners->header()->setStretchLastSection(false);
    Partners->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    FreeNumbers = new QLabel(this);
    FreeNumbers->setObjectName("ConflictPartners.FreeNumbers");
    FreeNumbers->setAccessibleName("Free weapon numbers");
    FreeNumbers->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 2, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(Title);
    layout->addWidget(Partners, 1);
    layout->addWidget(FreeNumbers);
    showItem(nullptr, nullptr);
}

void ConflictPartnersPanel::showItem(const Catalogue* shown, const ListItem* item) {
    Partners->clear();
    FreeNumbers->clear();
    if (!shown || !item) {
        Title->setText("Select a conflict to see who it is with.");
        return;
    }
    const Catalogue& catalogue = *shown;
    if (item->kind == ListItemKind::MenuConflict) {
        const MenuConflict& conflict = catalogue.MenuConflictList.at(item->position - 1);
        const MenuEntryArchives archives(catalogue);
        Title->setText(text("Menu " + conflict.first->Menu + " button " + conflict.first->Button +
                            " of " + conflict.first->BuilderUnit + " is claimed by:"));
        for (const clsMenuEntry* entry : {conflict.first, conflict.second}) {
            const clsHPI* archive = archives.archiveOf(*entry);
            addRow(Partners, {text(entry->Unit), "", "", text(ArchiveName(archive)),
                              archive ? stateText(archive->Enabled()) : ""});
        }
        return;
    }
    const clsUnit* unit = ItemUnit(catalogue, *item);
    if (!unit) {
        Title->clear();
        return;
    }
    std::vector<WeaponConflictPartner> partners = FindWeaponConflictPartners(*unit);
    Title->setText(partners.empty() ? text(unit->Name + " has no weapon conflict.")
                                    : text(unit->Name + "'s weapons share numbers with:"));
    const clsWeapon* lastWeapon = nullptr;
    QStringList free;
    const std::bitset<256> used = UsedWeaponNumbers(catalogue);
    for (const WeaponConflictPartner& partner : partners) {
        addRow(Partners, {text(partner.unit->Name), text(partner.otherWeapon->Name),
                          QString::number(partner.weapon->ID), text(ArchiveName(partner.unit->HPI)),
                          stateText(partner.unit->Enabled())});
        if (partner.weapon == lastWeapon) continue;
        lastWeapon = partner.weapon;
        QStringList numbers;
        for (int number : NearestFreeWeaponNumbers(used, partner.weapon->ID)) {
            numbers << QString::number(number);
        }
        free << text(partner.weapon->Name) + " (" + QString::number(partner.weapon->ID) +
                    "): " + (numbers.isEmpty() ? QString("none") : numbers.join(", "));
    }
    if (!free.isEmpty()) FreeNumbers->setText("Free numbers near " + free.join("; "));
}

}  // namespace kloxmere::ui
