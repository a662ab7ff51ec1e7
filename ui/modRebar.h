#pragma once

class QToolBar;

namespace kloxmere::ui {

// Gives the toolbar's buttons the flat look, or takes it away again: each call
// inverts it, so the toolbar, made raised, is flat after one call and raised
// again after two. A toolbar without buttons is left as it is.
void FlatToolbar(QToolBar* toolbar);

}  // namespace kloxmere::ui
