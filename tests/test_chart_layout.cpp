// The chart's layout for volumes of every size: which one a size gets, and how the scaled x
// axes and the DVD and Blu-ray speed scales are drawn.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <set>
#include <string>
#include <vector>

#include "platform/Bitmap.h"
#include "platform/Canvas.h"
#include "results/ChartAxes.h"
#include "results/ChartFrame.h"
#include "results/NumberText.h"
#include "run/RunState.h"

using run::ChartLayout;
using run::Medium;
using namespace results;

namespace {

constexpr double kInt32Max = std::numeric_limits<std::int32_t>::max();

struct SizeCase {
    const char* name;
    double sectors;
    bool cdAxis;
    Medium medium;
};

const SizeCase kSizes[] = {
    {"Empty", 0, true, Medium::CD},
    {"Negative", -5, true, Medium::CD},
    {"HugelyNegative", -1e300, true, Medium::CD},
    {"FullCd", 333000, true, Medium::CD},
    {"LastOnTheCdAxis", 380999, true, Medium::CD},
    {"FractionStillOnTheCdAxis", 380999.9, true, Medium::CD},
    {"FirstPastTheCdAxis", 381000, false, Medium::CD},
    {"LongestCd", 450000, false, Medium::CD},
    {"SmallestDvd", 450001, false, Medium::DVD},
    {"SingleLayerDvd", 2295104, false, Medium::DVD},
    {"DualLayerDvd", 4173824, false, Medium::DVD},
    {"SmallestBluRay", 4173825, false, Medium::BluRay},
    {"BluRay25", 12219392, false, Medium::BluRay},
    {"LargestDescriptorSize", 16777215, false, Medium::BluRay},
    {"LargestInt", kInt32Max, false, Medium::BluRay},
    {"Absurd", 1e300, false, Medium::BluRay},
};

class LayoutForSize : public ::testing::TestWithParam<SizeCase> {};

TEST_P(LayoutForSize, ChoosesAxisAndMediumAndFitsTheVolume) {
    const SizeCase& c = GetParam();
    const ChartLayout layout = ChartLayoutFor(c.sectors);
    EXPECT_EQ(layout.medium, c.medium);
    EXPECT_EQ(MediumOf(c.sectors), c.medium);
    EXPECT_EQ(!layout.ScaledAxis(), c.cdAxis);

    run::RunState s;
    run::SetChartDefaults(s);
    platform::Bitmap picture(591, 352);
    platform::Canvas canvas(picture);
    UseChartLayout(s, layout);
    HashPaint(s, canvas);
    if (!layout.ScaledAxis()) {
        EXPECT_EQ(s.XScale, 1.452);
        EXPECT_EQ(s.SpeedFullScale, 8400);
        return;
    }
    // A round step: 1, 2 or 5 times a power of ten thousand sectors, at most 20 of them.
    std::int64_t mantissa = layout.gridStep;
    while (mantissa % 10 == 0) {
        mantissa /= 10;
    }
    EXPECT_TRUE(mantissa == 1 || mantissa == 2 || mantissa == 5) << layout.gridStep;
    EXPECT_LE(layout.gridSteps, 20);
    const double axisSectors = 1000.0 * static_cast<double>(layout.gridStep) * layout.gridSteps;
    if (c.sectors <= 1000 * kInt32Max) {
        // The whole volume lies on the axis, which is no more than one step longer.
        EXPECT_GE(axisSectors, c.sectors);
        EXPECT_LT(axisSectors - 1000.0 * static_cast<double>(layout.gridStep), c.sectors);
        s.VolumeSize = c.sectors;
        const std::int32_t marker = SectorToX(s, s.VolumeSize);
        EXPECT_GT(marker, 30);
        EXPECT_LE(marker, 581);
    }
    // The axis ends on the plot's right edge, where a block at the axis end is drawn.
    const std::int64_t axisBlocks = layout.gridStep * layout.gridSteps;
    if (axisBlocks <= static_cast<std::int64_t>(kInt32Max)) {
        EXPECT_EQ(BlockToX(s, static_cast<std::int32_t>(axisBlocks)), 581);
    }
    for (std::int32_t y = 16; y < 324; y += 50) {
        EXPECT_EQ(picture.Pixel(581, y), s.GridColor) << y;
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, LayoutForSize, ::testing::ValuesIn(kSizes),
                         [](const auto& info) { return std::string(info.param.name); });

class ScaledChart : public ::testing::Test {
  protected:
    void Paint(double sectors) {
        run::SetChartDefaults(s);
        UseChartLayout(s, ChartLayoutFor(sectors));
        HashPaint(s, canvas);
        SetPlotGeometry(s);
        s.VolumeSize = sectors;
    }
    // Columns of the grid, found on a row between two horizontal lines.
    std::vector<std::int32_t> GridColumns() const {
        std::vector<std::int32_t> columns;
        for (std::int32_t x = 0; x < 591; ++x) {
            if (picture.Pixel(x, 16) == s.GridColor) {
                columns.push_back(x);
            }
        }
        return columns;
    }
    // Label ink (outside the grid) in the rectangle, one count per pixel.
    int InkIn(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) const {
        int ink = 0;
        for (std::int32_t y = std::max(top, 0); y < std::min(bottom, 352); ++y) {
            for (std::int32_t x = std::max(left, 0); x < std::min(right, 591); ++x) {
                ink += picture.Pixel(x, y) == s.LabelColor ? 1 : 0;
            }
        }
        return ink;
    }

    run::RunState s;
    platform::Bitmap picture{591, 352};
    platform::Canvas canvas{picture};
};

TEST_F(ScaledChart, DvdGridCaptionsAndSpeedLabels) {
    Paint(2295104);
    EXPECT_EQ(s.Layout.gridStep, 200);
    EXPECT_EQ(s.Layout.gridSteps, 12);
    EXPECT_EQ(s.SpeedFullScale, 28403);  // 21 x 1352.54 KB/s

    std::vector<std::int32_t> expected;
    for (std::int32_t i = 0; i <= 12; ++i) {
        expected.push_back(BlockToX(s, 200 * i));
    }
    EXPECT_EQ(GridColumns(), expected);
    EXPECT_EQ(expected.back(), 581);

    // The numbers 200 ... 2400 centred under their lines (the last ends at the picture's edge)
    // and nothing between them.
    std::int32_t previousEnd = 0;
    for (std::int32_t i = 1; i <= 12; ++i) {
        const std::string number = std::to_string(200 * i);
        const std::int32_t width = canvas.TextWidth(number);
        const std::int32_t left = std::min(expected[i] - width / 2, 591 - width);
        EXPECT_GT(InkIn(left, 327, left + width, 340), 0) << number;
        EXPECT_EQ(InkIn(previousEnd, 327, left, 339), 0) << "before " << number;
        EXPECT_LE(left + width, 591);
        previousEnd = left + width;
    }
    EXPECT_GT(InkIn(482, 339, 581, 352), 0);  // the unit

    // Seven speeds of 3x, 6x, ... 21x, the widest starting two pixels inside the picture as a
    // CD's do, all ending as far before the speed axis as the CD's "8400"; their multiples.
    const std::int32_t axis = s.MarginLeft;
    const std::int32_t speedEnd = 2 + canvas.TextWidth("28403");
    EXPECT_EQ(axis - speedEnd, 30 - (2 + canvas.TextWidth("8400")));
    const char* speeds[] = {"28403", "24345", "20288", "16230", "12172", "8115", "4057"};
    const char* multiples[] = {"x21", "x18", "x15", "x12", "x9", "x6", "x3"};
    double p = 13.0;
    for (int i = 0; i < 7; ++i) {
        const std::int32_t y = static_cast<std::int32_t>(p);
        const std::int32_t w = canvas.TextWidth(speeds[i]);
        EXPECT_GT(InkIn(speedEnd - w, y, speedEnd, y + 12), 0) << speeds[i];
        EXPECT_EQ(InkIn(0, y, speedEnd - w, y + 12), 0) << speeds[i];
        EXPECT_EQ(InkIn(speedEnd, y, axis, y + 12), 0) << speeds[i];
        const std::int32_t m = canvas.TextWidth(multiples[i]);
        EXPECT_GT(InkIn(26 - m, y + 12, 26, y + 24), 0) << multiples[i];
        p += 43.5;
    }
    // The speed axis itself is whole.
    for (std::int32_t y = 15; y < 324; ++y) {
        ASSERT_EQ(picture.Pixel(axis, y), s.GridColor) << y;
    }
    const std::set<platform::Color> seen(picture.Pixels().begin(), picture.Pixels().end());
    EXPECT_EQ(seen, (std::set<platform::Color>{s.ChartBackColor, s.GridColor, s.LabelColor}));
}

TEST_F(ScaledChart, SpeedScalesFitTodaysFastestDrives) {
    Paint(12219392);
    EXPECT_EQ(s.SpeedFullScale, 61523);  // 14 x 4394.5 KB/s
    EXPECT_EQ(s.Layout.gridStep, 1000);
    const double bluRay12x = 12 * 4500000.0 / 1024;
    EXPECT_GT(static_cast<std::int32_t>(SpeedToPointY(s, LimitSpeed(s, bluRay12x))), 15);
    EXPECT_GT(InkIn(0, 13, 36, 25), 0);  // "61523" at the top
    EXPECT_EQ(InkIn(0, 13, 2, 324), 0);  // every speed starts two pixels inside the picture

    Paint(2295104);
    const double dvd16x = 16 * 1385000.0 / 1024;
    EXPECT_GT(static_cast<std::int32_t>(SpeedToPointY(s, LimitSpeed(s, dvd16x))), 15);

    // A CD too long for the CD axis keeps the CD's speed scale and labels.
    Paint(420000);
    EXPECT_EQ(s.SpeedFullScale, 8400);
    EXPECT_EQ(s.Layout.medium, Medium::CD);
    platform::Bitmap cd(591, 352);
    platform::Canvas cdCanvas(cd);
    run::RunState plain;
    run::SetChartDefaults(plain);
    HashPaint(plain, cdCanvas);
    for (std::int32_t y = 13; y < 300; ++y) {
        for (std::int32_t x = 0; x < 30; ++x) {
            ASSERT_EQ(picture.Pixel(x, y), cd.Pixel(x, y)) << x << "," << y;
        }
    }
}

TEST_F(ScaledChart, SummaryStaysWholeInsideThePictureAndMovesDownForAFastRun) {
    const auto titleInk = [](const platform::Bitmap& b, std::int32_t top, std::int32_t bottom) {
        int ink = 0;
        for (std::int32_t y = top; y < bottom; ++y) {
            for (std::int32_t x = 200; x < b.Width(); ++x) {
                ink += b.Pixel(x, y) == 0xE0E000 ? 1 : 0;
            }
        }
        return ink;
    };
    // An image on a fast disk: seven digits. Both texts drawn whole, on the low row.
    Paint(2295104);
    canvas.SetFontColor(s.TitleColor);
    s.MaxSpeed = 1234567;
    s.MinSpeed = 7654321;
    DrawSummary(s, canvas);
    platform::Bitmap wide(800, 60);
    platform::Canvas reference(wide);
    reference.SetFontColor(s.TitleColor);
    reference.TextOut(200, 0, "Max. Speed (Kb/s) - 1234567");
    reference.TextOut(200, 20, "Min.  Speed (Kb/s) - 7654321");
    EXPECT_EQ(titleInk(picture, 282, 316), titleInk(wide, 0, 34));
    EXPECT_EQ(titleInk(picture, 25, 58), 0);

    // On the CD chart too, though a CD drive's five digits stay where they always stood.
    for (const double speed : {1234567.0, 99999.0}) {
        Paint(333000);
        canvas.SetFontColor(s.TitleColor);
        s.MaxSpeed = speed;
        s.MinSpeed = 0;
        DrawSummary(s, canvas);
        const std::string text = "Max. Speed (Kb/s) - " + TruncToText(speed);
        const std::int32_t left = std::min(454, 591 - canvas.TextWidth(text));
        platform::Bitmap alone(591, 352);
        platform::Canvas drawn(alone);
        drawn.SetFontColor(s.TitleColor);
        drawn.TextOut(left, 282, text);
        // The text, whole, where it was put, and its ink the text's alone.
        for (std::int32_t y = 282; y < 300; ++y) {
            for (std::int32_t x = 200; x < 591; ++x) {
                ASSERT_EQ(picture.Pixel(x, y) == s.TitleColor, alone.Pixel(x, y) == s.TitleColor)
                    << speed << " at " << x << "," << y;
            }
        }
        EXPECT_EQ(left, speed < 100000 ? 454 : 591 - canvas.TextWidth(text));
    }

    // A DVD read at 12x stays on the top row, as a CD at 5000 KB/s does.
    Paint(2295104);
    canvas.SetFontColor(s.TitleColor);
    s.MaxSpeed = 12 * 1352.5;
    s.MinSpeed = 0;
    DrawSummary(s, canvas);
    EXPECT_GT(titleInk(picture, 25, 58), 0);
    EXPECT_EQ(titleInk(picture, 282, 316), 0);
}

}  // namespace
