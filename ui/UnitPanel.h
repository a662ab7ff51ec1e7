#pragma once

// The unit panel below the tree: the current unit's name, build picture and
// weapons; and the window's side of a unit's Display.

#include <QFrame>

#include "ui/QtFastWin.h"
#include "units/UnitView.h"

class QAction;
class QLabel;
class QListWidget;

namespace kloxmere::ui {

class UnitPanel : public QFrame {
    Q_OBJECT
  public:
    explicit UnitPanel(QWidget* parent = nullptr);

    PictureBox* PicUnit;
    QLabel* LblUnitname;
    QLabel* Label1;
    QListWidget* LstWeapons;
};

// The controls a unit's Display writes: the panel, the status bar's second
// panel and the unit command (its toolbar button and menu item), with the
// drawing surface bound to the panel's picture. All must outlive the view.
class UnitPanelView final : public UnitView {
  public:
    UnitPanelView(UnitPanel& panel, clsFastWin& surface, QLabel& statusPanel, QAction& unitButton,
                  QAction& unitMenuItem);

    void SetStatusName(const std::string& name) override;
    void SetCallname(const std::string& callname) override;
    void SetUnitCommand(int image, const std::string& tooltip, const std::string& caption) override;
    void ClearPicture() override;
    void SetWeapons(const std::vector<std::string>& lines) override;
    double PictureScaleWidth() const override;
    clsFastWin& UnitPic() override { return m_surface; }
    FastWinDC& PictureDC() override;

  private:
    UnitPanel& m_panel;
    clsFastWin& m_surface;
    QLabel& m_statusPanel;
    QAction& m_unitButton;
    QAction& m_unitMenuItem;
};

}  // namespace kloxmere::ui
