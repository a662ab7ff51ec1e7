#include "ui/FrmMain.h"

#include "base/PlatformServices.h"

namespace kloxmere::ui {

FrmMain::FrmMain(QWidget* parent) : QMainWindow(parent) {
    setWindowTitle(kApplicationTitle);
}

}  // namespace kloxmere::ui
