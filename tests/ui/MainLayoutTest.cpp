// The main window's layout and splitter arithmetic, in twips.

#include <QtTest>

#include "window/MainLayout.h"

using namespace kloxmere::window;

class MainLayoutTest : public QObject {
    Q_OBJECT
  private slots:
    void layoutFollowsTheSplitterAndTheInnerSize() {
        MainLayout l;
        FormResize(l, 9795, 6600, 300, 30);
        QCOMPARE(l.PicSplitter.height, 6600 - 420 - 300.0);
        QCOMPARE(l.TreeUnits.width, 2460.0);
        QCOMPARE(l.PicView.width, 2460.0);
        QCOMPARE(l.PicView.top, 6600 - 300 - 2955.0);
        QCOMPARE(l.PicUnit.width, 2460 - 60 - 240.0);
        QCOMPARE(l.LblUnitname.width, l.PicUnit.width);
        QCOMPARE(l.LstWeapons.width, 2460 - 60 - 240.0);
        QCOMPARE(l.TreeUnits.height, l.PicView.top - 420 - 50);
        QCOMPARE(l.ListUnits.left, 2505.0);
        QCOMPARE(l.ListUnits.height, 6600 - 780 - 300.0);
        QCOMPARE(l.ListUnits.width, 9795 - 2505.0);
        QCOMPARE(l.TabView.left, 2505.0);
        QCOMPARE(l.TabView.width, l.ListUnits.width);
    }

    void aStepThatWouldGoNegativeIsSkippedAndTheOthersRun() {
        MainLayout l;
        FormResize(l, 9795, 6600, 300, 30);
        const double treeHeight = l.TreeUnits.height;
        // So low that the unit panel climbs over the tree's top.
        FormResize(l, 9795, 3000, 300, 30);
        QCOMPARE(l.TreeUnits.height, treeHeight);
        QCOMPARE(l.PicView.top, 3000 - 300 - 2955.0);  // negative tops are fine
        QCOMPARE(l.ListUnits.height, 3000 - 780 - 300.0);
        // Narrower than the splitter: the list keeps its width.
        const double listWidth = l.ListUnits.width;
        FormResize(l, 1000, 3000, 300, 30);
        QCOMPARE(l.ListUnits.width, listWidth);
        QCOMPARE(l.ListUnits.left, 2505.0);
    }

    void roundingIsHalfToEven() {
        QCOMPARE(RoundHalfEven(2.5), 2);
        QCOMPARE(RoundHalfEven(3.5), 4);
        QCOMPARE(RoundHalfEven(-0.5), 0);
        QCOMPARE(RoundHalfEven(7.4), 7);
    }

    void dragMovesWithinTwoThousandAndAThird() {
        const double W = 9000, H = 6000;
        SplitterDrag drag;
        TwipsBox bar{2460, 420, 45, 5000};
        QVERIFY(!drag.dragging());
        drag.mouseMove(bar, 300, W, H);  // no drag yet: nothing moves
        QCOMPARE(bar.left, 2460.0);

        drag.mouseDown(bar, 1, 20, W, H);
        QVERIFY(drag.dragging());
        QCOMPARE(drag.dragX(), 20);
        drag.mouseMove(bar, 20, W, H);  // the same X: no move
        QCOMPARE(bar, (TwipsBox{2460, 420, 45, 5000}));
        drag.mouseMove(bar, 340, W, H);
        QCOMPARE(bar, (TwipsBox{2800, 5, 45, H - 10}));
        drag.mouseMove(bar, 5000, W, H);  // far right: one third
        QCOMPARE(bar.left, 3000.0);
        drag.mouseMove(bar, -5000, W, H);  // far left: 2000
        QCOMPARE(bar.left, 2000.0);
    }

    void releaseMovesOnlyStrictlyBetweenTwoThousandAndAHalf() {
        const double W = 9000, H = 6000;
        SplitterDrag drag;
        TwipsBox bar{2460, 420, 45, 5000};
        drag.mouseDown(bar, 1, 10, W, H);
        drag.mouseMove(bar, 5000, W, H);         // stops at 3000
        QVERIFY(drag.mouseUp(bar, 1000, W, H));  // 4000: past a third, short of half
        QCOMPARE(bar.left, 4000.0);
        QVERIFY(!drag.dragging());
        QVERIFY(!drag.mouseUp(bar, 10, W, H));  // no drag: nothing at all

        drag.mouseDown(bar, 1, 10, W, H);
        drag.mouseMove(bar, -1990, W, H);  // 2010
        QCOMPARE(bar.left, 2010.0);
        QVERIFY(drag.mouseUp(bar, -10, W, H));  // exactly 2000: the last move stands
        QCOMPARE(bar.left, 2010.0);

        drag.mouseDown(bar, 1, 10, W, H);
        QVERIFY(drag.mouseUp(bar, 2490, W, H));  // exactly half: stays
        QCOMPARE(bar.left, 2010.0);
        drag.mouseDown(bar, 1, 10, W, H);
        QVERIFY(drag.mouseUp(bar, 10, W, H));  // released where pressed: stays
        QCOMPARE(bar.left, 2010.0);
    }

    void anotherButtonEndsTheDragAsARelease() {
        const double W = 9000, H = 6000;
        SplitterDrag drag;
        TwipsBox bar{2460, 420, 45, 5000};
        QVERIFY(!drag.mouseDown(bar, 2, 10, W, H));  // no drag to end
        drag.mouseDown(bar, 1, 10, W, H);
        QVERIFY(drag.mouseDown(bar, 2, 400, W, H));
        QCOMPARE(bar.left, 2860.0);
        QVERIFY(!drag.dragging());
    }

    void narrowWindowsSendEverythingLeftOfTwoThousandToIt() {
        const double W = 4500, H = 6000;  // a third is 1500
        SplitterDrag drag;
        TwipsBox bar{500, 420, 45, 5000};  // a restored left of 500 is kept as it is
        drag.mouseDown(bar, 1, 0, W, H);
        drag.mouseMove(bar, 100, W, H);
        QCOMPARE(bar.left, 2000.0);
        drag.mouseMove(bar, 700, W, H);
        QCOMPARE(bar.left, 1500.0);
    }
};

QTEST_APPLESS_MAIN(MainLayoutTest)
#include "MainLayoutTest.moc"
