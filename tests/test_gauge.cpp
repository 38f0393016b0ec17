// The progress gauge: its range rules, when it redraws, and its pictures.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

#include "platform/Bitmap.h"
#include "ui/GaugeCore.h"

using namespace ui;
using platform::Bitmap;
using platform::Color;

namespace {

constexpr Color kBlack = 0x000000;
constexpr Color kWhite = 0xFFFFFF;
constexpr Color kBlue = 0xFF0000;
constexpr Color kYellow = 0x00FFFF;

std::string RangeError(GaugeCore& g, bool min, std::int32_t v) {
    try {
        if (min) {
            g.SetMinValue(v);
        } else {
            g.SetMaxValue(v);
        }
    } catch (const EInvalidOperation& e) {
        return e.what();
    }
    return "no error";
}

// A horizontal bar without border and without text, the way bar lengths are easiest to read.
GaugeCore PlainBar(std::int32_t width, std::int32_t height) {
    GaugeCore g;
    g.SetSize(width, height);
    g.SetBorderStyle(bsNone);
    g.SetShowText(false);
    g.SetForeColor(kBlue);
    g.SetBackColor(kWhite);
    return g;
}

std::int32_t FilledColumns(const Bitmap& b, Color fore) {
    std::int32_t n = 0;
    while (n < b.Width() && b.Pixel(n, b.Height() / 2) == fore) {
        ++n;
    }
    return n;
}

TEST(GaugeState, StartsWithItsDefaults) {
    const GaugeCore g;
    EXPECT_EQ(g.MinValue(), 0);
    EXPECT_EQ(g.MaxValue(), 100);
    EXPECT_EQ(g.Progress(), 0);
    EXPECT_EQ(g.Kind(), gkHorizontalBar);
    EXPECT_TRUE(g.ShowText());
    EXPECT_EQ(g.BorderStyle(), bsSingle);
    EXPECT_EQ(g.ForeColor(), kBlack);
    EXPECT_EQ(g.BackColor(), kWhite);
    EXPECT_EQ(g.Width(), 100);
    EXPECT_EQ(g.Height(), 100);
    EXPECT_EQ(g.PercentDone(), 0);
}

TEST(GaugeState, ProgressIsClampedBothWaysAndTheRangeDragsItAlong) {
    GaugeCore g;
    g.SetProgress(150);
    EXPECT_EQ(g.Progress(), 100);
    EXPECT_EQ(g.PercentDone(), 100);
    g.SetProgress(-5);
    EXPECT_EQ(g.Progress(), 0);

    g.SetProgress(2);
    g.SetMinValue(5);
    EXPECT_EQ(g.Progress(), 5);
    g.SetProgress(80);
    g.SetMaxValue(50);
    EXPECT_EQ(g.Progress(), 50);

    // The extremes of the 32-bit range neither overflow nor leave 0 .. 100.
    g.SetMinValue(std::numeric_limits<std::int32_t>::min());
    g.SetMaxValue(std::numeric_limits<std::int32_t>::max());
    g.SetProgress(std::numeric_limits<std::int32_t>::max() - 1);
    EXPECT_EQ(g.PercentDone(), 99);
    g.SetProgress(std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(g.PercentDone(), 100);
}

TEST(GaugeState, EmptyRangeShowsZeroPercentAndAnEmptyBar) {
    GaugeCore g = PlainBar(50, 10);
    g.SetMaxValue(0);
    g.SetProgress(7);
    EXPECT_EQ(g.Progress(), 0);
    EXPECT_EQ(g.PercentDone(), 0);
    EXPECT_EQ(FilledColumns(g.Paint(), kBlue), 0);

    // The text reads 0%: the same picture as a gauge at 0 of 100.
    g.SetShowText(true);
    GaugeCore zero = PlainBar(50, 10);
    zero.SetShowText(true);
    EXPECT_EQ(g.Paint(), zero.Paint());
}

TEST(GaugeState, RangeErrorsNameTheAllowedValuesAndChangeNothing) {
    GaugeCore g;
    g.SetProgress(40);
    const std::uint64_t redraws = g.RedrawCount();
    EXPECT_EQ(RangeError(g, true, 200), "Value must be between -2147483647 and 99");
    EXPECT_EQ(RangeError(g, false, -10), "Value must be between 1 and 2147483647");
    g.SetMinValue(30);
    EXPECT_EQ(RangeError(g, false, 29), "Value must be between 31 and 2147483647");
    EXPECT_EQ(g.MinValue(), 30);
    EXPECT_EQ(g.MaxValue(), 100);
    EXPECT_EQ(g.Progress(), 40);
    EXPECT_EQ(g.RedrawCount(), redraws + 1);  // only the accepted minimum
    EXPECT_THROW(g.SetMinValue(101), std::exception);
}

TEST(GaugeState, WhileALayoutLoadsTheBoundsComeInAnyOrder) {
    GaugeCore g;
    g.SetLoading(true);
    g.SetMinValue(500);  // above the default maximum for a moment
    g.SetMaxValue(1000);
    g.SetLoading(false);
    EXPECT_EQ(g.MinValue(), 500);
    EXPECT_EQ(g.MaxValue(), 1000);
    EXPECT_THROW(g.SetMaxValue(499), EInvalidOperation);
}

TEST(GaugeState, RedrawsOnlyWhenSomethingVisibleChanges) {
    GaugeCore g;
    int repaints = 0;
    g.SetRepaintHandler([&] { ++repaints; });
    g.SetMaxValue(1000);
    EXPECT_EQ(repaints, 1);
    for (std::int32_t v = 1; v <= 9; ++v) {
        g.SetProgress(v);
    }
    EXPECT_EQ(g.Progress(), 9);
    EXPECT_EQ(g.PercentDone(), 0);
    EXPECT_EQ(repaints, 1);
    g.SetProgress(10);
    EXPECT_EQ(g.PercentDone(), 1);
    EXPECT_EQ(repaints, 2);

    // Equal values change nothing; a new value redraws once.
    g.SetKind(gkHorizontalBar);
    g.SetShowText(true);
    g.SetBorderStyle(bsSingle);
    g.SetForeColor(kBlack);
    g.SetBackColor(kWhite);
    g.SetMinValue(0);
    g.SetMaxValue(1000);
    g.SetProgress(10);
    EXPECT_EQ(repaints, 2);
    g.SetKind(gkPie);
    g.SetBackColor(kYellow);
    EXPECT_EQ(repaints, 4);
    EXPECT_EQ(g.RedrawCount(), 4U);
}

TEST(GaugePicture, HorizontalBarLengthFollowsTheExtendedHundredth) {
    // Without border a gauge 209 wide has W = 210.
    GaugeCore g = PlainBar(209, 12);
    g.SetProgress(10);
    EXPECT_EQ(FilledColumns(g.Paint(), kBlue), 20);  // 210 x 0.1 comes out just below 21
    g.SetProgress(50);
    EXPECT_EQ(FilledColumns(g.Paint(), kBlue), 105);
    g.SetProgress(100);
    const Bitmap full = g.Paint();
    for (Color c : full.Pixels()) {
        ASSERT_EQ(c, kBlue);  // F = 210 covers the whole gauge
    }
}

TEST(GaugePicture, VerticalBarAtFullKeepsItsTopRow) {
    GaugeCore g = PlainBar(10, 30);
    g.SetKind(gkVerticalBar);
    g.SetProgress(100);
    const Bitmap b = g.Paint();
    for (std::int32_t y = 0; y < 30; ++y) {
        for (std::int32_t x = 0; x < 10; ++x) {
            ASSERT_EQ(b.Pixel(x, y), y == 0 ? kWhite : kBlue) << x << "," << y;
        }
    }
    g.SetProgress(50);  // H = 31: F = 15 rows from the bottom, rows 16 .. 29
    EXPECT_EQ(g.Paint().Pixel(5, 16), kBlue);
    EXPECT_EQ(g.Paint().Pixel(5, 15), kWhite);
}

TEST(GaugePicture, BorderRingIsBlackInEveryStyle) {
    for (TGaugeKind kind : {gkText, gkHorizontalBar, gkVerticalBar, gkPie, gkNeedle}) {
        GaugeCore g;
        g.SetSize(60, 40);
        g.SetKind(kind);
        g.SetForeColor(kBlue);
        g.SetBackColor(kWhite);
        g.SetColor(kYellow);
        g.SetProgress(60);
        const Bitmap b = g.Paint();
        for (std::int32_t x = 0; x < 60; ++x) {
            EXPECT_EQ(b.Pixel(x, 0), kBlack) << kind << " top " << x;
            // The needle's base line runs along the bottom row of the ring.
            const Color bottom = kind == gkNeedle && x >= 1 ? kBlue : kBlack;
            EXPECT_EQ(b.Pixel(x, 39), bottom) << kind << " bottom " << x;
        }
        for (std::int32_t y = 1; y < 39; ++y) {
            EXPECT_EQ(b.Pixel(0, y), kBlack) << kind << " left " << y;
            EXPECT_EQ(b.Pixel(59, y), kBlack) << kind << " right " << y;
        }
        EXPECT_NE(b.Pixel(30, 20), kBlack) << kind;
    }
}

TEST(GaugePicture, PercentageTextInvertsWhatLiesBeneath) {
    GaugeCore g = PlainBar(100, 20);
    g.SetForeColor(kBlack);
    g.SetProgress(50);
    const Bitmap plain = g.Paint();
    g.SetShowText(true);
    const Bitmap text = g.Paint();
    int lightOnBar = 0;
    int darkOnEmpty = 0;
    for (std::int32_t y = 0; y < 20; ++y) {
        for (std::int32_t x = 0; x < 100; ++x) {
            const Color before = plain.Pixel(x, y);
            const Color after = text.Pixel(x, y);
            if (after == before) {
                continue;
            }
            ASSERT_EQ(after, before ^ kWhite) << x << "," << y;
            lightOnBar += x < 50 && after == kWhite ? 1 : 0;
            darkOnEmpty += x >= 50 && after == kBlack ? 1 : 0;
        }
    }
    // "50%" is centred, so it stands on both parts.
    EXPECT_GT(lightOnBar, 5);
    EXPECT_GT(darkOnEmpty, 5);

    // A coloured area gets the complementary colour.
    g.SetForeColor(kBlue);
    g.SetProgress(100);
    bool yellow = false;
    for (Color c : g.Paint().Pixels()) {
        yellow = yellow || c == kYellow;
    }
    EXPECT_TRUE(yellow);
}

TEST(GaugePicture, TextIsClippedToTheInsideOfTheBorder) {
    GaugeCore g;
    g.SetSize(14, 9);  // "100%" is wider and taller than the inside
    g.SetProgress(100);
    g.SetForeColor(kBlue);
    const Bitmap b = g.Paint();
    for (std::int32_t x = 0; x < 14; ++x) {
        EXPECT_EQ(b.Pixel(x, 0), kBlack) << x;
        EXPECT_EQ(b.Pixel(x, 8), kBlack) << x;
    }
    for (std::int32_t y = 0; y < 9; ++y) {
        EXPECT_EQ(b.Pixel(0, y), kBlack) << y;
        EXPECT_EQ(b.Pixel(13, y), kBlack) << y;
    }
}

TEST(GaugePicture, PieGrowsClockwiseFromTwelveAndNeedleSweepsLeftToRight) {
    GaugeCore pie = PlainBar(101, 101);
    pie.SetKind(gkPie);
    pie.SetProgress(25);
    Bitmap b = pie.Paint();
    EXPECT_EQ(b.Pixel(75, 25), kBlue);   // upper right quarter
    EXPECT_EQ(b.Pixel(25, 25), kWhite);  // the rest of the face
    EXPECT_EQ(b.Pixel(75, 75), kWhite);
    EXPECT_EQ(b.Pixel(0, 0), pie.Color());  // behind the dial
    pie.SetProgress(75);
    b = pie.Paint();
    EXPECT_EQ(b.Pixel(25, 75), kBlue);
    EXPECT_EQ(b.Pixel(25, 25), kWhite);

    GaugeCore needle = PlainBar(101, 51);
    needle.SetKind(gkNeedle);
    needle.SetProgress(50);
    b = needle.Paint();
    EXPECT_EQ(b.Pixel(50, 20), kBlue);  // straight up
    EXPECT_EQ(b.Pixel(30, 20), kWhite);
    needle.SetProgress(0);
    b = needle.Paint();
    EXPECT_EQ(b.Pixel(50, 20), kWhite);  // no needle at 0 %
}

TEST(GaugePicture, MakeLikeTakesTheSizeAndTheWindowFrameColour) {
    const Bitmap other(7, 3, kYellow);
    TBltBitmap b(2, 2, kWhite);
    b.MakeLike(other);
    EXPECT_EQ(b.Width(), 7);
    EXPECT_EQ(b.Height(), 3);
    for (Color c : b.Pixels()) {
        EXPECT_EQ(c, kWindowFrameColor);
    }
}

}  // namespace
