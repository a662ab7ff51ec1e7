#pragma once

// What importing a schema will do, shown before anything is renamed: the
// archives to enable and to disable, the archives the schema names that this
// installation lacks and the archives here it does not name (left as they
// are). OK goes ahead, Cancel renames nothing. When the schema changes
// nothing the dialog says so and offers only Close.

#include <QDialog>

#include "catalogue/SchemaDiff.h"

class QDialogButtonBox;
class QLabel;
class QTreeWidget;

namespace kloxmere::ui {

class FrmSchemaPreview : public QDialog {
    Q_OBJECT
  public:
    FrmSchemaPreview(const QString& schemaName, const SchemaDiff& diff, QWidget* parent = nullptr);

    QLabel* LblSummary;
    QTreeWidget* LstChanges;  // one group per list, its archives below
    QDialogButtonBox* Buttons;
};

}  // namespace kloxmere::ui
