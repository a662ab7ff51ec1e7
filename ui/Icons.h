#pragma once

// The program's pictures by role.

#include <QIcon>
#include <QPixmap>

namespace kloxmere::ui {

QIcon ToolbarImage(int image);  // 1-based, in the toolbar's image order
QIcon TreeImage(int role);      // the tree's image roles, 1 to 7
QIcon ListIcon(int icon);       // the list's state icons, 1 to 3
QIcon ProgramIcon();
QPixmap LogoPicture();

}  // namespace kloxmere::ui
