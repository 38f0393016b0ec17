// AutoSave names on Windows: a label from the disc makes an ordinary file in the current
// folder, never an alternate stream, a wildcard, a failure or a device.
#include <gtest/gtest.h>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "results/Saving.h"
#include "support/RunFakes.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;
using results::AutoSaveBaseName;

TEST(AutoSaveName, ReplacesWhatAWindowsFileNameMayNotHold) {
    EXPECT_EQ(AutoSaveBaseName("A:B*C?D\"E<F>G|H\\I/J"), "A_B_C_D_E_F_G_H_I_J");
    EXPECT_EQ(AutoSaveBaseName(std::string("TAB\tLF\n\x01\x1F\0END", 13)), "TAB_LF____END");
    EXPECT_EQ(AutoSaveBaseName("MYDISC" + std::string(26, ' ')), "MYDISC" + std::string(26, ' '));
    EXPECT_EQ(AutoSaveBaseName("[DISC] #1; 50% & more"), "[DISC] #1; 50% & more");
    EXPECT_EQ(AutoSaveBaseName(".."), "__");
}

TEST(AutoSaveName, LabelsThatNameADeviceGetAPrefix) {
    for (const std::string& label : std::vector<std::string>{
             "CON", "prn", "Aux", "NUL", "COM1", "com9", "COM0", "LPT1", "LPT9", "CONIN$",
             "CONOUT$", "NUL" + std::string(29, ' '), "COM1.DISC", "AUX .X", "COM\xB9"}) {
        EXPECT_EQ(AutoSaveBaseName(label), "_" + label) << label;
    }
    for (const std::string& label : std::vector<std::string>{
             "CONSOLE", "NULL", "COM10", "LPT", "COMA", " NUL", "_NUL", "DISC.NUL", "CON_1"}) {
        EXPECT_EQ(AutoSaveBaseName(label), label) << label;
    }
}

TEST(AutoSaveName, HostileLabelsWriteOrdinaryFilesInTheCurrentFolder) {
    fixtures::InTempDir here;
    std::set<std::string> expected;
    for (const std::string& label :
         std::vector<std::string>{"A:B", "NUL", "COM1", "x<y>z|?*", "..\\UP"}) {
        auto disc = fakes::SmallDisc();
        disc.volumeId = label;
        fakes::Program p(disc);
        p.window.SetChecked(run::MenuMark::AutoSave, true);
        ASSERT_TRUE(p.Start()) << label;
        p.RunToEnd();
        EXPECT_TRUE(p.prompts.errors.empty()) << label;
        const std::string base = AutoSaveBaseName(p.state.VolumeLabel);
        expected.insert(base + ".bmp");
        expected.insert(base + ".dat");
    }
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(here.Path())) {
        names.insert(e.path().filename().string());
        EXPECT_GT(fs::file_size(e.path()), 0u) << e.path();
    }
    EXPECT_EQ(names, expected);
    EXPECT_EQ(names.size(), 10u);
    EXPECT_TRUE(names.count("A_B" + std::string(29, ' ') + ".dat") > 0);
    EXPECT_TRUE(names.count("_NUL" + std::string(29, ' ') + ".bmp") > 0);
    EXPECT_FALSE(fs::exists(here.Path().parent_path() / ("UP" + std::string(27, ' ') + ".dat")));
}
