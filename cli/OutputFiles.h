#pragma once

#include <optional>
#include <string>
#include <vector>

namespace cli {

// Why a file could not be created at path, found before a long run rather than after it: a
// missing or unwritable folder, a folder or a socket in the file's place, a loop of links.
// Nothing when it looks writable; the write itself can still fail, and says why then.
std::optional<std::string> OutputProblem(const std::string& path);

// The same for the two files of --autosave, whose names the disc gives: the current folder
// must take them.
std::optional<std::string> AutoSaveProblem();

// A file named on the command line, and what it is there for ("--dat", "the drive").
struct NamedFile {
    std::string role;
    std::string path;
};

// The first two of the files that are one and the same, however spelt, in words: a file
// written there would destroy the other. Nothing when all are different.
std::optional<std::string> SameFileClash(const std::vector<NamedFile>& files);

}  // namespace cli
