#pragma once

// The unit panel below the tree: the current unit's name, build picture and weapons.

#include <QFrame>

class QLabel;
class QListWidget;

namespace kloxmere::ui {

class UnitPanel : public QFrame {
    Q_OBJECT
  public:
    explicit UnitPanel(QWidget* parent = nullptr);

    QWidget* PicUnit;
    QLabel* LblUnitname;
    QLabel* Label1;
    QListWidget* LstWeapons;
};

}  // namespace kloxmere::ui
