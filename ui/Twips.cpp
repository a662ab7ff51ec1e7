#include "ui/Twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <cmath>

namespace kloxmere::ui {

namespace {
constexpr double kTwipsPerInch = 1440.0;
constexpr double kTwipsPerPixelAt96Dpi = 15.0;
}  // namespace

double TwipsPerPixel() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen || screen->logicalDotsPerInch() <= 0) return kTwipsPerPixelAt96Dpi;
    // Qt scales device-independent pixels by the device pixel ratio; the
    // logical resolution counts device pixels.
    return kTwipsPerInch * screen->devicePixelRatio() / screen->logicalDotsPerInch();
}

int ToPixels(double twips) {
    return static_cast<int>(std::nearbyint(twips / TwipsPerPixel()));
}

double ToTwips(int pixels) {
    return pixels * TwipsPerPixel();
}

QRect TwipsRect(double left, double top, double width, double height) {
    return QRect(ToPixels(left), ToPixels(top), ToPixels(width), ToPixels(height));
}

}  // namespace kloxmere::ui
