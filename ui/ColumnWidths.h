#pragma once

// The list's starting column widths. They are laid out in twips for a small
// 8-point system font whose characters (digits as letters) take about 6
// pixels at 96 dpi; a larger font cuts the numbers and names they were sized
// for. Each width is scaled by the list font's character width against that
// one, the wider of its average character and its digits, since most columns
// hold numbers; the cell margins the list draws around a text come on top.
// The columns so keep their proportions and hold what they were sized for.

#include <QFontMetrics>

class QAbstractItemView;

namespace kloxmere::ui {

// The design font's character width, in pixels at 96 dpi.
inline constexpr double kDesignCharWidth = 6.0;

// The starting width in pixels of a column designed `widthTwips` wide, for a
// list drawn with `metrics` whose cells add `cellMargins` pixels to a text.
int ColumnPixels(double widthTwips, const QFontMetrics& metrics, int cellMargins);

// The pixels `view`'s cells add to the width of their text (both sides).
int CellMargins(const QAbstractItemView& view);

}  // namespace kloxmere::ui
