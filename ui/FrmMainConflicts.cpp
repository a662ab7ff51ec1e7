// The main window's tools for acting on conflicts: the filter above the list,
// the selected Conflicts row's partners below it, the menus of the commands
// that resolve a conflict (the list's context menu and the Units menu's
// Conflict submenu), and the preview shown before a schema is imported.

#include <QLabel>
#include <QMenu>
#include <QShortcut>
#include <QTabBar>
#include <QTreeView>
#include <algorithm>

#include "app/Session.h"
#include "ui/ConflictPartnersPanel.h"
#include "ui/FilterBox.h"
#include "ui/FrmMain.h"
#include "ui/FrmSchemaPreview.h"
#include "ui/Twips.h"
#include "ui/UnitListModel.h"

namespace kloxmere::ui {

void FrmMain::buildConflictTools() {
    TxtFilter = new FilterBox(m_inner);
    PicPartners = new ConflictPartnersPanel(m_inner);
    PicPartners->hide();
    setTabOrder(TabView, TxtFilter);
    setTabOrder(TxtFilter, ListUnits);

    connect(TxtFilter, &QLineEdit::textChanged, this,
            [this](const QString& text) { m_presenter->FilterChanged(text.toStdString()); });
    auto* find = new QShortcut(QKeySequence::Find, this);
    connect(find, &QShortcut::activated, this, [this] {
        TxtFilter->setFocus(Qt::ShortcutFocusReason);
        TxtFilter->selectAll();
    });
    connect(TabView, &QTabBar::currentChanged, this, &FrmMain::placeListExtras);

    ListUnits->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ListUnits, &QWidget::customContextMenuRequested, this, &FrmMain::ListUnits_ContextMenu);
    connect(mnuUnitsConflict, &QMenu::aboutToShow, this, [this] {
        mnuUnitsConflict->clear();
        fillMenu(mnuUnitsConflict, m_presenter->ConflictCommands());
    });
}

// The filter takes the top of the list's place, and on the Conflicts tab the
// partners panel its bottom, beside the unit panel's weapons.
void FrmMain::placeListExtras() {
    const TwipsBox& list = m_presenter->layout().ListUnits;
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

void FrmMain::SetFilterText(const std::string& text) {
    TxtFilter->setText(QString::fromStdString(text));
}

void FrmMain::ShowPartners(const Catalogue* catalogue, const ListItem* item) {
    PicPartners->showItem(catalogue, item);
}

void FrmMain::ListUnits_ContextMenu(const QPoint& position) {
    if (m_presenter->currentTab() != kConflictsTab) return;
    const QModelIndex index = ListUnits->indexAt(position);
    if (!index.isValid()) return;
    ListUnits->setCurrentIndex(index);
    QMenu menu(this);
    menu.setObjectName("ConflictMenu");
    fillMenu(&menu, m_presenter->ConflictCommands());
    menu.exec(ListUnits->viewport()->mapToGlobal(position));
}

void FrmMain::fillMenu(QMenu* menu, std::vector<window::MenuCommand> commands) {
    for (window::MenuCommand& command : commands) {
        if (command.separator()) {
            menu->addSeparator();
            continue;
        }
        QAction* action = menu->addAction(QString::fromStdString(command.caption));
        action->setEnabled(command.enabled);
        if (command.run) connect(action, &QAction::triggered, this, std::move(command.run));
    }
}

bool FrmMain::PreviewSchema(const std::string& name, const SchemaDiff& diff) {
    FrmSchemaPreview preview(QString::fromStdString(name), diff, this);
    return preview.exec() == QDialog::Accepted;
}

}  // namespace kloxmere::ui
