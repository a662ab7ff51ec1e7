#pragma once

// The main window's layout arithmetic, in twips and free of widgets, so that
// its rules can be checked on their own: where the tree, the unit panel, the
// splitter bar, the tab strip and the list go for an inner size, and how a
// drag moves the splitter bar.
//
// Every step of the layout stands alone: a step that would give a negative
// width or height is skipped and keeps the control's previous size, while the
// other steps still run. No minimum window size is enforced.

#include <cstdint>
#include <limits>

namespace kloxmere::window {

struct TwipsBox {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
    bool operator==(const TwipsBox&) const = default;
};

// The positions of the main window's controls, starting from the design layout.
struct MainLayout {
    TwipsBox TreeUnits{0, 420, 2355, 2655};
    TwipsBox PicSplitter{2460, 420, 45, 2895};
    TwipsBox TabView{2580, 420, 5595, 375};
    TwipsBox ListUnits{2580, 780, 5595, 5295};
    TwipsBox PicView{0, 3120, 2355, 2955};
    // Inside PicView, relative to its inner area.
    TwipsBox LblUnitname{120, 120, 2055, 255};
    TwipsBox PicUnit{120, 360, 2055, 1490};
    TwipsBox Label1{120, 1920, 735, 255};
    TwipsBox LstWeapons{120, 2160, 2055, 645};
};

// The inner area of the main window at the first start, and the splitter's width.
inline constexpr double kDesignInnerWidth = 9795;
inline constexpr double kDesignInnerHeight = 6600;
inline constexpr double kSplitterWidth = 45;

// Lays the controls out for an inner area of `width` x `height` with a status
// bar `statusHeight` high; `picViewBorder` is the width of PicView's frame on
// each side (its inner width is its width less twice that).
void FormResize(MainLayout& layout, double width, double height, double statusHeight,
                double picViewBorder);

// Rounds to the nearest integer, halves to the even neighbour.
std::int32_t RoundHalfEven(double value);

// The splitter drag. X is the pointer's position in twips relative to the
// bar's left edge; W and H the inner area's width and height.
class SplitterDrag {
  public:
    static constexpr std::int32_t kNoDrag = std::numeric_limits<std::int32_t>::max();
    static constexpr double kMinimumLeft = 2000;
    static constexpr std::int16_t kMargin = 5;  // SplitterMargin

    bool dragging() const { return m_dragX != kNoDrag; }
    std::int32_t dragX() const { return m_dragX; }

    // Left button (1): the drag begins. Another button ends a drag in
    // progress as a release would; returns true when it did (the window then
    // lays itself out again).
    bool mouseDown(TwipsBox& bar, int button, double x, double width, double height);
    // While dragging, moves the bar to the pointer, kept between 2000 and a
    // third of the width, over the full height less the margins.
    void mouseMove(TwipsBox& bar, double x, double width, double height);
    // Ends a drag: the bar moves to the release position when that lies
    // strictly between 2000 and half the width. Returns false when no drag
    // was in progress (nothing happened).
    bool mouseUp(TwipsBox& bar, double x, double width, double height);

  private:
    void moveBar(TwipsBox& bar, double left, double height) const;

    std::int32_t m_dragX = kNoDrag;  // SplitterDragX
};

}  // namespace kloxmere::window
