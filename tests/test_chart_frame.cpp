// The empty chart, the mapping of speeds and disc positions to pixels, and the three marks.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <set>
#include <string>
#include <vector>

#include "platform/Bitmap.h"
#include "platform/BmpFile.h"
#include "platform/Canvas.h"
#include "results/ChartFrame.h"
#include "run/RunState.h"
#include "support/TempDir.h"

using namespace results;
using platform::Color;
using platform::Point;

namespace {

constexpr auto kMin = std::numeric_limits<std::int32_t>::min();
constexpr auto kMax = std::numeric_limits<std::int32_t>::max();
const std::vector<std::int32_t> kGridRows{15,  37,  59,  81,  103, 125, 147, 169,
                                          191, 213, 235, 257, 279, 301, 324};

class ChartFrameTest : public ::testing::Test {
  protected:
    void SetUp() override {
        run::SetChartDefaults(s);
        HashPaint(s, canvas);
        SetPlotGeometry(s);
        for (std::int32_t x = 30; x <= 581; x += 29) {
            gridColumns.push_back(x);
        }
    }
    Color At(std::int32_t x, std::int32_t y) const { return picture.Pixel(x, y); }

    run::RunState s;
    platform::Bitmap picture{591, 352, 0x123456};
    platform::Canvas canvas{picture};
    std::vector<std::int32_t> gridColumns;
};

TEST_F(ChartFrameTest, RepaintLeavesOnlyTheFrameColoursAndSetsTheGeometry) {
    EXPECT_EQ(s.ChartWidth, 591);
    EXPECT_EQ(s.ChartHeight, 352);
    EXPECT_EQ(s.MarginLeft, 30);
    EXPECT_EQ(s.MarginRight, 10);
    EXPECT_EQ(s.MarginTop, 15);
    EXPECT_EQ(s.MarginBottom, 28);
    EXPECT_EQ(s.PlotHeight, 309);
    EXPECT_EQ(s.Baseline, 324);

    s.PointY = 100;
    BeginCurve(s, canvas);
    DrawCurveTo(s, canvas, 560);
    DrawErrorMark(s, canvas, 300);
    s.VolumeSize = 300000;
    DrawDiscSizeMarker(s, canvas);
    HashPaint(s, canvas);
    const std::set<Color> seen(picture.Pixels().begin(), picture.Pixels().end());
    EXPECT_EQ(seen, (std::set<Color>{s.ChartBackColor, s.GridColor, s.LabelColor}));
}

TEST_F(ChartFrameTest, GridLinesLieOnTheirRowsAndColumnsAndRunTheirWholeLength) {
    // A column between two vertical lines crosses exactly the 15 horizontal ones, a row
    // between two horizontal lines exactly the 20 vertical ones.
    std::vector<std::int32_t> rows;
    std::vector<std::int32_t> columns;
    for (std::int32_t y = 0; y < 352; ++y) {
        if (At(31, y) == s.GridColor) {
            rows.push_back(y);
        }
    }
    for (std::int32_t x = 0; x < 591; ++x) {
        if (At(x, 16) == s.GridColor) {
            columns.push_back(x);
        }
    }
    EXPECT_EQ(rows, kGridRows);
    EXPECT_EQ(columns, gridColumns);
    ASSERT_EQ(columns.back(), 581);

    // Horizontal lines end just before x 581, vertical ones just before y 324.
    for (std::int32_t y : kGridRows) {
        for (std::int32_t x = 30; x < 581; ++x) {
            ASSERT_EQ(At(x, y), s.GridColor) << x << "," << y;
        }
    }
    for (std::int32_t x : gridColumns) {
        for (std::int32_t y = 15; y < 324; ++y) {
            ASSERT_EQ(At(x, y), s.GridColor) << x << "," << y;
        }
    }
}

TEST_F(ChartFrameTest, LabelInkStaysInItsTextCellsAndCaptionNumbersStandUnderTheirLines) {
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
    std::vector<int> ink(cells.size(), 0);
    for (std::int32_t y = 0; y < 352; ++y) {
        for (std::int32_t x = 0; x < 591; ++x) {
            if (At(x, y) != s.LabelColor) {
                continue;
            }
            std::size_t i = 0;
            while (i < cells.size() && !(x >= cells[i].x && y >= cells[i].y &&
                                         x < cells[i].x + canvas.TextWidth(cells[i].text) &&
                                         y < cells[i].y + canvas.TextHeight(cells[i].text))) {
                ++i;
            }
            ASSERT_LT(i, cells.size()) << "label ink outside the text cells at " << x << "," << y;
            ++ink[i];
        }
    }
    for (std::size_t i = 0; i < cells.size(); ++i) {
        EXPECT_GT(ink[i], 0) << cells[i].text;
    }

    const std::string caption = kXCaption;
    ASSERT_EQ(caption.size(), 125U);
    EXPECT_LE(53 + canvas.TextWidth(caption), 591);
    std::size_t at = 0;
    for (std::size_t n = 1; n <= 19; ++n) {
        const std::string number = std::to_string(20 * n);
        at = caption.find(number, at);
        ASSERT_NE(at, std::string::npos) << number;
        const double centre =
            53 + canvas.TextWidth(caption.substr(0, at)) + canvas.TextWidth(number) / 2.0;
        EXPECT_LE(std::abs(centre - gridColumns[n]), 3.0) << number << " centred at " << centre;
        at += number.size();
    }
}

TEST_F(ChartFrameTest, SpeedsBlocksAndSectorsMapToPixels) {
    EXPECT_EQ(TruncPixel(SpeedToPointY(s, LimitSpeed(s, 8400))), 15);
    EXPECT_EQ(TruncPixel(SpeedToPointY(s, LimitSpeed(s, 0))), 324);
    EXPECT_EQ(TruncPixel(SpeedToPointY(s, LimitSpeed(s, 4200))), 169);
    EXPECT_EQ(TruncPixel(SpeedToPointY(s, LimitSpeed(s, 1e300))), 15);
    EXPECT_EQ(LimitSpeed(s, 8399.9), 8399.9);

    EXPECT_EQ(BlockToX(s, 1), 31);
    EXPECT_EQ(BlockToX(s, 3), 34);
    EXPECT_EQ(BlockToX(s, 250), 392);  // 250 x 1.452 lies just below 363
    EXPECT_EQ(SectorToX(s, 250000), 392);
    EXPECT_EQ(BlockToX(s, 380), 581);
    EXPECT_EQ(SectorToX(s, 333000), 513);
    EXPECT_EQ(SectorToX(s, 359999), 552);

    // Any number gives a coordinate, without overflow.
    EXPECT_EQ(BlockToX(s, -1), 29);  // toward zero: -1.452 gives -1
    EXPECT_EQ(BlockToX(s, kMax), kMax);
    EXPECT_EQ(BlockToX(s, kMin), kMin);
    EXPECT_EQ(SectorToX(s, -1e300), kMin);
    EXPECT_EQ(SectorToX(s, std::numeric_limits<double>::infinity()), kMax);
    EXPECT_EQ(SectorToX(s, std::nan("")), 0);
}

TEST_F(ChartFrameTest, CurveAboveFullScaleRunsOnTheTopLineAndStopsAtTheEdge) {
    s.PointY = SpeedToPointY(s, LimitSpeed(s, 9500));
    BeginCurve(s, canvas);
    EXPECT_EQ(canvas.PenPos(), (Point{30, 15}));
    DrawCurveTo(s, canvas, BlockToX(s, 3));
    EXPECT_EQ(canvas.PenPos(), (Point{34, 15}));
    for (std::int32_t x = 30; x < 34; ++x) {
        EXPECT_EQ(At(x, 15), s.CurveColor) << x;
    }
    EXPECT_EQ(At(34, 15), s.GridColor);  // the end point waits for the next segment

    s.PointY = 200.5;
    BeginCurve(s, canvas);
    DrawCurveTo(s, canvas, BlockToX(s, kMax));
    for (std::int32_t x = 30; x < 591; ++x) {
        ASSERT_EQ(At(x, 200), s.CurveColor) << x;
    }
}

TEST_F(ChartFrameTest, ErrorMarkIsATwoByTwoSquareBelowTheZeroLine) {
    BeginCurve(s, canvas);
    const Point pen = canvas.PenPos();
    const std::int32_t x = SectorToX(s, 57000);
    DrawErrorMark(s, canvas, x);
    for (std::int32_t y = 323; y <= 328; ++y) {
        for (std::int32_t dx = -1; dx <= 3; ++dx) {
            const bool inSquare = (y == 325 || y == 326) && (dx == 0 || dx == 1);
            EXPECT_EQ(At(x + dx, y) == s.ErrorColor, inSquare) << x + dx << "," << y;
        }
    }
    EXPECT_EQ(canvas.PenPos(), pen);

    // Far outside the picture, on either side, the mark paints nothing at all.
    const platform::Bitmap before = picture;
    DrawErrorMark(s, canvas, kMax);
    DrawErrorMark(s, canvas, kMin);
    EXPECT_EQ(picture, before);
}

TEST_F(ChartFrameTest, DiscSizeMarkerIsDottedWithOpaqueGapsThenThePenIsSolid) {
    s.VolumeSize = 333000;
    DrawDiscSizeMarker(s, canvas);
    for (std::int32_t y = 15; y < 324; ++y) {
        ASSERT_EQ(At(513, y), (y - 15) % 6 < 3 ? s.MarkerColor : s.ChartBackColor) << y;
    }
    EXPECT_EQ(At(513, 324), s.GridColor);
    EXPECT_EQ(At(512, 100), s.ChartBackColor);
    EXPECT_EQ(canvas.GetPenStyle(), platform::PenStyle::Solid);
    s.VolumeSize = 359999;
    DrawDiscSizeMarker(s, canvas);
    EXPECT_EQ(At(552, 15), s.MarkerColor);
}

TEST_F(ChartFrameTest, EmptyChartSavesAsABitmapOfItsPixels) {
    const fixtures::TempDir dir;
    const std::string path = (dir / "chart.bmp").string();
    ASSERT_EQ(platform::WriteBmpFile(path, picture), std::error_code());
    // After the 54 header bytes, the rows from the bottom one up: 591 pixels of blue, green,
    // red, then 3 bytes to make 1776.
    std::string pixels;
    for (std::int32_t y = 351; y >= 0; --y) {
        for (std::int32_t x = 0; x < 591; ++x) {
            const Color c = At(x, y);
            pixels += {static_cast<char>(c >> 16), static_cast<char>(c >> 8), static_cast<char>(c)};
        }
        pixels.append(3, '\0');
    }
    const std::string file = fixtures::ReadBytes(path);
    ASSERT_EQ(file.size(), 54 + pixels.size());
    const auto differ = std::mismatch(pixels.begin(), pixels.end(), file.begin() + 54).first;
    EXPECT_EQ(differ - pixels.begin(), pixels.end() - pixels.begin()) << "first differing byte";
}

}  // namespace
