#include "cli/OutputFiles.h"

#include "cli/TerminalText.h"
#include "platform/AtomicFile.h"
#include "platform/Files.h"

namespace cli {

std::optional<std::string> OutputProblem(const std::string& path) {
    if (const std::error_code error = platform::CheckWritable(path)) {
        return "cannot create file " + Quoted(path) + ": " + error.message();
    }
    return std::nullopt;
}

std::optional<std::string> AutoSaveProblem() {
    if (const std::error_code error = platform::CheckFolderWritable(".")) {
        return "--autosave cannot create files in the current folder: " + error.message();
    }
    return std::nullopt;
}

std::optional<std::string> SameFileClash(const std::vector<NamedFile>& files) {
    for (std::size_t i = 0; i < files.size(); ++i) {
        for (std::size_t j = i + 1; j < files.size(); ++j) {
            if (platform::SameFile(files[i].path, files[j].path)) {
                return files[i].role + " " + Quoted(files[i].path) + " and " + files[j].role + " " +
                       Quoted(files[j].path) +
                       " are the same file: writing one would destroy the other";
            }
        }
    }
    return std::nullopt;
}

}  // namespace cli
