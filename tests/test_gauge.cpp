// The progress gauge: its range rules, when it redraws, and its pictures.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

#include "platform/Bitmap.h"
#include "ui/forms/GaugeCore.h"

using namespace ui::forms;
using platform::Bitmap;
using platform::Color;

namespace {

constexpr Color kBlack = 0x000000;
constexpr Color kWhite = 0xFFFFFF;
constexpr Color kBlue = 0xFF0000;
constexpr Color kYellow = 0x00FFFF;

std::string RangeError(GaugeCore& g, bool min, std::int32_t v) {
    try {
        min ? g.SetMinValue(v) : g.SetMaxValue(v);
    } catch (const EInvalidOperation& e) {
        return e.what();
    }
    return "no error";
}

// Without border and text, in blue on white: bar lengths are easy to read.
GaugeCore Plain(std::int32_t width, std::int32_t height, TGaugeKind kind = gkHorizontalBar) {
    GaugeCore g;
    g.SetSize(width, height);
    g.SetKind(kind);
    g.SetBorderStyle(bsNone);
    g.SetShowText(false);
    g.SetForeColor(kBlue);
    return g;
}

std::int32_t BarColumns(const GaugeCore& g) {
    const Bitmap b = g.Paint();
    std::int32_t n = 0;
    while (n < b.Width() && b.Pixel(n, b.Height() / 2) == kBlue) {
        ++n;
    }
    return n;
}

TEST(GaugeState, DefaultsAndClampingBothWays) {
    GaugeCore g;
    EXPECT_EQ(g.MinValue(), 0);
    EXPECT_EQ(g.MaxValue(), 100);
    EXPECT_EQ(g.Kind(), gkHorizontalBar);
    EXPECT_TRUE(g.ShowText());
    EXPECT_EQ(g.BorderStyle(), bsSingle);
    EXPECT_EQ(g.ForeColor(), kBlack);
    EXPECT_EQ(g.BackColor(), kWhite);
    EXPECT_EQ(g.Width(), 100);
    EXPECT_EQ(g.Height(), 100);

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

    // The whole 32-bit range: no overflow, the percentage stays within 0 .. 100.
    g.SetMinValue(std::numeric_limits<std::int32_t>::min());
    g.SetMaxValue(std::numeric_limits<std::int32_t>::max());
    g.SetProgress(std::numeric_limits<std::int32_t>::max() - 1);
    EXPECT_EQ(g.PercentDone(), 99);
}

TEST(GaugeState, EmptyRangeShowsZeroPercent) {
    GaugeCore g = Plain(50, 20);
    g.SetMaxValue(0);
    g.SetProgress(7);
    EXPECT_EQ(g.Progress(), 0);
    EXPECT_EQ(g.PercentDone(), 0);
    EXPECT_EQ(BarColumns(g), 0);
    g.SetShowText(true);
    GaugeCore zero = Plain(50, 20);  // "0%" at 0 of 100 looks the same
    zero.SetShowText(true);
    EXPECT_EQ(g.Paint(), zero.Paint());
}

TEST(GaugeState, RangeErrorsNameTheAllowedValuesAndChangeNothing) {
    GaugeCore g;
    g.SetProgress(40);
    g.SetMinValue(30);
    const std::uint64_t redraws = g.RedrawCount();
    EXPECT_EQ(RangeError(g, true, 200), "Value must be between -2147483647 and 99");
    EXPECT_EQ(RangeError(g, false, 29), "Value must be between 31 and 2147483647");
    EXPECT_EQ(g.MinValue(), 30);
    EXPECT_EQ(g.MaxValue(), 100);
    EXPECT_EQ(g.Progress(), 40);
    EXPECT_EQ(g.RedrawCount(), redraws);

    // While a layout loads, the bounds may come in either order.
    g.SetLoading(true);
    g.SetMinValue(500);
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
    for (std::int32_t v = 1; v <= 9; ++v) {
        g.SetProgress(v);  // still 0 %
    }
    EXPECT_EQ(repaints, 1);
    g.SetProgress(10);
    EXPECT_EQ(repaints, 2);

    g.SetKind(gkHorizontalBar);
    g.SetShowText(true);
    g.SetBorderStyle(bsSingle);
    g.SetForeColor(kBlack);
    g.SetBackColor(kWhite);
    g.SetMaxValue(1000);
    g.SetProgress(10);
    EXPECT_EQ(repaints, 2);
    g.SetKind(gkPie);
    g.SetBackColor(kYellow);
    EXPECT_EQ(repaints, 4);
    EXPECT_EQ(g.RedrawCount(), 4U);
}

TEST(GaugePicture, BarLengthsFollowTheExtendedHundredth) {
    GaugeCore g = Plain(209, 12);  // without border: W = 210
    g.SetProgress(10);
    EXPECT_EQ(BarColumns(g), 20);  // 210 x 0.1 comes out just below 21
    g.SetProgress(50);
    EXPECT_EQ(BarColumns(g), 105);
    g.SetProgress(100);
    const Bitmap full = g.Paint();
    EXPECT_EQ(full, Bitmap(209, 12, kBlue));  // F = 210 covers the whole gauge

    GaugeCore v = Plain(10, 30, gkVerticalBar);
    v.SetProgress(100);
    Bitmap top(10, 30, kBlue);  // the top row keeps BackColor
    for (std::int32_t x = 0; x < 10; ++x) {
        top.SetPixel(x, 0, kWhite);
    }
    EXPECT_EQ(v.Paint(), top);
}

TEST(GaugePicture, BorderRingIsBlackInEveryStyleAtAnySize) {
    for (TGaugeKind kind : {gkText, gkHorizontalBar, gkVerticalBar, gkPie, gkNeedle}) {
        GaugeCore g;
        g.SetSize(60, 40);
        g.SetKind(kind);
        g.SetForeColor(kBlue);
        g.SetColor(kYellow);
        g.SetProgress(60);
        const Bitmap b = g.Paint();
        for (std::int32_t x = 0; x < 60; ++x) {
            EXPECT_EQ(b.Pixel(x, 0), kBlack) << int{kind} << " top " << x;
            // The needle's base line runs along the bottom row of the ring.
            EXPECT_EQ(b.Pixel(x, 39), kind == gkNeedle && x > 0 ? kBlue : kBlack)
                << int{kind} << " bottom " << x;
        }
        for (std::int32_t y = 1; y < 39; ++y) {
            EXPECT_EQ(b.Pixel(0, y), kBlack) << int{kind} << " left " << y;
            EXPECT_EQ(b.Pixel(59, y), kBlack) << int{kind} << " right " << y;
        }
        EXPECT_NE(b.Pixel(30, 20), kBlack) << int{kind};

        for (std::int32_t side : {0, 1, 2, 3}) {  // degenerate sizes paint without harm
            g.SetSize(side, side);
            EXPECT_EQ(g.Paint().Width(), side);
        }
    }
}

TEST(GaugePicture, PercentageTextInvertsWhatLiesBeneathInsideTheBorder) {
    GaugeCore g = Plain(100, 20);
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
            if (after != before) {
                ASSERT_EQ(after, before ^ kWhite) << x << "," << y;
                lightOnBar += x < 50 ? 1 : 0;
                darkOnEmpty += x >= 50 ? 1 : 0;
            }
        }
    }
    EXPECT_GT(lightOnBar, 5);  // "50%" is centred, so it stands on both parts
    EXPECT_GT(darkOnEmpty, 5);

    // On blue the letters turn yellow; too big for the inside, they stay off the ring.
    GaugeCore small;
    small.SetSize(14, 9);
    small.SetForeColor(kBlue);
    small.SetProgress(100);
    const Bitmap b = small.Paint();
    bool yellow = false;
    for (std::int32_t y = 0; y < 9; ++y) {
        for (std::int32_t x = 0; x < 14; ++x) {
            const bool ring = x == 0 || y == 0 || x == 13 || y == 8;
            if (ring) {
                EXPECT_EQ(b.Pixel(x, y), kBlack) << x << "," << y;
            }
            yellow = yellow || b.Pixel(x, y) == kYellow;
        }
    }
    EXPECT_TRUE(yellow);
}

TEST(GaugePicture, PieGrowsClockwiseFromTwelveAndTheNeedleSweepsLeftToRight) {
    GaugeCore pie = Plain(101, 101, gkPie);
    pie.SetProgress(25);
    Bitmap b = pie.Paint();
    EXPECT_EQ(b.Pixel(75, 25), kBlue);
    EXPECT_EQ(b.Pixel(25, 25), kWhite);
    EXPECT_EQ(b.Pixel(75, 75), kWhite);
    EXPECT_EQ(b.Pixel(0, 0), pie.Color());
    pie.SetProgress(75);
    b = pie.Paint();
    EXPECT_EQ(b.Pixel(25, 75), kBlue);
    EXPECT_EQ(b.Pixel(25, 25), kWhite);

    GaugeCore needle = Plain(101, 51, gkNeedle);
    EXPECT_EQ(needle.Paint().Pixel(50, 20), kWhite);  // no needle at 0 %
    needle.SetProgress(50);
    EXPECT_EQ(needle.Paint().Pixel(50, 20), kBlue);  // straight up
    EXPECT_EQ(needle.Paint().Pixel(30, 30), kWhite);
    needle.SetProgress(25);
    EXPECT_EQ(needle.Paint().Pixel(30, 30), kBlue);  // up and to the left
}

TEST(GaugePicture, MakeLikeTakesTheSizeAndTheWindowFrameColour) {
    TBltBitmap b(2, 2, kWhite);
    b.MakeLike(Bitmap(7, 3, kYellow));
    EXPECT_EQ(b, Bitmap(7, 3, kWindowFrameColor));
}

}  // namespace
