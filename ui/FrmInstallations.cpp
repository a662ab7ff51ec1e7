#include "ui/FrmInstallations.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace kloxmere::ui {

FrmInstallations::FrmInstallations(const std::vector<InstallationChoice>& found, QWidget* parent)
    : QDialog(parent),
      LstInstallations(new QTreeWidget(this)),
      CmdOk(new QPushButton(tr("OK"), this)),
      CmdOther(new QPushButton(tr("Other..."), this)),
      CmdCancel(new QPushButton(tr("Cancel"), this)) {
    setWindowTitle(tr("Choose your TA installation"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("Several TA installations were found. Which one should "
                                    "Kloxmere look after?"),
                                 this));

    LstInstallations->setColumnCount(3);
    LstInstallations->setHeaderLabels({tr("Directory"), tr("Archives"), tr("Source")});
    LstInstallations->setRootIsDecorated(false);
    LstInstallations->setUniformRowHeights(true);
    LstInstallations->setSelectionMode(QAbstractItemView::SingleSelection);
    for (const InstallationChoice& choice : found) {
        auto* item = new QTreeWidgetItem(LstInstallations);
        item->setText(0, QString::fromStdString(choice.directory));
        item->setText(1, QString::number(choice.archives));
        item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
        item->setText(2, QString::fromStdString(choice.source));
    }
    for (int column = 0; column < 3; ++column) LstInstallations->resizeColumnToContents(column);
    LstInstallations->setCurrentItem(LstInstallations->topLevelItem(0));
    layout->addWidget(LstInstallations);

    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(CmdOk, QDialogButtonBox::AcceptRole);
    buttons->addButton(CmdOther, QDialogButtonBox::ActionRole);
    buttons->addButton(CmdCancel, QDialogButtonBox::RejectRole);
    CmdOk->setDefault(true);
    layout->addWidget(buttons);

    connect(CmdOk, &QPushButton::clicked, this, &FrmInstallations::choose);
    connect(LstInstallations, &QTreeWidget::itemDoubleClicked, this, &FrmInstallations::choose);
    connect(CmdOther, &QPushButton::clicked, this, [this] {
        m_answer = {InstallationAnswer::Other, 0};
        accept();
    });
    connect(CmdCancel, &QPushButton::clicked, this, &QDialog::reject);

    const int wanted = LstInstallations->header()->length() + 40;
    resize(std::max(480, std::min(wanted, 900)), sizeHint().height());
}

void FrmInstallations::choose() {
    const int row = LstInstallations->indexOfTopLevelItem(LstInstallations->currentItem());
    if (row < 0) return;
    m_answer = {InstallationAnswer::Chosen, static_cast<std::size_t>(row)};
    accept();
}

}  // namespace kloxmere::ui
