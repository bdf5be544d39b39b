#include <gtest/gtest.h>

#include "ui/DialogLayout.h"

TEST(DialogLayout, CentringTruncatesEachHalfTowardZero) {
    struct Row {
        PixelRect window;
        PixelRect parent;
        PixelPoint expected;
    };
    const Row rows[] = {
        // 1024 - 300 = 724, half 362.
        {{0, 0, 300, 200}, {0, 0, 1024, 768}, {362, 284}},
        // 1025 - 300 = 725: still 362, and 769 - 200 = 569 gives 284.
        {{0, 0, 300, 200}, {0, 0, 1025, 769}, {362, 284}},
        // A window 5 wider and 3 taller than its parent: -5 / 2 is -2 and -3 / 2 is -1.
        {{0, 0, 105, 53}, {40, 60, 140, 110}, {38, 59}},
        // The window's own position does not matter, the parent's offset does.
        {{500, 400, 800, 600}, {-200, 100, 824, 868}, {162, 384}},
    };
    for (const Row& row : rows) {
        PixelPoint at = CenterPosition(row.window, row.parent);
        EXPECT_EQ(row.expected.x, at.x);
        EXPECT_EQ(row.expected.y, at.y);
    }
}

TEST(DialogLayout, PaintedRectangleIsTheButtonMinusTheDialogOriginAndTwentyThree) {
    PixelRect painted = PaintedButtonRect({100, 50, 800, 600}, {120, 400, 220, 426});
    EXPECT_EQ(20, painted.left);
    EXPECT_EQ(327, painted.top);
    EXPECT_EQ(120, painted.right);
    EXPECT_EQ(353, painted.bottom);
    // A button above the caption line gives negative client coordinates, kept as they are.
    PixelRect high = PaintedButtonRect({0, 0, 400, 300}, {5, 10, 50, 20});
    EXPECT_EQ(-13, high.top);
    EXPECT_EQ(-3, high.bottom);
}

TEST(DialogLayout, HitTestIncludesAllFourEdges) {
    const PixelRect r = {20, 327, 120, 353};
    struct Row {
        int x, y, hit;
    };
    const Row rows[] = {
        {20, 327, 1},  {120, 353, 1}, {120, 327, 1}, {20, 353, 1}, {70, 340, 1},
        {121, 340, 0}, {19, 340, 0},  {70, 354, 0},  {70, 326, 0}, {-1, -1, 0},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(row.hit == 1, HitPaintedRect(r, row.x, row.y)) << row.x << "," << row.y;
    }
    // Negative rectangles compare as signed numbers.
    EXPECT_TRUE(HitPaintedRect({-10, -10, -5, -5}, -7, -5));
}

TEST(DialogLayout, MousePointTakesBothHalvesUnsigned) {
    PixelPoint p = MousePointFromParam(0x01530078u);
    EXPECT_EQ(0x78, p.x);
    EXPECT_EQ(0x153, p.y);
    // A point left of or above the client area arrives as a large unsigned number, not as a
    // negative one, so it never hits a button at the client's edge.
    PixelPoint negative = MousePointFromParam(0xFFFEFFFFu);
    EXPECT_EQ(65535, negative.x);
    EXPECT_EQ(65534, negative.y);
}
