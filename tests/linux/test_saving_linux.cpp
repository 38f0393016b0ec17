// Saving on Linux: names that a Linux file name may hold, links and named pipes.
#include <sys/stat.h>

#include <gtest/gtest.h>
#include <filesystem>
#include <fstream>

#include "results/ResultsDocument.h"
#include "results/Saving.h"
#include "support/CurrentFolder.h"
#include "support/RunFakes.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

TEST(AutoSaveName, KeepsWhatALinuxFileNameMayHold) {
    using results::AutoSaveBaseName;
    EXPECT_EQ(AutoSaveBaseName("*?<>|\\:\""), "*?<>|\\:\"");
    EXPECT_EQ(AutoSaveBaseName("NUL"), "NUL");  // no devices among the names of a folder
    EXPECT_EQ(AutoSaveBaseName("COM1.X"), "COM1.X");
}

TEST_F(InCurrentFolder, SavesGoThroughLinksAndRefuseAPipeNobodyReads) {
    fakes::Program p;
    ASSERT_TRUE(p.Start());
    p.RunToEnd();
    std::ofstream("target.dat") << "earlier";
    fs::create_symlink("target.dat", "link.dat");
    ASSERT_EQ(::mkfifo("pipe.dat", 0600), 0);

    p.prompts.answers = {"link.dat", "pipe.dat"};
    results::SaveData(p.ctx);
    EXPECT_TRUE(fs::is_symlink(fs::symlink_status("link.dat")));
    EXPECT_EQ(fixtures::ReadBytes("target.dat"), results::DocumentBytes(p.dataList));
    results::SaveData(p.ctx);  // returns at once, with the window's error box
    EXPECT_EQ(p.prompts.errors,
              std::vector<std::string>{"Cannot create file pipe.dat: no program is reading from "
                                       "the pipe"});
    EXPECT_TRUE(fs::is_fifo("pipe.dat"));
    EXPECT_EQ(Files(), (std::vector<std::string>{"link.dat", "pipe.dat", "target.dat"}));
}
