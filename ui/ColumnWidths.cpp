#include "ui/ColumnWidths.h"

#include <QAbstractItemView>
#include <QStyle>
#include <algorithm>
#include <cmath>

#include "ui/Twips.h"

namespace kloxmere::ui {

int ColumnPixels(double widthTwips, const QFontMetrics& metrics, int cellMargins) {
    const int charWidth = std::max(metrics.averageCharWidth(), metrics.horizontalAdvance('0'));
    const double scale = charWidth / kDesignCharWidth;
    return static_cast<int>(std::lround(ToPixels(widthTwips) * scale)) + cellMargins;
}

int CellMargins(const QAbstractItemView& view) {
    // An item view's text keeps the focus frame's margin and one pixel clear on each side.
    return 2 * (view.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &view) + 1);
}

}  // namespace kloxmere::ui
