// Drawing on a bitmap: lines, dotted pens, rectangles, text, clipping, raster operations and
// BMP files.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <string>
#include <vector>

#include "platform/Bitmap.h"
#include "platform/BitmapFont.h"
#include "platform/BmpFile.h"
#include "platform/Canvas.h"

namespace fs = std::filesystem;
using namespace platform;

namespace {

constexpr Color kPaper = 0x101010;
constexpr Color kRed = 0x0000FF;
constexpr Color kBlue = 0xFF0000;
constexpr Color kYellow = 0x00FFFF;
constexpr std::int32_t kFar = 2'000'000'000;

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

// The part of `big` that starts at (left, top) and has the size of `small`.
Bitmap Crop(const Bitmap& big, std::int32_t left, std::int32_t top, std::int32_t w,
            std::int32_t h) {
    Bitmap out(w, h);
    for (std::int32_t y = 0; y < h; ++y) {
        for (std::int32_t x = 0; x < w; ++x) {
            out.SetPixel(x, y, big.Pixel(left + x, top + y));
        }
    }
    return out;
}

TEST(CanvasLine, PaintsFromStartToJustBeforeTheEndAndMovesThePen) {
    Bitmap b(20, 20, kPaper);
    Canvas c(b);
    c.SetPenColor(kRed);
    c.MoveTo(2, 5);
    c.LineTo(9, 5);
    EXPECT_EQ(c.PenPos(), (Point{9, 5}));
    c.LineTo(9, 12);  // continues from the pen position, so (9, 5) is painted now
    std::vector<Point> expected;
    for (std::int32_t x = 2; x <= 9; ++x) {
        expected.push_back({x, 5});
    }
    for (std::int32_t y = 6; y < 12; ++y) {
        expected.push_back({9, y});
    }
    EXPECT_EQ(PixelsOf(b, kRed), expected);

    // A diagonal paints one pixel per step, the end point excluded; a zero-length line
    // paints nothing.
    Bitmap d(10, 10, kPaper);
    Canvas dc(d);
    dc.SetPenColor(kRed);
    dc.MoveTo(7, 1);
    dc.LineTo(1, 7);
    dc.LineTo(1, 7);
    EXPECT_EQ(PixelsOf(d, kRed),
              (std::vector<Point>{{7, 1}, {6, 2}, {5, 3}, {4, 4}, {3, 5}, {2, 6}}));
}

TEST(CanvasLine, ShallowAndSteepLinesPaintOnePixelPerStepNearTheTrueLine) {
    Bitmap b(30, 30, kPaper);
    Canvas c(b);
    c.SetPenColor(kRed);
    c.MoveTo(0, 0);
    c.LineTo(20, 7);
    c.SetPenColor(kBlue);
    c.MoveTo(29, 29);
    c.LineTo(22, 9);
    std::vector<int> perColumn(30, 0);
    for (const Point& p : PixelsOf(b, kRed)) {
        ++perColumn[static_cast<std::size_t>(p.x)];
        EXPECT_LE(std::abs(p.y * 20 - p.x * 7), 10) << p.x << "," << p.y;  // within half a pixel
    }
    for (std::int32_t x = 0; x < 30; ++x) {
        EXPECT_EQ(perColumn[static_cast<std::size_t>(x)], x < 20 ? 1 : 0) << x;
    }
    std::vector<int> perRow(30, 0);
    for (const Point& p : PixelsOf(b, kBlue)) {
        ++perRow[static_cast<std::size_t>(p.y)];
        EXPECT_LE(std::abs((29 - p.x) * 20 - (29 - p.y) * 7), 10) << p.x << "," << p.y;
    }
    for (std::int32_t y = 0; y < 30; ++y) {
        EXPECT_EQ(perRow[static_cast<std::size_t>(y)], y > 9 ? 1 : 0) << y;
    }
}

TEST(CanvasLine, ClippingKeepsExactlyThePixelsOfTheWholeLine) {
    // The same lines on a big picture and on a small one that sees only a window of it.
    const std::int32_t ox = 40;
    const std::int32_t oy = 30;
    const Point ends[][2] = {
        {{-30, -17}, {120, 95}}, {{130, 5}, {-20, 77}},  {{50, -40}, {61, 140}},
        {{-5, 60}, {150, 59}},   {{90, 140}, {13, -33}}, {{0, 0}, {149, 149}},
    };
    for (const auto& e : ends) {
        Bitmap big(200, 200, kPaper);
        Canvas bc(big);
        bc.SetPenColor(kRed);
        bc.MoveTo(e[0].x + ox, e[0].y + oy);
        bc.LineTo(e[1].x + ox, e[1].y + oy);

        Bitmap small(60, 50, kPaper);
        Canvas sc(small);
        sc.SetPenColor(kRed);
        sc.MoveTo(e[0].x, e[0].y);
        sc.LineTo(e[1].x, e[1].y);
        EXPECT_EQ(small, Crop(big, ox, oy, 60, 50)) << e[0].x << "," << e[0].y;
    }
}

TEST(CanvasLine, HugeCoordinatesPaintOnlyTheVisiblePart) {
    Bitmap b(100, 50, kPaper);
    Canvas c(b);
    c.SetPenColor(kRed);
    c.MoveTo(10, 20);
    c.LineTo(kFar, 20);  // would take seconds if walked pixel by pixel
    EXPECT_EQ(PixelsOf(b, kRed).size(), 90U);
    EXPECT_EQ(c.PenPos(), (Point{kFar, 20}));

    // Slope 1/2 from far off to far off: the visible pixels lie on y = x / 2 + 10.
    Bitmap s(100, 100, kPaper);
    Canvas sc(s);
    sc.SetPenColor(kRed);
    sc.MoveTo(-kFar, -kFar / 2 + 10);
    sc.LineTo(kFar, kFar / 2 + 10);
    const auto pixels = PixelsOf(s, kRed);
    EXPECT_EQ(pixels.size(), 100U);
    for (const Point& p : pixels) {
        EXPECT_LE(std::abs(2 * (p.y - 10) - p.x), 1) << p.x << "," << p.y;
    }

    // The extremes of the coordinate range neither overflow nor paint off the picture.
    constexpr auto kMin = std::numeric_limits<std::int32_t>::min();
    constexpr auto kMax = std::numeric_limits<std::int32_t>::max();
    Bitmap e(16, 16, kPaper);
    Canvas ec(e);
    ec.SetPenColor(kRed);
    ec.MoveTo(kMin, kMin);
    ec.LineTo(kMax, kMax);
    ec.LineTo(kMin, kMax);
    ec.LineTo(kMax, kMin);
    ec.Rectangle(kMin, kMin, kMax, kMax);
    ec.TextOut(kMax, kMax, "far away");
    ec.TextOut(kMin, 3, std::string(1000, 'W'));
    ec.Ellipse(kMin, kMin, kMax, kMax);
    EXPECT_EQ(e.Width(), 16);
}

TEST(CanvasLine, DottedPenPaintsThreeOnThreeOffWithGapsInTheBrushColour) {
    Bitmap b(20, 3, kPaper);
    Canvas c(b);
    c.SetPenColor(kRed);
    c.SetBrushColor(kBlue);
    c.SetPenStyle(PenStyle::Dotted);
    c.MoveTo(1, 1);
    c.LineTo(16, 1);
    const std::string expected = ".RRRBBBRRRBBBRRR...";
    for (std::int32_t x = 0; x < 19; ++x) {
        const char want = expected[static_cast<std::size_t>(x)];
        const Color colour = want == 'R' ? kRed : want == 'B' ? kBlue : kPaper;
        EXPECT_EQ(b.Pixel(x, 1), colour) << x;
    }

    // With a clear brush the gaps keep what was there.
    c.SetBrushStyle(BrushStyle::Clear);
    c.MoveTo(1, 2);
    c.LineTo(10, 2);
    EXPECT_EQ(b.Pixel(3, 2), kRed);
    EXPECT_EQ(b.Pixel(4, 2), kPaper);
    // Choosing a brush colour makes the brush solid again.
    c.SetBrushColor(kYellow);
    EXPECT_EQ(c.GetBrushStyle(), BrushStyle::Solid);
}

TEST(CanvasRectangle, OutlinesWithThePenFillsWithTheBrushAndExcludesRightAndBottom) {
    Bitmap b(12, 12, kPaper);
    Canvas c(b);
    c.SetPenColor(kRed);
    c.SetBrushColor(kBlue);
    c.MoveTo(0, 0);
    c.Rectangle(2, 3, 7, 9);
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

    // Corners given the other way round draw the same rectangle.
    Bitmap d(12, 12, kPaper);
    Canvas dc(d);
    dc.SetPenColor(kRed);
    dc.SetBrushColor(kBlue);
    dc.Rectangle(7, 9, 2, 3);
    EXPECT_EQ(d, b);

    // The whole picture and more: only the brush shows.
    c.Rectangle(-kFar, -kFar, kFar, kFar);
    EXPECT_EQ(PixelsOf(b, kBlue).size(), 144U);
}

TEST(CanvasRectangle, FillRectAndBlacknessIgnoreThePen) {
    Bitmap b(8, 8, kPaper);
    Canvas c(b);
    c.SetPenColor(kRed);
    c.SetBrushColor(kBlue);
    c.FillRect({1, 1, 4, 3});
    EXPECT_EQ(PixelsOf(b, kBlue).size(), 6U);
    EXPECT_TRUE(PixelsOf(b, kRed).empty());
    c.SetBrushStyle(BrushStyle::Clear);
    c.FillRect({0, 0, 8, 8});
    EXPECT_EQ(PixelsOf(b, kBlue).size(), 6U);
    c.FillBlack({2, 2, 6, 6});
    EXPECT_EQ(PixelsOf(b, 0x000000).size(), 16U);
}

TEST(CanvasText, FillsTheCellWithTheBrushAndMovesThePen) {
    Bitmap b(80, 30, kPaper);
    Canvas c(b);
    c.SetBrushColor(kBlue);
    c.SetFontColor(kYellow);
    c.TextOut(5, 4, "Kb/s 8");
    const std::int32_t w = c.TextWidth("Kb/s 8");
    const std::int32_t h = c.TextHeight("Kb/s 8");
    EXPECT_EQ(h, 13);
    EXPECT_EQ(c.PenPos(), (Point{5 + w, 4}));
    int ink = 0;
    for (std::int32_t y = 0; y < 30; ++y) {
        for (std::int32_t x = 0; x < 80; ++x) {
            const bool inCell = x >= 5 && x < 5 + w && y >= 4 && y < 4 + h;
            const Color p = b.Pixel(x, y);
            if (inCell) {
                ASSERT_TRUE(p == kBlue || p == kYellow) << x << "," << y;
                ink += p == kYellow ? 1 : 0;
            } else {
                ASSERT_EQ(p, kPaper) << x << "," << y;
            }
        }
    }
    EXPECT_GT(ink, 20);

    // A clear brush leaves the background and draws the same glyphs.
    Bitmap t(80, 30, kPaper);
    Canvas tc(t);
    tc.SetBrushStyle(BrushStyle::Clear);
    tc.SetFontColor(kYellow);
    tc.TextOut(5, 4, "Kb/s 8");
    EXPECT_EQ(PixelsOf(t, kYellow), PixelsOf(b, kYellow));
    EXPECT_EQ(PixelsOf(t, kPaper).size(), 80U * 30U - static_cast<std::size_t>(ink));
}

TEST(CanvasText, FontHasEqualDigitsAndEveryPrintableWindows1252Character) {
    const BitmapFont& f = ChartFont();
    for (char d = '0'; d <= '9'; ++d) {
        EXPECT_EQ(f.GlyphOf(d).advance, f.GlyphOf('0').advance) << d;
    }
    EXPECT_EQ(f.CellHeight(), 13);
    for (int byte = 0x21; byte <= 0xFF; ++byte) {
        const bool unassigned = byte == 0x7F || byte == 0x81 || byte == 0x8D || byte == 0x8F ||
                                byte == 0x90 || byte == 0x9D || byte == 0xA0;
        const Glyph& g = f.GlyphOf(static_cast<char>(byte));
        EXPECT_EQ(g.height > 0, !unassigned) << std::hex << byte;
        EXPECT_GT(g.advance, 0) << std::hex << byte;
        EXPECT_LE(g.top + g.height, f.CellHeight()) << std::hex << byte;
    }
    EXPECT_GT(TextWidth(f, "W"), TextWidth(f, "i"));  // proportional
}

TEST(CanvasClip, ClipRectangleLimitsEveryPrimitive) {
    Bitmap b(20, 20, kPaper);
    Canvas c(b);
    c.SetClipRect({5, 5, 10, 10});
    c.SetPenColor(kRed);
    c.SetBrushColor(kBlue);
    c.FillRect({0, 0, 20, 3});
    c.TextOut(0, 0, "8888");
    c.MoveTo(0, 7);
    c.LineTo(20, 7);
    for (std::int32_t y = 0; y < 20; ++y) {
        for (std::int32_t x = 0; x < 20; ++x) {
            if (x < 5 || x >= 10 || y < 5 || y >= 10) {
                ASSERT_EQ(b.Pixel(x, y), kPaper) << x << "," << y;
            }
        }
    }
    EXPECT_EQ(b.Pixel(5, 7), kRed);
    EXPECT_EQ(b.Pixel(9, 7), kRed);
    c.ClearClipRect();
    c.MoveTo(0, 15);
    c.LineTo(20, 15);
    EXPECT_EQ(b.Pixel(0, 15), kRed);
}

TEST(CanvasRaster, XorCombinesAndCopyReplaces) {
    Bitmap dst(4, 4, 0x00F0F0);
    Bitmap src(2, 2, 0xFFFFFF);
    src.SetPixel(1, 1, 0x0000FF);
    Canvas c(dst);
    c.Draw(1, 1, src, RasterOp::Xor);
    EXPECT_EQ(dst.Pixel(0, 0), 0x00F0F0U);
    EXPECT_EQ(dst.Pixel(1, 1), 0xFF0F0FU);
    EXPECT_EQ(dst.Pixel(2, 2), 0x00F00FU);
    c.Draw(3, 3, src, RasterOp::Copy);  // only its top left pixel lands on the picture
    EXPECT_EQ(dst.Pixel(3, 3), 0xFFFFFFU);
    c.Draw(-kFar, kFar, src, RasterOp::Copy);
}

TEST(CanvasShapes, EllipseAndPieAreSymmetricAndFilled) {
    Bitmap b(21, 21, kPaper);
    Canvas c(b);
    c.SetPenColor(kRed);
    c.SetBrushColor(kBlue);
    c.Ellipse(0, 0, 21, 21);
    EXPECT_EQ(b.Pixel(10, 10), kBlue);
    EXPECT_EQ(b.Pixel(0, 10), kRed);
    EXPECT_EQ(b.Pixel(20, 10), kRed);
    EXPECT_EQ(b.Pixel(10, 0), kRed);
    EXPECT_EQ(b.Pixel(0, 0), kPaper);
    EXPECT_EQ(b.Pixel(20, 20), kPaper);
    for (std::int32_t y = 0; y < 21; ++y) {
        for (std::int32_t x = 0; x < 21; ++x) {
            ASSERT_EQ(b.Pixel(x, y), b.Pixel(20 - x, y));
            ASSERT_EQ(b.Pixel(x, y), b.Pixel(x, 20 - y));
        }
    }

    // From three o'clock counter-clockwise to twelve: the upper right quarter only.
    Bitmap p(21, 21, kPaper);
    Canvas pc(p);
    pc.SetPenColor(kRed);
    pc.SetBrushColor(kBlue);
    pc.Pie(0, 0, 21, 21, 20, 10, 10, 0);
    EXPECT_EQ(p.Pixel(15, 5), kBlue);
    EXPECT_EQ(p.Pixel(5, 5), kPaper);
    EXPECT_EQ(p.Pixel(5, 15), kPaper);
    EXPECT_EQ(p.Pixel(15, 15), kPaper);
}

class BmpFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "discometer-bmp-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir = pattern;
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
    fs::path dir;
};

Bitmap Sample() {
    Bitmap b(3, 2, 0x000000);
    b.SetPixel(0, 0, MakeColor(1, 2, 3));
    b.SetPixel(2, 0, MakeColor(10, 20, 30));
    b.SetPixel(0, 1, MakeColor(200, 100, 50));
    b.SetPixel(2, 1, MakeColor(255, 255, 144));
    return b;
}

TEST_F(BmpFileTest, HeadersAndPaddedBottomUpRows) {
    const auto bytes = EncodeBmp(Sample());
    // 3 pixels of 3 bytes padded to 12 bytes a row.
    ASSERT_EQ(bytes.size(), 14U + 40U + 2U * 12U);
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
    // The first stored row is the bottom one, blue green red.
    EXPECT_EQ(bytes[54], 50);
    EXPECT_EQ(bytes[55], 100);
    EXPECT_EQ(bytes[56], 200);
    EXPECT_EQ(bytes[54 + 6], 144);
    EXPECT_EQ(bytes[54 + 8], 255);
    EXPECT_EQ(bytes[54 + 9], 0);  // padding
    EXPECT_EQ(bytes[66], 3);
    EXPECT_EQ(bytes[67], 2);
    EXPECT_EQ(bytes[68], 1);

    // The chart's own size: 591 x 3 bytes is padded to 1776.
    const auto chart = DecodeBmpHeader(EncodeBmp(Bitmap(591, 352)));
    EXPECT_EQ(chart->imageSize, 1776U * 352U);
}

TEST_F(BmpFileTest, SavedFileReadsBackPixelForPixel) {
    const std::string path = (dir / "run.bmp").string();
    ASSERT_TRUE(SaveBmpFile(path, Sample()));
    const auto back = LoadBmpFile(path);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(*back, Sample());
    // Any extension: the bytes are a bitmap all the same.
    ASSERT_TRUE(SaveBmpFile((dir / "run.txt").string(), Sample()));
    EXPECT_EQ(*LoadBmpFile((dir / "run.txt").string()), Sample());
    EXPECT_FALSE(DecodeBmp(std::vector<std::uint8_t>(10, 'B')).has_value());
}

TEST_F(BmpFileTest, FailedSaveReportsFalseAndLeavesEarlierFilesAlone) {
    EXPECT_FALSE(SaveBmpFile((dir / "missing" / "run.bmp").string(), Sample()));
    EXPECT_FALSE(fs::exists(dir / "missing"));

    // A folder in the target's place cannot be replaced: it stays, with its contents.
    fs::create_directory(dir / "taken.bmp");
    { std::ofstream(dir / "taken.bmp" / "keep") << "earlier"; }
    EXPECT_FALSE(SaveBmpFile((dir / "taken.bmp").string(), Sample()));
    EXPECT_TRUE(fs::is_directory(dir / "taken.bmp"));
    EXPECT_TRUE(fs::exists(dir / "taken.bmp" / "keep"));

    // An earlier good file survives a later failed save and no temporary files are left.
    const std::string good = (dir / "good.bmp").string();
    ASSERT_TRUE(SaveBmpFile(good, Sample()));
    EXPECT_FALSE(SaveBmpFile((dir / "good.bmp" / "x.bmp").string(), Bitmap(5, 5)));
    EXPECT_EQ(*LoadBmpFile(good), Sample());
    std::size_t entries = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir)) {
        ++entries;
    }
    EXPECT_EQ(entries, 2U);  // taken.bmp and good.bmp
}

}  // namespace
