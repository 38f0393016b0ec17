// The empty chart, the mapping of speeds and disc positions to pixels, and the three marks.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <set>
#include <string>
#include <vector>

#include "engine/RunState.h"
#include "platform/Bitmap.h"
#include "platform/BmpFile.h"
#include "platform/Canvas.h"
#include "results/ChartFrame.h"

using namespace results;
using platform::Bitmap;
using platform::Canvas;
using platform::Color;

namespace {

constexpr std::int32_t kGridRows[] = {15,  37,  59,  81,  103, 125, 147, 169,
                                      191, 213, 235, 257, 279, 301, 324};

std::vector<std::int32_t> GridColumns() {
    std::vector<std::int32_t> xs;
    for (std::int32_t x = 30; x <= 581; x += 29) {
        xs.push_back(x);
    }
    return xs;
}

class ChartFrameTest : public ::testing::Test {
  protected:
    void SetUp() override {
        engine::SetChartDefaults(s);
        HashPaint(s, canvas);
        SetPlotGeometry(s);
    }
    Color At(std::int32_t x, std::int32_t y) const { return picture.Pixel(x, y); }

    engine::RunState s;
    Bitmap picture{591, 352, 0x123456};
    Canvas canvas{picture};
};

TEST_F(ChartFrameTest, SetsSizeAndMarginsAndLeavesOnlyFrameColours) {
    EXPECT_EQ(s.ChartWidth, 591);
    EXPECT_EQ(s.ChartHeight, 352);
    EXPECT_EQ(s.MarginLeft, 30);
    EXPECT_EQ(s.MarginRight, 10);
    EXPECT_EQ(s.MarginTop, 15);
    EXPECT_EQ(s.MarginBottom, 28);
    EXPECT_EQ(s.PlotHeight, 309);
    EXPECT_EQ(s.Baseline, 324);

    // Draw a run on it, then paint the frame again: nothing of the run may remain.
    s.PointY = 100;
    BeginCurve(s, canvas);
    DrawCurveTo(s, canvas, 560);
    DrawErrorMark(s, canvas, 300);
    s.VolumeSize = 300000;
    DrawDiscSizeMarker(s, canvas);
    HashPaint(s, canvas);

    const std::set<Color> allowed{s.ChartBackColor, s.GridColor, s.LabelColor};
    std::set<Color> seen;
    for (Color c : picture.Pixels()) {
        seen.insert(c);
    }
    EXPECT_EQ(seen, allowed);
}

TEST_F(ChartFrameTest, GridRowsAndColumnsLieWhereTheScaleSays) {
    const auto columns = GridColumns();
    ASSERT_EQ(columns.size(), 20U);
    ASSERT_EQ(columns.back(), 581);

    // Between two vertical lines, a column crosses exactly the 15 horizontal lines, from the
    // top line at 15 to the bottom line at 324.
    std::vector<std::int32_t> rowsHit;
    for (std::int32_t y = 0; y < 352; ++y) {
        if (At(31, y) == s.GridColor) {
            rowsHit.push_back(y);
        }
    }
    EXPECT_EQ(rowsHit, std::vector<std::int32_t>(std::begin(kGridRows), std::end(kGridRows)));

    // Between two horizontal lines, a row crosses exactly the 20 vertical lines.
    std::vector<std::int32_t> columnsHit;
    for (std::int32_t x = 0; x < 591; ++x) {
        if (At(x, 16) == s.GridColor) {
            columnsHit.push_back(x);
        }
    }
    EXPECT_EQ(columnsHit, columns);

    // Each line runs its whole length: horizontal ones from x 30 to 580 (the end point of a
    // line is not painted, the right-most vertical line covers x 581 above the bottom line),
    // vertical ones from y 15 to 323.
    for (std::int32_t y : kGridRows) {
        for (std::int32_t x = 30; x < 581; ++x) {
            ASSERT_EQ(At(x, y), s.GridColor) << x << "," << y;
        }
        EXPECT_EQ(At(29, y), s.ChartBackColor);
    }
    for (std::int32_t x : columns) {
        for (std::int32_t y = 15; y < 324; ++y) {
            ASSERT_EQ(At(x, y), s.GridColor) << x << "," << y;
        }
        EXPECT_EQ(At(x, 14), s.ChartBackColor);
        EXPECT_EQ(At(x, 325), s.ChartBackColor);
    }
}

TEST_F(ChartFrameTest, LabelsStayInsideTheirTextCells) {
    struct Cell {
        std::int32_t x, y;
        std::string text;
    };
    const std::vector<Cell> cells{
        {2, 1, "Transfer Speed - Kb/s"},
        {53, 327, kXCaption},
        {482, 339, "Block = 1000 Sectors"},
        {2, 13, "8400"},
        {8, 25, "x56"},
        {2, 56, "7200"},
        {8, 68, "x48"},
        {2, 100, "6000"},
        {8, 112, "x40"},
        {2, 143, "4800"},
        {8, 155, "x32"},
        {2, 187, "3600"},
        {8, 199, "x24"},
        {2, 230, "2400"},
        {8, 242, "x16"},
        {2, 274, "1200"},
        {12, 286, "x8"},
    };
    const std::int32_t height = canvas.TextHeight("0");
    std::vector<int> inkPerCell(cells.size(), 0);
    for (std::int32_t y = 0; y < 352; ++y) {
        for (std::int32_t x = 0; x < 591; ++x) {
            if (At(x, y) != s.LabelColor) {
                continue;
            }
            bool inside = false;
            for (std::size_t i = 0; i < cells.size(); ++i) {
                const Cell& c = cells[i];
                if (x >= c.x && x < c.x + canvas.TextWidth(c.text) && y >= c.y &&
                    y < c.y + height) {
                    ++inkPerCell[i];
                    inside = true;
                    break;
                }
            }
            ASSERT_TRUE(inside) << "label ink outside every text cell at " << x << "," << y;
        }
    }
    for (std::size_t i = 0; i < cells.size(); ++i) {
        EXPECT_GT(inkPerCell[i], 0) << cells[i].text;
    }
    // The whole picture is 591 wide; the caption and the block note must fit on it.
    EXPECT_LE(53 + canvas.TextWidth(kXCaption), 591);
    EXPECT_LE(482 + canvas.TextWidth("Block = 1000 Sectors"), 591);
}

TEST_F(ChartFrameTest, EachCaptionNumberStandsUnderItsGridLine) {
    const std::string caption = kXCaption;
    ASSERT_EQ(caption.size(), 125U);
    const auto columns = GridColumns();
    std::size_t at = 0;
    for (int n = 1; n <= 19; ++n) {
        const std::string number = std::to_string(20 * n);
        at = caption.find(number, at);
        ASSERT_NE(at, std::string::npos) << number;
        const double left = 53 + canvas.TextWidth(caption.substr(0, at));
        const double centre = left + canvas.TextWidth(number) / 2.0;
        EXPECT_LE(std::abs(centre - columns[static_cast<std::size_t>(n)]), 3.0)
            << number << " centred at " << centre;
        at += number.size();
    }
}

TEST_F(ChartFrameTest, SpeedsMapToRows) {
    EXPECT_EQ(TruncPixel(SpeedToPointY(s, LimitSpeed(s, 8400))), 15);
    EXPECT_EQ(TruncPixel(SpeedToPointY(s, LimitSpeed(s, 0))), 324);
    EXPECT_EQ(TruncPixel(SpeedToPointY(s, LimitSpeed(s, 4200))), 169);
    EXPECT_EQ(LimitSpeed(s, 12000.5), 8400.0);
    EXPECT_EQ(LimitSpeed(s, 8399.9), 8399.9);
    EXPECT_EQ(TruncPixel(SpeedToPointY(s, LimitSpeed(s, 1e300))), 15);
}

TEST_F(ChartFrameTest, BlocksAndSectorsMapToColumnsInExtendedPrecision) {
    EXPECT_EQ(BlockToX(s, 0), 30);
    EXPECT_EQ(BlockToX(s, 1), 31);
    EXPECT_EQ(BlockToX(s, 3), 34);
    EXPECT_EQ(BlockToX(s, 250), 392);  // 250 x 1.452 lies just below 363
    EXPECT_EQ(BlockToX(s, 380), 581);
    EXPECT_EQ(SectorToX(s, 333000), 513);
    EXPECT_EQ(SectorToX(s, 359999), 552);
    EXPECT_EQ(SectorToX(s, 250000), 392);
}

TEST_F(ChartFrameTest, AnyBlockOrSectorNumberGivesACoordinate) {
    constexpr auto kMax = std::numeric_limits<std::int32_t>::max();
    constexpr auto kMin = std::numeric_limits<std::int32_t>::min();
    EXPECT_EQ(BlockToX(s, kMax), kMax);
    EXPECT_EQ(BlockToX(s, kMin), kMin);
    EXPECT_EQ(BlockToX(s, -1), 29);  // truncation toward zero: -1.452 gives -1
    EXPECT_EQ(SectorToX(s, 1e300), kMax);
    EXPECT_EQ(SectorToX(s, -1e300), kMin);
    EXPECT_EQ(SectorToX(s, std::numeric_limits<double>::infinity()), kMax);
    EXPECT_EQ(SectorToX(s, std::nan("")), 0);
    EXPECT_EQ(TruncPixel(std::nan("")), 0);
}

TEST_F(ChartFrameTest, CurveAboveFullScaleRunsOnTheTopLine) {
    s.PointY = SpeedToPointY(s, LimitSpeed(s, 9500));
    BeginCurve(s, canvas);
    EXPECT_EQ(canvas.PenPos(), (platform::Point{30, 15}));
    DrawCurveTo(s, canvas, BlockToX(s, 3));
    for (std::int32_t x = 30; x < 34; ++x) {
        EXPECT_EQ(At(x, 15), s.CurveColor) << x;
    }
    EXPECT_EQ(At(34, 15), s.GridColor);  // the end point waits for the next segment
    EXPECT_EQ(canvas.PenPos(), (platform::Point{34, 15}));
}

TEST_F(ChartFrameTest, CurveToAHugeBlockStopsAtTheEdge) {
    s.PointY = 200.5;
    BeginCurve(s, canvas);
    DrawCurveTo(s, canvas, BlockToX(s, std::numeric_limits<std::int32_t>::max()));
    for (std::int32_t x = 30; x < 591; ++x) {
        ASSERT_EQ(At(x, 200), s.CurveColor) << x;
    }
    EXPECT_EQ(At(29, 200), s.ChartBackColor);
}

TEST_F(ChartFrameTest, ErrorMarkIsATwoByTwoSquareBelowTheZeroLine) {
    BeginCurve(s, canvas);
    const platform::Point before = canvas.PenPos();
    const std::int32_t x = SectorToX(s, 57000);
    DrawErrorMark(s, canvas, x);
    for (std::int32_t y = 323; y <= 328; ++y) {
        for (std::int32_t dx = -1; dx <= 3; ++dx) {
            const bool inSquare = (y == 325 || y == 326) && (dx == 0 || dx == 1);
            EXPECT_EQ(At(x + dx, y) == s.ErrorColor, inSquare) << x + dx << "," << y;
        }
    }
    EXPECT_EQ(canvas.PenPos(), before);
    // At the far ends of the coordinate range it draws nothing and does not overflow.
    DrawErrorMark(s, canvas, std::numeric_limits<std::int32_t>::max());
    DrawErrorMark(s, canvas, std::numeric_limits<std::int32_t>::min());
}

TEST_F(ChartFrameTest, DiscSizeMarkerIsDottedWithOpaqueGapsThenThePenIsSolid) {
    s.VolumeSize = 333000;
    DrawDiscSizeMarker(s, canvas);
    for (std::int32_t y = 15; y < 324; ++y) {
        const bool dash = (y - 15) % 6 < 3;
        ASSERT_EQ(At(513, y), dash ? s.MarkerColor : s.ChartBackColor) << y;
    }
    EXPECT_EQ(At(513, 324), s.GridColor);  // end point: the bottom grid line shows
    EXPECT_EQ(At(512, 100), s.ChartBackColor);
    EXPECT_EQ(At(514, 100), s.ChartBackColor);
    EXPECT_EQ(canvas.GetPenStyle(), platform::PenStyle::Solid);

    s.VolumeSize = 359999;
    DrawDiscSizeMarker(s, canvas);
    EXPECT_EQ(At(552, 15), s.MarkerColor);
    EXPECT_EQ(At(552, 18), s.ChartBackColor);  // a gap painted over the grid line's cell
}

TEST_F(ChartFrameTest, EmptyChartSavesAsABitmapFile) {
    // Left in the working directory so that a person can look at it.
    const std::string path = "empty_chart.bmp";
    ASSERT_TRUE(platform::SaveBmpFile(path, picture));
    const auto back = platform::LoadBmpFile(path);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(*back, picture);
}

}  // namespace
