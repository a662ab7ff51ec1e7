#include "window/ColumnWidths.h"

#include <cmath>

namespace kloxmere::window {

int ColumnPixels(double widthTwips, int charWidth, int cellMargins) {
    const double characters = widthTwips / kDesignCharTwips;
    return static_cast<int>(std::lround(characters * charWidth)) + cellMargins;
}

}  // namespace kloxmere::window
