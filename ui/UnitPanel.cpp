#include "ui/UnitPanel.h"

#include <QAction>
#include <QLabel>
#include <QListWidget>
#include <QToolButton>

#include "ui/Icons.h"
#include "ui/QtFastWin.h"
#include "ui/Twips.h"

namespace kloxmere::ui {

UnitPanel::UnitPanel(QWidget* parent)
    : QFrame(parent),
      PicUnit(new PictureBox(this)),
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

UnitPanelView::UnitPanelView(UnitPanel& panel, clsFastWin& surface, QLabel& statusPanel,
                             QAction& unitButton, QAction& unitMenuItem)
    : m_panel(panel),
      m_surface(surface),
      m_statusPanel(statusPanel),
      m_unitButton(unitButton),
      m_unitMenuItem(unitMenuItem) {}

void UnitPanelView::SetStatusName(const std::string& name) {
    m_statusPanel.setText(QString::fromStdString(name));
}

void UnitPanelView::SetCallname(const std::string& callname) {
    m_panel.LblUnitname->setText(QString::fromStdString(callname));
}

void UnitPanelView::SetUnitCommand(int image, const std::string& tooltip,
                                   const std::string& caption) {
    const QString tip = QString::fromStdString(tooltip);
    m_unitButton.setIcon(ToolbarImage(image));
    m_unitButton.setToolTip(tip);
    m_unitButton.setText(tip);
    // A screen reader names the button by what it does now.
    for (QObject* shown : m_unitButton.associatedObjects()) {
        if (auto* button = qobject_cast<QToolButton*>(shown)) button->setAccessibleName(tip);
    }
    m_unitMenuItem.setText(QString::fromStdString(caption));
}

void UnitPanelView::ClearPicture() {
    m_panel.PicUnit->Cls();
}

void UnitPanelView::SetWeapons(const std::vector<std::string>& lines) {
    m_panel.LstWeapons->clear();
    for (const std::string& line : lines) m_panel.LstWeapons->addItem(QString::fromStdString(line));
}

double UnitPanelView::PictureScaleWidth() const {
    return m_panel.PicUnit->ScaleWidth();
}

FastWinDC& UnitPanelView::PictureDC() {
    return *m_panel.PicUnit;
}

}  // namespace kloxmere::ui
