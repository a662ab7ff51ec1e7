#pragma once

// Window geometry is kept in twips (1/1440 inch), as the stored settings and
// the design positions are: 15 twips a pixel at 96 dots per inch. These
// convert between twips and Qt's device-independent pixels through the
// primary screen's logical resolution.

#include <QRect>

namespace kloxmere::ui {

// Twips per device-independent pixel: 15 at 96 dpi (and whenever there is no screen).
double TwipsPerPixel();

// Twips to pixels, rounded to the nearest pixel (halves to even).
int ToPixels(double twips);
// Pixels to twips.
double ToTwips(int pixels);

// A rectangle given in twips (left, top, width, height), in pixels.
QRect TwipsRect(double left, double top, double width, double height);

}  // namespace kloxmere::ui
