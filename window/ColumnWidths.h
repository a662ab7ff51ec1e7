#pragma once

// The list's starting column widths. They are laid out in twips for a small
// 8-point system font whose characters (digits as letters) take 90 twips, 6
// pixels at 96 dpi; a larger font cuts the numbers and names they were sized
// for. A column so holds as many characters as it was designed for, each as
// wide as the list font's, the wider of its average character and its digits
// (most columns hold numbers); the cell margins the list draws around a text
// come on top. The columns so keep their proportions at any resolution.

namespace kloxmere::window {

// The design font's character width, in twips.
inline constexpr double kDesignCharTwips = 90.0;

// The starting width in pixels of a column designed `widthTwips` wide, for a
// list font whose characters are `charWidth` pixels wide, in a list whose
// cells add `cellMargins` pixels to a text.
int ColumnPixels(double widthTwips, int charWidth, int cellMargins);

}  // namespace kloxmere::window
