// Drawing on a bitmap: lines, dotted pens, rectangles, text, clipping, raster operations and
// BMP files.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <limits>
#include <string>
#include <vector>

#include "platform/Bitmap.h"
#include "platform/BitmapFont.h"
#include "platform/BmpFile.h"
#include "platform/Canvas.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;
using namespace platform;

namespace {

constexpr Color kPaper = 0x101010;
constexpr Color kRed = 0x0000FF;
constexpr Color kBlue = 0xFF0000;
constexpr Color kYellow = 0x00FFFF;
constexpr std::int32_t kFar = 2'000'000'000;
constexpr auto kMin = std::numeric_limits<std::int32_t>::min();
constexpr auto kMax = std::numeric_limits<std::int32_t>::max();

std::vector<Point> PixelsOf(const Bitmap& b, Color c) {
    std::vector<Point> points;
    for (std::int32_t y = 0; y < b.Height(); ++y) {
        for (std::int32_t x = 0; x < b.Width(); ++x) {
            if (b.Pixel(x, y) == c) {
                points.push_back({x, y});
            }
        }
    }
    return points;
}

Bitmap Line(std::int32_t w, std::int32_t h, Point from, Point to) {
    Bitmap b(w, h, kPaper);
    Canvas c(b);
    c.SetPenColor(kRed);
    c.MoveTo(from.x, from.y);
    c.LineTo(to.x, to.y);
    return b;
}

TEST(CanvasLine, EndPointIsNotPaintedAndBecomesThePenPosition) {
    Bitmap b(20, 20, kPaper);
    Canvas c(b);
    c.SetPenColor(kRed);
    c.MoveTo(2, 5);
    c.LineTo(5, 5);
    EXPECT_EQ(c.PenPos(), (Point{5, 5}));
    c.LineTo(5, 7);  // goes on from the pen position, painting (5, 5) now
    c.LineTo(5, 7);  // zero length: nothing
    EXPECT_EQ(PixelsOf(b, kRed), (std::vector<Point>{{2, 5}, {3, 5}, {4, 5}, {5, 5}, {5, 6}}));

    EXPECT_EQ(PixelsOf(Line(10, 10, {4, 1}, {1, 4}), kRed),
              (std::vector<Point>{{4, 1}, {3, 2}, {2, 3}}));
    // A shallow line paints one pixel per column, within half a pixel of the true line.
    const auto shallow = PixelsOf(Line(30, 30, {0, 0}, {20, 7}), kRed);
    ASSERT_EQ(shallow.size(), 20U);
    for (const Point& p : shallow) {
        EXPECT_LE(std::abs(p.y * 20 - p.x * 7), 10) << p.x << "," << p.y;
    }
}

TEST(CanvasLine, ClippedLinesKeepExactlyThePixelsOfTheWholeLine) {
    // The same lines on a big picture and on a small one that sees a window of it.
    const Point ends[][2] = {
        {{-30, -17}, {120, 95}}, {{130, 5}, {-20, 77}},  {{50, -40}, {61, 140}},
        {{-5, 60}, {150, 59}},   {{90, 140}, {13, -33}}, {{0, 0}, {149, 149}},
    };
    for (const auto& e : ends) {
        const Bitmap big = Line(200, 200, {e[0].x + 40, e[0].y + 30}, {e[1].x + 40, e[1].y + 30});
        const Bitmap small = Line(60, 50, e[0], e[1]);
        for (std::int32_t y = 0; y < 50; ++y) {
            for (std::int32_t x = 0; x < 60; ++x) {
                ASSERT_EQ(small.Pixel(x, y), big.Pixel(x + 40, y + 30))
                    << "line from " << e[0].x << "," << e[0].y << " at " << x << "," << y;
            }
        }
    }
}

TEST(CanvasLine, HugeCoordinatesPaintOnlyTheVisiblePart) {
    // Walked pixel by pixel these would take seconds.
    EXPECT_EQ(PixelsOf(Line(100, 50, {10, 20}, {kFar, 20}), kRed).size(), 90U);
    const auto slope =
        PixelsOf(Line(100, 100, {-kFar, -kFar / 2 + 10}, {kFar, kFar / 2 + 10}), kRed);
    EXPECT_EQ(slope.size(), 100U);
    for (const Point& p : slope) {
        EXPECT_LE(std::abs(2 * (p.y - 10) - p.x), 1) << p.x << "," << p.y;
    }

    // The ends of the coordinate range neither overflow nor write off the picture.
    Bitmap e(16, 16, kPaper);
    Canvas c(e);
    c.MoveTo(kMin, kMin);
    c.LineTo(kMax, kMax);
    c.LineTo(kMin, kMax);
    c.LineTo(kMax, kMin);
    EXPECT_EQ(c.PenPos(), (Point{kMax, kMin}));
    c.Rectangle(kMin, kMin, kMax, kMax);
    c.Rectangle(kMax - 1, kMax - 1, kMin, kMin);
    c.Ellipse(kMin, kMin, kMax, kMax);
    c.Pie(kMin, 0, kMax, 16, kMax, 8, kMin, 8);
    c.TextOut(kMax, kMax, "far away");
    c.TextOut(kMin, 3, std::string(1000, 'W'));
    EXPECT_EQ(c.PenPos(), (Point{kMin + c.TextWidth(std::string(1000, 'W')), 3}));
    c.Draw(kMin, kMax, e);
}

TEST(CanvasLine, DottedPenPaintsThreeOnThreeOffWithGapsInTheBrushColour) {
    Bitmap b(20, 3, kPaper);
    Canvas c(b);
    c.SetPenColor(kRed);
    c.SetBrushColor(kBlue);
    c.SetPenStyle(PenStyle::Dotted);
    c.MoveTo(1, 1);
    c.LineTo(16, 1);
    const std::string expected = ".RRRBBBRRRBBBRRR....";
    for (std::int32_t x = 0; x < 20; ++x) {
        const char want = expected[static_cast<std::size_t>(x)];
        EXPECT_EQ(b.Pixel(x, 1), want == 'R' ? kRed : want == 'B' ? kBlue : kPaper) << x;
    }
    // With a clear brush the gaps keep what was there; a brush colour makes it solid again.
    c.SetBrushStyle(BrushStyle::Clear);
    c.MoveTo(1, 2);
    c.LineTo(10, 2);
    EXPECT_EQ(b.Pixel(3, 2), kRed);
    EXPECT_EQ(b.Pixel(4, 2), kPaper);
    c.SetBrushColor(kYellow);
    EXPECT_EQ(c.GetBrushStyle(), BrushStyle::Solid);
}

TEST(CanvasRectangle, PenOutlinesBrushFillsRightAndBottomAreExcluded) {
    Bitmap b(12, 12, kPaper);
    Canvas c(b);
    c.SetPenColor(kRed);
    c.SetBrushColor(kBlue);
    c.Rectangle(7, 9, 2, 3);  // corners in either order
    for (std::int32_t y = 0; y < 12; ++y) {
        for (std::int32_t x = 0; x < 12; ++x) {
            Color want = kPaper;
            if (x >= 2 && x < 7 && y >= 3 && y < 9) {
                want = (x == 2 || x == 6 || y == 3 || y == 8) ? kRed : kBlue;
            }
            ASSERT_EQ(b.Pixel(x, y), want) << x << "," << y;
        }
    }
    EXPECT_EQ(c.PenPos(), (Point{0, 0}));

    c.Rectangle(-kFar, -kFar, kFar, kFar);  // only the brush shows
    EXPECT_EQ(PixelsOf(b, kBlue).size(), 144U);
    c.SetBrushStyle(BrushStyle::Clear);
    c.FillRect({0, 0, 12, 12});
    c.FillBlack({2, 2, 6, 5});
    EXPECT_EQ(PixelsOf(b, kBlue).size(), 132U);
}

TEST(CanvasText, FillsItsCellWithTheBrushAndMovesThePen) {
    Bitmap b(80, 30, kPaper);
    Canvas c(b);
    c.SetBrushColor(kBlue);
    c.SetFontColor(kYellow);
    c.TextOut(5, 4, "Kb/s 8");
    const std::int32_t w = c.TextWidth("Kb/s 8");
    EXPECT_EQ(c.TextHeight("Kb/s 8"), 13);
    EXPECT_EQ(c.PenPos(), (Point{5 + w, 4}));
    for (std::int32_t y = 0; y < 30; ++y) {
        for (std::int32_t x = 0; x < 80; ++x) {
            const bool inCell = x >= 5 && x < 5 + w && y >= 4 && y < 4 + 13;
            const Color p = b.Pixel(x, y);
            ASSERT_TRUE(inCell ? (p == kBlue || p == kYellow) : p == kPaper) << x << "," << y;
        }
    }
    // A clear brush draws the same glyphs and leaves the rest.
    Bitmap t(80, 30, kPaper);
    Canvas tc(t);
    tc.SetBrushStyle(BrushStyle::Clear);
    tc.SetFontColor(kYellow);
    tc.TextOut(5, 4, "Kb/s 8");
    EXPECT_GT(PixelsOf(t, kYellow).size(), 20U);
    EXPECT_EQ(PixelsOf(t, kYellow), PixelsOf(b, kYellow));
    EXPECT_EQ(PixelsOf(t, kPaper).size() + PixelsOf(t, kYellow).size(), 80U * 30U);
}

TEST(CanvasText, FontHasEqualDigitsAndEveryPrintableWindows1252Character) {
    const BitmapFont& f = ChartFont();
    for (char d = '0'; d <= '9'; ++d) {
        EXPECT_EQ(f.GlyphOf(d).advance, f.GlyphOf('0').advance) << d;
    }
    for (int byte = 0x21; byte <= 0xFF; ++byte) {
        const bool blank = byte == 0x7F || byte == 0x81 || byte == 0x8D || byte == 0x8F ||
                           byte == 0x90 || byte == 0x9D || byte == 0xA0;
        const Glyph& g = f.GlyphOf(static_cast<char>(byte));
        EXPECT_EQ(g.height > 0, !blank) << std::hex << byte;
        EXPECT_GT(g.advance, 0) << std::hex << byte;
        EXPECT_LE(g.top + g.height, f.CellHeight()) << std::hex << byte;
    }
    EXPECT_GT(TextWidth(f, "W"), TextWidth(f, "i"));
}

TEST(CanvasClip, ClipRectangleLimitsEveryPrimitiveAndXorCombines) {
    Bitmap b(20, 20, kPaper);
    Canvas c(b);
    c.SetClipRect({5, 5, 10, 10});
    c.SetPenColor(kRed);
    c.SetBrushColor(kBlue);
    c.FillRect({0, 0, 20, 3});
    c.TextOut(0, 0, "8888");
    c.MoveTo(0, 7);
    c.LineTo(20, 7);
    c.Draw(0, 0, Bitmap(20, 20, 0xFFFFFF), RasterOp::Xor);
    for (std::int32_t y = 0; y < 20; ++y) {
        for (std::int32_t x = 0; x < 20; ++x) {
            const bool inside = x >= 5 && x < 10 && y >= 5 && y < 10;
            const Color want = !inside ? kPaper : y == 7 ? (kRed ^ 0xFFFFFF) : b.Pixel(x, y);
            ASSERT_EQ(b.Pixel(x, y), want) << x << "," << y;
        }
    }
    EXPECT_NE(b.Pixel(5, 5), kPaper);  // the text's background, inverted
    c.ClearClipRect();
    c.Draw(18, 18, Bitmap(4, 4, kYellow));
    EXPECT_EQ(b.Pixel(19, 19), kYellow);
}

class BmpFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_FALSE(dir.empty());
        sample.SetPixel(0, 0, MakeColor(1, 2, 3));
        sample.SetPixel(0, 1, MakeColor(200, 100, 50));
        sample.SetPixel(2, 1, MakeColor(255, 255, 144));
    }
    fixtures::TempDir temp;
    fs::path dir = temp.path();
    Bitmap sample{3, 2, 0x000000};
};

TEST_F(BmpFileTest, HeadersThenPaddedBottomUpRowsOfBlueGreenRed) {
    const auto bytes = EncodeBmp(sample);
    ASSERT_EQ(bytes.size(), 14U + 40U + 2U * 12U);  // 9 bytes a row, padded to 12
    const auto h = DecodeBmpHeader(bytes);
    ASSERT_TRUE(h.has_value());
    EXPECT_EQ(h->fileSize, bytes.size());
    EXPECT_EQ(h->pixelOffset, 54U);
    EXPECT_EQ(h->infoSize, 40U);
    EXPECT_EQ(h->width, 3);
    EXPECT_EQ(h->height, 2);  // positive: bottom-up
    EXPECT_EQ(h->planes, 1);
    EXPECT_EQ(h->bitCount, 24);
    EXPECT_EQ(h->compression, 0U);
    EXPECT_EQ(h->imageSize, 24U);
    const std::vector<std::uint8_t> pixels(bytes.begin() + 54, bytes.end());
    EXPECT_EQ(pixels, (std::vector<std::uint8_t>{50, 100, 200, 0, 0, 0, 144, 255, 255, 0, 0, 0,
                                                 3,  2,   1,   0, 0, 0, 0,   0,   0,   0, 0, 0}));
    EXPECT_EQ(DecodeBmpHeader(EncodeBmp(Bitmap(591, 352)))->imageSize, 1776U * 352U);
    // A row that fills whole 4-byte groups gets no padding.
    EXPECT_EQ(EncodeBmp(Bitmap(4, 2)).size(), 14U + 40U + 2U * 12U);
    EXPECT_FALSE(DecodeBmp(std::vector<std::uint8_t>(60, 'B')).has_value());
}

TEST_F(BmpFileTest, SavedFileReadsBackWhateverItsExtension) {
    for (const char* name : {"run.bmp", "run.txt"}) {
        ASSERT_EQ(WriteBmpFile((dir / name).string(), sample), std::error_code());
        const auto back = LoadBmpFile((dir / name).string());
        ASSERT_TRUE(back.has_value());
        EXPECT_EQ(*back, sample);
    }
}

TEST_F(BmpFileTest, FailedSaveSaysWhyAndLeavesEarlierFilesAlone) {
    const std::string good = (dir / "good.bmp").string();
    ASSERT_EQ(WriteBmpFile(good, sample), std::error_code());
    EXPECT_EQ(WriteBmpFile((dir / "missing" / "run.bmp").string(), sample),
              std::errc::no_such_file_or_directory);
    EXPECT_EQ(WriteBmpFile((dir / "good.bmp" / "run.bmp").string(), Bitmap(5, 5)),
              std::errc::not_a_directory);
    // A folder in the target's place cannot be replaced: it stays, with its contents.
    fs::create_directory(dir / "taken.bmp");
    std::ofstream(dir / "taken.bmp" / "keep") << "earlier";
    EXPECT_EQ(WriteBmpFile((dir / "taken.bmp").string(), sample), std::errc::is_a_directory);
    EXPECT_TRUE(fs::exists(dir / "taken.bmp" / "keep"));

    EXPECT_EQ(*LoadBmpFile(good), sample);
    std::vector<std::string> left;
    for (const auto& e : fs::directory_iterator(dir)) {
        left.push_back(e.path().filename().string());
    }
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"good.bmp", "taken.bmp"}));  // no temporaries
}

}  // namespace
