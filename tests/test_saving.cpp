// Saving the picture and the document, by hand and automatically.
#include <gtest/gtest.h>
#include <filesystem>
#include <fstream>

#include "platform/BmpFile.h"
#include "results/ResultsDocument.h"
#include "results/Saving.h"
#include "support/CurrentFolder.h"
#include "support/RunFakes.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;
using run::Control;
using run::MenuMark;

namespace {

platform::SimDiscParams Labelled(std::string label) {
    auto disc = fakes::SmallDisc();
    disc.volumeId = std::move(label);
    return disc;
}

}  // namespace

TEST(AutoSaveName, KeepsTheLabelButNeverPicksTheFolder) {
    using results::AutoSaveBaseName;
    EXPECT_EQ(AutoSaveBaseName("MYDISC" + std::string(26, ' ')), "MYDISC" + std::string(26, ' '));
    EXPECT_EQ(AutoSaveBaseName("../../etc/x"), ".._.._etc_x");
    EXPECT_EQ(AutoSaveBaseName(std::string("A\0B", 3)), "A_B");
    EXPECT_EQ(AutoSaveBaseName("."), "_");
    EXPECT_EQ(AutoSaveBaseName(".."), "__");
    EXPECT_EQ(AutoSaveBaseName("..."), "...");
    // Escape sequences from the disc would recolour the terminal of whoever lists the folder.
    EXPECT_EQ(AutoSaveBaseName("\x1b[31mRED\x1b]0;TITLE\x07\x7f\x1f "), "_[31mRED_]0;TITLE___ ");
}

TEST_F(InCurrentFolder, AutoSaveWritesBothFilesUnderTheLabelAndShowsTheNote) {
    fakes::Program p(Labelled("MYDISC"));
    p.window.SetChecked(MenuMark::AutoSave, true);
    ASSERT_TRUE(p.Start());
    p.RunToEnd();
    const std::string base = "MYDISC" + std::string(26, ' ');
    EXPECT_EQ(Files(), (std::vector<std::string>{base + ".bmp", base + ".dat"}));
    EXPECT_EQ(p.prompts.messages,
              std::vector<std::string>{"Note: Graphic and Data Saved in .bmp and .dat Files"});
    EXPECT_TRUE(p.prompts.errors.empty());
    EXPECT_FALSE(p.window.IsEnabled(Control::SaveGraphic));  // keep their earlier state
    EXPECT_FALSE(p.window.IsEnabled(Control::SaveData));
    EXPECT_TRUE(p.window.IsEnabled(Control::FilesMenu));

    const auto picture = platform::LoadBmpFile(base + ".bmp");
    ASSERT_TRUE(picture.has_value());
    EXPECT_EQ(*picture, p.chart.bitmap);  // with the summary drawn on it
    EXPECT_EQ(fixtures::ReadBytes(base + ".dat"), results::DocumentBytes(p.dataList));

    // A second run on a disc of the same label replaces both without asking.
    fakes::Program q(Labelled("MYDISC"));
    q.window.SetChecked(MenuMark::AutoSave, true);
    ASSERT_TRUE(q.Start());
    q.state.StopRequest = true;
    q.Tick();
    EXPECT_EQ(fixtures::ReadBytes(base + ".dat"), results::DocumentBytes(q.dataList));
    EXPECT_EQ(q.window.Panel(run::Panel::State), "System Stopped");
    EXPECT_EQ(q.prompts.messages.size(), 1u);  // a stopped run is saved the same way
}

TEST_F(InCurrentFolder, HostileLabelsStayInTheCurrentFolder) {
    for (const std::string& label :
         {std::string("../escape"), std::string("NUL\0IN", 6), std::string("/etc/passwd")}) {
        fakes::Program p(Labelled(label));
        p.window.SetChecked(MenuMark::AutoSave, true);
        ASSERT_TRUE(p.Start());
        p.RunToEnd();
        EXPECT_TRUE(p.prompts.errors.empty()) << label;
    }
    EXPECT_EQ(Files().size(), 6u);
    EXPECT_FALSE(
        fs::exists(here_.Path().parent_path() / ("escape" + std::string(23, ' ') + ".bmp")));
}

TEST_F(InCurrentFolder, FailedAutoSaveIsShownAndOffersTheSaveCommands) {
    // A folder where the picture should go: it cannot be replaced by a file.
    const std::string base = "BLOCKED" + std::string(25, ' ');
    fs::create_directory(base + ".bmp");
    fakes::Program p(Labelled("BLOCKED"));
    p.window.SetChecked(MenuMark::AutoSave, true);
    ASSERT_TRUE(p.Start());
    p.RunToEnd();
    // Named with the folder, which the user never chose.
    EXPECT_EQ(p.prompts.errors,
              std::vector<std::string>{"Cannot create file " +
                                       (fs::current_path() / (base + ".bmp")).string() +
                                       ": Is a directory"});
    EXPECT_TRUE(p.prompts.messages.empty());  // no success note for a failure
    EXPECT_TRUE(p.window.IsEnabled(Control::SaveGraphic));
    EXPECT_TRUE(p.window.IsEnabled(Control::SaveData));
    EXPECT_TRUE(p.window.IsEnabled(Control::FilesMenu));
    // The data file is written all the same.
    EXPECT_EQ(fixtures::ReadBytes(base + ".dat"), results::DocumentBytes(p.dataList));
    EXPECT_TRUE(fs::is_directory(base + ".bmp"));
    EXPECT_EQ(Files().size(), 2u);  // no temporary file left behind
}

TEST_F(InCurrentFolder, SavingByHandWritesTheChosenFilesAndReportsFailures) {
    fakes::Program p;
    ASSERT_TRUE(p.Start());
    p.RunToEnd();
    std::ofstream("earlier.dat") << "earlier";

    p.prompts.answers = {std::nullopt, "run.picture", "earlier.dat", "missing/dir/run.dat"};
    results::SaveGraphic(p.ctx);  // cancelled
    EXPECT_TRUE(Files() == (std::vector<std::string>{"earlier.dat"}));
    results::SaveGraphic(p.ctx);
    EXPECT_TRUE(platform::LoadBmpFile("run.picture").has_value());  // a bitmap whatever the name
    results::SaveData(p.ctx);
    EXPECT_EQ(fixtures::ReadBytes("earlier.dat"),
              results::DocumentBytes(p.dataList));  // replaced, unasked
    results::SaveData(p.ctx);
    // The reason in the system's words for a file in a folder that is not there.
    const std::error_code missing = results::WriteDocument({}, "missing/dir/other.dat");
    EXPECT_EQ(missing, std::errc::no_such_file_or_directory);
    EXPECT_EQ(p.prompts.errors, std::vector<std::string>{run::FileErrorText(
                                    "Cannot create file", "missing/dir/run.dat", missing)});
    EXPECT_EQ(p.prompts.asked, (std::vector<run::FileDialog>{
                                   run::FileDialog::SaveGraphic, run::FileDialog::SaveGraphic,
                                   run::FileDialog::SaveData, run::FileDialog::SaveData}));
}

TEST(AutoSaveToggle, FlipsTheMark) {
    fakes::FakeWindow window;
    results::ToggleAutoSave(window);
    EXPECT_TRUE(window.IsChecked(MenuMark::AutoSave));
    results::ToggleAutoSave(window);
    EXPECT_FALSE(window.IsChecked(MenuMark::AutoSave));
}
