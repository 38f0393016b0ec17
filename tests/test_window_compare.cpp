// The window's comparison of runs of one disc: an earlier run drawn behind the run on the
// chart, live or after it, its verdict across the status bar, and the catalogue that files
// every run measured.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/BmpFile.h"
#include "results/Catalogue.h"
#include "results/ChartFrame.h"
#include "results/ComparisonChart.h"
#include "support/TempDir.h"
#include "support/WindowFixture.h"
#include "ui/qt/BitmapImage.h"

namespace {

using fixtures::InTempDir;
using fixtures::Window;
using run::FileDialog;
namespace fs = std::filesystem;

using fakes::AgedSmallDisc;

// A run of the disc measured in its own window and saved under `name`.
void MeasureAndSave(const platform::SimDiscParams& disc, const std::string& name) {
    Window w(disc);
    w.form->Button1Click();
    w.RunToEnd();
    w.prompts->answers = {name};
    w.form->SaveData1Click();
    ASSERT_TRUE(fs::exists(name));
}

int Count(const platform::Bitmap& chart, platform::Color color) {
    int n = 0;
    for (const platform::Color pixel : chart.Pixels()) {
        n += pixel == color ? 1 : 0;
    }
    return n;
}

// The pixel of the curve at 8000 KB/s, the small disc's speed, over block `block`.
platform::Color AtFullSpeed(ui::qt::TForm1& f, std::int32_t block) {
    const run::RunState& s = f.State();
    return f.ChartPicture().bitmap.Pixel(results::BlockToX(s, block) + 1,
                                         results::TruncPixel(results::SpeedToPointY(s, 8000)));
}

bool SamePixels(const platform::Bitmap& a, const platform::Bitmap& b) {
    return std::ranges::equal(a.Pixels(), b.Pixels());
}

std::string Bytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

QString Note(const Window& w) {
    return w.form->StatusBar1()->Note();
}

TEST(WindowCompare, AnEarlierRunIsDrawnBehindTheLoadedRunAndGoesWithTheNextLoad) {
    InTempDir temp;
    MeasureAndSave(fakes::SmallDisc(), "young.dat");
    MeasureAndSave(AgedSmallDisc(), "aged.dat");
    MeasureAndSave(fakes::SmallDisc(30000), "other.dat");

    Window w;
    ui::qt::TForm1& f = *w.form;
    w.prompts->answers = {"young.dat"};
    f.LoadData1()->trigger();
    const platform::Bitmap plain = f.ChartPicture().bitmap;

    // Another disc's run is refused and changes nothing.
    w.prompts->answers = {"other.dat"};
    f.CompareWith1()->trigger();
    EXPECT_EQ(w.prompts->asked.back(), FileDialog::CompareWith);
    ASSERT_EQ(w.prompts->errors.size(), 1u);
    EXPECT_EQ(w.prompts->errors[0].rfind("Not a run of the disc on the chart: volumes of different "
                                         "sizes: 30000 sectors in the earlier run",
                                         0),
              0u)
        << w.prompts->errors[0];
    EXPECT_TRUE(SamePixels(f.ChartPicture().bitmap, plain));

    // The aged run behind the young one: its slow blocks show where the young curve is
    // not, its unreadable block is marked over the zero line, and nothing else of the young
    // run's chart changes but the field, the grid and the legend's row.
    w.prompts->answers = {"aged.dat"};
    f.CompareWith1()->trigger();
    const platform::Bitmap& shown = f.ChartPicture().bitmap;
    const run::RunState& s = f.State();
    EXPECT_EQ(Note(w), "Better: 1 recovered");
    EXPECT_EQ(shown.Pixel(results::BlockToX(s, 10), s.Baseline - 1), results::kEarlierErrorColor);
    int changed = 0;
    for (std::int32_t y = 0; y < shown.Height(); ++y) {
        for (std::int32_t x = 0; x < shown.Width(); ++x) {
            const platform::Color was = plain.Pixel(x, y);
            const platform::Color now = shown.Pixel(x, y);
            if (now == was) {
                continue;
            }
            ++changed;
            const bool field = was == s.ChartBackColor || was == s.GridColor;
            const bool mark = now == results::kEarlierErrorColor &&
                              (y >= s.Baseline - 2 || y >= results::kLegendRow);
            ASSERT_TRUE((field && now == results::kEarlierCurveColor) || mark) << x << "," << y;
        }
    }
    EXPECT_GT(changed, 0);
    // The picture the window shows is the chart with the comparison on it.
    const QImage view = f.Image1()->grab().toImage();
    const int markX = results::BlockToX(s, 10);
    EXPECT_EQ(view.pixelColor(markX, s.Baseline - 1),
              QColor(platform::RedOf(results::kEarlierErrorColor),
                     platform::GreenOf(results::kEarlierErrorColor),
                     platform::BlueOf(results::kEarlierErrorColor)));

    // Save Graphic saves what is shown; Save Data the run's own document only.
    w.prompts->answers = {"shown.bmp", "saved.dat"};
    f.SaveGraphic1Click();
    f.SaveData1Click();
    const auto saved = platform::LoadBmpFile("shown.bmp");
    ASSERT_TRUE(saved);
    EXPECT_TRUE(SamePixels(*saved, shown));
    EXPECT_EQ(Bytes("saved.dat"), Bytes("young.dat"));

    // Chosen again, the earlier run takes the place of the one drawn, not a place beside it.
    w.prompts->answers = {"aged.dat"};
    f.CompareWith1()->trigger();
    EXPECT_TRUE(SamePixels(f.ChartPicture().bitmap, *saved));

    // Loading a run drops the comparison.
    w.prompts->answers = {"young.dat"};
    f.LoadData1()->trigger();
    EXPECT_EQ(Note(w), "");
    EXPECT_TRUE(SamePixels(f.ChartPicture().bitmap, plain));
}

TEST(WindowCompare, ARunChosenBeforeAnyIsDrawnBehindTheNextRunAsItGoes) {
    InTempDir temp;
    MeasureAndSave(fakes::SmallDisc(), "young.dat");

    Window w(AgedSmallDisc());
    ui::qt::TForm1& f = *w.form;
    w.prompts->answers = {"young.dat"};
    f.CompareWith1()->trigger();
    EXPECT_EQ(Note(w), "The next run is compared with young.dat");
    f.Button1Click();
    // The note makes way for the run's panels, and the earlier curve runs ahead of the run.
    EXPECT_EQ(Note(w), "");
    EXPECT_EQ(AtFullSpeed(f, 15), results::kEarlierCurveColor);
    w.RunToEnd();
    EXPECT_NE(AtFullSpeed(f, 15), results::kEarlierCurveColor);  // the run drew over it
    EXPECT_EQ(AtFullSpeed(f, 5), results::kEarlierCurveColor);   // where it was slower
    EXPECT_EQ(Note(w), "Worse: 1 new unreadable, 1 slower region");
    EXPECT_EQ(w.Panel(run::Panel::State), "Complete");

    // Another run starts without it.
    f.Button1Click();
    EXPECT_EQ(Note(w), "");
    w.RunToEnd();
    EXPECT_EQ(Count(f.ChartPicture().bitmap, results::kEarlierCurveColor), 0);
    EXPECT_EQ(Note(w), "");
}

TEST(WindowCompare, TheCatalogueFilesEveryRunAndComparesItWithTheDiscsLastRun) {
    fixtures::TempDir dir;
    const fs::path catalogue = dir.path() / "catalogue";
    {
        Window w;
        w.form->Comparison().SetCatalogue(catalogue.string());
        w.form->Button1Click();
        w.RunToEnd();
        EXPECT_EQ(Note(w), "Filed: the disc's first run in the catalogue");
    }
    Window w(AgedSmallDisc());
    ui::qt::TForm1& f = *w.form;
    f.Comparison().SetCatalogue(catalogue.string());
    f.Button1Click();
    EXPECT_EQ(AtFullSpeed(f, 15), results::kEarlierCurveColor);
    // Stopped halfway, the run is filed and compared as far as it went.
    while (f.State().BlockIndex < 12) {
        f.Timer1Timer();
    }
    f.Button2Click();
    w.RunToEnd();
    EXPECT_EQ(w.Panel(run::Panel::State), "System Stopped");
    EXPECT_EQ(Note(w), "Worse: 1 new unreadable, 1 slower region");
    EXPECT_TRUE(w.prompts->errors.empty());

    // Two runs of one disc, each with its side file.
    ASSERT_EQ(std::distance(fs::directory_iterator(catalogue), fs::directory_iterator()), 1);
    const std::string folder = results::DiscFolderOf(catalogue.string(), f.State().DiscId);
    const results::DiscRuns runs = results::ListDiscRuns(folder);
    ASSERT_EQ(runs.runs.size(), 2u);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 4);
    ASSERT_EQ(results::WriteDocument(f.Document(), (dir / "shown.dat").string()),
              std::error_code());
    EXPECT_EQ(Bytes(results::RunFilePath(folder, runs.runs[1], results::kRunExtension)),
              Bytes(dir / "shown.dat"));
    const std::string side =
        Bytes(results::RunFilePath(folder, runs.runs[1], results::kSideExtension));
    EXPECT_NE(side.find("\"ended\": \"stopped\""), std::string::npos) << side;
    EXPECT_NE(side.find("\"verdict\": \"worse\""), std::string::npos) << side;

    // A catalogue that cannot take the run says so, and the run stays on the chart.
    fs::remove_all(catalogue);
    std::ofstream(catalogue) << "a file, not a folder";
    f.Button1Click();
    w.RunToEnd();
    ASSERT_EQ(w.prompts->errors.size(), 1u);
    EXPECT_EQ(w.prompts->errors[0].rfind("The run was not filed in the catalogue: ", 0), 0u)
        << w.prompts->errors[0];
    EXPECT_EQ(w.Panel(run::Panel::State), "Complete");
}

}  // namespace
