#include "ui/Icons.h"

#include <QApplication>
#include <QStyle>

namespace kloxmere::ui {

QIcon ToolbarImage(int) {
    return QApplication::style()->standardIcon(QStyle::SP_FileIcon);
}
QIcon TreeImage(int) {
    return QApplication::style()->standardIcon(QStyle::SP_DirIcon);
}
QIcon ListIcon(int) {
    return QApplication::style()->standardIcon(QStyle::SP_FileIcon);
}
QIcon ProgramIcon() {
    return {};
}
QPixmap LogoPicture() {
    return {};
}

}  // namespace kloxmere::ui
