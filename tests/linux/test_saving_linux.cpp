// AutoSave names on Linux, where a file name may hold anything but "/" and NUL.
#include <gtest/gtest.h>

#include "results/Saving.h"

TEST(AutoSaveName, KeepsWhatALinuxFileNameMayHold) {
    using results::AutoSaveBaseName;
    EXPECT_EQ(AutoSaveBaseName("*?<>|\\:\""), "*?<>|\\:\"");
    EXPECT_EQ(AutoSaveBaseName("NUL"), "NUL");  // no devices among the names of a folder
    EXPECT_EQ(AutoSaveBaseName("COM1.X"), "COM1.X");
}
