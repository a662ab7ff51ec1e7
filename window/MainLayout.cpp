#include "window/MainLayout.h"

#include <cmath>

namespace kloxmere::window {

namespace {

// Sets a width or height unless it would be negative (a failed step).
void setLength(double& length, double value) {
    if (value >= 0) length = value;
}

double integerPart(double value) {
    return std::floor(value);
}

}  // namespace

std::int32_t RoundHalfEven(double value) {
    return static_cast<std::int32_t>(std::nearbyint(value));
}

void FormResize(MainLayout& l, double W, double H, double S, double picViewBorder) {
    setLength(l.PicSplitter.height, H - l.PicSplitter.top - S);
    setLength(l.TreeUnits.width, l.PicSplitter.left);
    setLength(l.PicView.width, l.TreeUnits.width);
    l.PicView.top = H - S - l.PicView.height;
    const double picViewInner = l.PicView.width - 2 * picViewBorder;
    setLength(l.PicUnit.width, picViewInner - 2 * l.PicUnit.left);
    setLength(l.LblUnitname.width, l.PicUnit.width);
    setLength(l.LstWeapons.width, picViewInner - 2 * l.LstWeapons.left);
    setLength(l.TreeUnits.height, l.PicView.top - l.TreeUnits.top - 50);
    l.ListUnits.left = l.PicSplitter.left + l.PicSplitter.width;
    setLength(l.ListUnits.height, H - l.ListUnits.top - S);
    setLength(l.ListUnits.width, W - l.ListUnits.left);
    l.TabView.left = l.ListUnits.left;
    setLength(l.TabView.width, l.ListUnits.width);
}

void SplitterDrag::moveBar(TwipsBox& bar, double left, double height) const {
    bar.left = left;
    bar.top = kMargin;
    bar.width = kSplitterWidth;
    setLength(bar.height, height - 2 * kMargin);
}

bool SplitterDrag::mouseDown(TwipsBox& bar, int button, double x, double width, double height) {
    if (button == 1) {
        m_dragX = RoundHalfEven(x);
        return false;
    }
    bool ended = dragging() && mouseUp(bar, x, width, height);
    m_dragX = kNoDrag;
    return ended;
}

void SplitterDrag::mouseMove(TwipsBox& bar, double x, double width, double height) {
    if (!dragging() || RoundHalfEven(x) == m_dragX) return;
    const double left = bar.left + x;
    const double third = integerPart(width / 3);
    if (kMinimumLeft <= left && left <= third) {
        moveBar(bar, left, height);
    } else if (left < kMinimumLeft) {
        moveBar(bar, kMinimumLeft, height);
    } else {
        moveBar(bar, third, height);
    }
    m_dragX = RoundHalfEven(x);
}

bool SplitterDrag::mouseUp(TwipsBox& bar, double x, double width, double /*height*/) {
    if (!dragging()) return false;
    if (RoundHalfEven(x) != m_dragX) {
        const double left = bar.left + x;
        if (kMinimumLeft < left && left < integerPart(width / 2)) {
            bar.left = left;  // the same top, width and height as during the drag
        }
    }
    m_dragX = kNoDrag;
    return true;
}

}  // namespace kloxmere::window
