#pragma once

// Who the selected Conflicts row is in conflict with, beside the unit panel's
// weapons: for a unit, every unit carrying a weapon of the same number (unit,
// weapon, number, archive, enabled) and the free numbers nearest each of its
// conflicting weapons; for a build-menu conflict, the two entries and their
// archives. The panel reads the catalogue when a row is shown; it changes nothing.

#include <QWidget>

class QLabel;
class QTreeWidget;

namespace kloxmere {
class Catalogue;
struct ListItem;
}  // namespace kloxmere

namespace kloxmere::ui {

class ConflictPartnersPanel : public QWidget {
    Q_OBJECT
  public:
    explicit ConflictPartnersPanel(QWidget* parent = nullptr);

    // Shows the partners of `item` of `catalogue`'s Conflicts tab; nullptr
    // for either: no row is selected.
    void showItem(const Catalogue* catalogue, const ListItem* item);

    QLabel* Title;
    QTreeWidget* Partners;
    QLabel* FreeNumbers;
};

}  // namespace kloxmere::ui
