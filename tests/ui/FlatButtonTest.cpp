#include <gtest/gtest.h>

#include <vector>

#include "ui/FlatButton.h"

namespace {

struct Line {
    uint32_t colour;
    int x1, y1, x2, y2;
    bool operator==(const Line& o) const {
        return colour == o.colour && x1 == o.x1 && y1 == o.y1 && x2 == o.x2 && y2 == o.y2;
    }
};

std::vector<Line> Lines(const FlatButtonDrawing& d) {
    std::vector<Line> lines;
    for (int i = 0; i < d.lineCount; ++i) {
        const EdgeLine& e = d.lines[i];
        lines.push_back({e.colour, e.from.x, e.from.y, e.to.x, e.to.y});
    }
    return lines;
}

void PrintTo(const Line& l, std::ostream* os) {
    *os << std::hex << l.colour << std::dec << " (" << l.x1 << "," << l.y1 << ")->(" << l.x2 << ","
        << l.y2 << ")";
}

constexpr uint32_t W = kEdgeWhite;
constexpr uint32_t K = kEdgeBlack;

}  // namespace

TEST(FlatButton, ZeroRightOrBottomMeansTheDefaultSize) {
    PixelRect r = FlatButtonRect(10, 20, 0, 0);
    EXPECT_EQ(90, r.right);
    EXPECT_EQ(40, r.bottom);
    PixelRect given = FlatButtonRect(10, 20, 131, 45);
    EXPECT_EQ(131, given.right);
    EXPECT_EQ(45, given.bottom);
}

TEST(FlatButton, CaptionSitsFourTenthsOfItsWidthLeftOfTheMiddle) {
    struct Row {
        int left, right, width, x;
    };
    const Row rows[] = {
        {10, 131, 50, 50},  // middle 70, 70 - 20 = 50 (49 with x87 excess precision)
        {10, 131, 65, 44},  // 70 - 26 = 44 (43 with x87 excess precision)
        {10, 131, 51, 49},  // 70 - 20.4 = 49.6, truncated
        {10, 131, 0, 70},   // an empty caption starts at the middle
        {10, 11, 49, -9},   // middle 10, 10 - 19.6 = -9.6 truncates toward zero to -9
        {-11, 0, 10, -9},   // middle -11 / 2 = -5 (toward zero), -5 - 4 = -9
        {0, 3, 1, 0},       // middle 1, 1 - 0.4 = 0.6 truncates to 0
    };
    for (const Row& row : rows) {
        EXPECT_EQ(row.x, FlatButtonCaptionX({row.left, 0, row.right, 0}, row.width))
            << row.left << ".." << row.right << " width " << row.width;
    }
}

TEST(FlatButton, RaisedButtonHasWhiteTopLeftAndBlackBottomRight) {
    const PixelRect r = {10, 100, 131, 125};
    FlatButtonDrawing d = PlanFlatButton(r, 50, false);
    EXPECT_EQ(11, d.face.left);
    EXPECT_EQ(101, d.face.top);
    EXPECT_EQ(132, d.face.right);
    EXPECT_EQ(126, d.face.bottom);
    const std::vector<Line> expected = {
        {W, 10, 100, 132, 100}, {W, 10, 101, 133, 101},  {W, 10, 100, 10, 126},
        {W, 11, 100, 11, 125},  {K, 131, 125, 131, 100}, {K, 130, 125, 130, 101},
        {K, 131, 125, 11, 125}, {K, 131, 124, 12, 124},
    };
    EXPECT_EQ(expected, Lines(d));
    EXPECT_EQ(50, d.caption.x);
    EXPECT_EQ(106, d.caption.y);
}

TEST(FlatButton, PressedButtonIsOutlinedInBlackAndItsCaptionMovesByOne) {
    const PixelRect r = {10, 100, 131, 125};
    FlatButtonDrawing d = PlanFlatButton(r, 50, true);
    const std::vector<Line> expected = {
        {K, 10, 100, 131, 100}, {K, 10, 101, 130, 101}, {K, 10, 100, 10, 126},
        {K, 11, 100, 11, 125},  {K, 131, 125, 131, 99}, {K, 131, 125, 10, 125},
    };
    EXPECT_EQ(expected, Lines(d));
    EXPECT_EQ(51, d.caption.x);
    EXPECT_EQ(107, d.caption.y);
    // The face is the same in both states.
    EXPECT_EQ(11, d.face.left);
    EXPECT_EQ(126, d.face.bottom);
}
