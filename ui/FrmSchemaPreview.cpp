#include "ui/FrmSchemaPreview.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "base/PlatformServices.h"

namespace kloxmere::ui {

namespace {

void addGroup(QTreeWidget* tree, const QString& title, const std::vector<std::string>& names) {
    auto* group = new QTreeWidgetItem(tree, {title + " (" + QString::number(names.size()) + ")"});
    for (const std::string& name : names) {
        new QTreeWidgetItem(group, {QString::fromStdString(name)});
    }
    // The lists that change something are open; the others stay closed.
    group->setExpanded(!names.empty() && names.size() <= 200);
}

}  // namespace

FrmSchemaPreview::FrmSchemaPreview(const QString& schemaName, const SchemaDiff& diff,
                                   QWidget* parent)
    : QDialog(parent) {
    setObjectName("FrmSchemaPreview");
    setWindowTitle(QString(kApplicationTitle) + " - Import Schema");
    const std::size_t changes = diff.enable.size() + diff.disable.size();
    LblSummary = new QLabel(this);
    LblSummary->setObjectName("LblSummary");
    LblSummary->setWordWrap(true);
    LblSummary->setText(
        diff.changesNothing()
            ? "The schema '" + schemaName + "' changes nothing here: no archive will be renamed."
            : "Importing the schema '" + schemaName + "' will rename " + QString::number(changes) +
                  (changes == 1 ? " archive." : " archives."));

    LstChanges = new QTreeWidget(this);
    LstChanges->setObjectName("LstChanges");
    LstChanges->setAccessibleName("What the schema changes");
    LstChanges->setHeaderHidden(true);
    LstChanges->setUniformRowHeights(true);
    addGroup(LstChanges, "Archives to enable", diff.enable);
    addGroup(LstChanges, "Archives to disable", diff.disable);
    addGroup(LstChanges, "Named by the schema but not in this installation", diff.missing);
    addGroup(LstChanges, "Not named by the schema (left as they are)", diff.unlisted);

    Buttons = new QDialogButtonBox(this);
    Buttons->setObjectName("Buttons");
    if (diff.changesNothing()) {
        Buttons->addButton(QDialogButtonBox::Close);
        connect(Buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    } else {
        Buttons->addButton(QDialogButtonBox::Ok);
        Buttons->addButton(QDialogButtonBox::Cancel)->setDefault(true);
        connect(Buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
        connect(Buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    }

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(LblSummary);
    layout->addWidget(LstChanges, 1);
    layout->addWidget(Buttons);
    resize(480, 400);
}

}  // namespace kloxmere::ui
