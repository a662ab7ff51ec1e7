#include "ui/UnitPanel.h"

#include <QLabel>
#include <QListWidget>

#include "ui/Twips.h"

namespace kloxmere::ui {

UnitPanel::UnitPanel(QWidget* parent)
    : QFrame(parent),
      PicUnit(new QWidget(this)),
      LblUnitname(new QLabel("Unitname", this)),
      Label1(new QLabel("Weapons", this)),
      LstWeapons(new QListWidget(this)) {
    setObjectName("PicView");
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    PicUnit->setObjectName("PicUnit");
    PicUnit->setAccessibleName("Unit picture");
    LblUnitname->setObjectName("LblUnitname");
    Label1->setObjectName("Label1");
    LstWeapons->setObjectName("LstWeapons");
    LstWeapons->setAccessibleName("Weapons");
    LblUnitname->setGeometry(TwipsRect(120, 120, 2055, 255));
    PicUnit->setGeometry(TwipsRect(120, 360, 2055, 1490));
    Label1->setGeometry(TwipsRect(120, 1920, 735, 255));
    LstWeapons->setGeometry(TwipsRect(120, 2160, 2055, 645));
}

}  // namespace kloxmere::ui
