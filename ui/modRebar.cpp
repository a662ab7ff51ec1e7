#include "ui/modRebar.h"

#include <QToolBar>
#include <QToolButton>

namespace kloxmere::ui {

void FlatToolbar(QToolBar* toolbar) {
    if (!toolbar) return;
    for (QToolButton* button : toolbar->findChildren<QToolButton*>(Qt::FindDirectChildrenOnly)) {
        button->setAutoRaise(!button->autoRaise());
    }
}

}  // namespace kloxmere::ui
