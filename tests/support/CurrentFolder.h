// Tests that run in a fresh current folder, where AutoSave writes.
#pragma once

#include <gtest/gtest.h>
#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "support/TempDir.h"

class InCurrentFolder : public ::testing::Test {
  protected:
    // The names in the folder, in order.
    std::vector<std::string> Files() const {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(here_.Path())) {
            names.push_back(e.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }
    fixtures::InTempDir here_;
};
