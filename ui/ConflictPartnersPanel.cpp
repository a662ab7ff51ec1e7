#include "ui/ConflictPartnersPanel.h"

#include <QHeaderView>
#include <QLabel>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "window/PartnerRows.h"

namespace kloxmere::ui {

namespace {

QString text(const std::string& value) {
    return QString::fromStdString(value);
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
    QStringList headers;
    for (const char* header : window::kPartnerColumns) headers << header;
    Partners->setHeaderLabels(headers);
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

void ConflictPartnersPanel::showItem(const Catalogue* catalogue, const ListItem* item) {
    const window::PartnerRows described = window::DescribePartners(catalogue, item);
    Partners->clear();
    Title->setText(text(described.title));
    for (const auto& cells : described.rows) {
        QStringList row;
        for (const std::string& cell : cells) row << text(cell);
        auto* line = new QTreeWidgetItem(Partners, row);
        line->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
    }
    FreeNumbers->setText(text(described.freeNumbers));
}

}  // namespace kloxmere::ui
