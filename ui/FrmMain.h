#pragma once

#include <QMainWindow>

namespace kloxmere::ui {

class FrmMain : public QMainWindow {
    Q_OBJECT
  public:
    explicit FrmMain(QWidget* parent = nullptr);
};

}  // namespace kloxmere::ui
