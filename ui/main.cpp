// kloxmere: the desktop program.

#include <QApplication>

#include "ui/FrmMain.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    kloxmere::ui::FrmMain window;
    window.show();
    return QApplication::exec();
}
