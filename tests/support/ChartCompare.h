// A run's chart drawn live and the same run's chart replayed from its data file, compared.
#pragma once

#include <gtest/gtest.h>

#include "platform/Bitmap.h"

namespace fixtures {

inline constexpr platform::Color kCurveColor = 0xE0E000;

// A rectangle of pixels left out of a comparison: columns [left, right), rows [top, bottom).
struct PixelArea {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool Holds(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
};

// Below the title row, which names the system by another rule, the two charts are the same
// but for the curve, which may sit one row apart where the file kept a speed's whole part.
inline void ExpectSameChartButTheCurve(const platform::Bitmap& live,
                                       const platform::Bitmap& replayed,
                                       const PixelArea& leftOut = {}) {
    int curveDiffs = 0;
    for (int y = 14; y < live.Height(); ++y) {
        for (int x = 0; x < live.Width(); ++x) {
            if (live.Pixel(x, y) == replayed.Pixel(x, y) || leftOut.Holds(x, y)) {
                continue;
            }
            const bool liveCurve = live.Pixel(x, y) == kCurveColor;
            const auto& other = liveCurve ? replayed : live;
            ASSERT_TRUE(liveCurve || replayed.Pixel(x, y) == kCurveColor) << x << "," << y;
            ASSERT_TRUE(other.Pixel(x, y - 1) == kCurveColor ||
                        other.Pixel(x, y + 1) == kCurveColor)
                << x << "," << y;
            ++curveDiffs;
        }
    }
    EXPECT_LT(curveDiffs, 200);
}

}  // namespace fixtures
