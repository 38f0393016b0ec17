#include "cli/OutputFiles.h"

#include <filesystem>

#include "platform/Files.h"

namespace cli {

namespace {

std::string Problem(const std::string& path, std::string_view why) {
    std::string text = "cannot create file ";
    text += path;
    text += ": ";
    text += why;
    return text;
}

}  // namespace

std::optional<std::string> OutputProblem(const std::string& path) {
    if (platform::InspectPath(path).kind == platform::PathKind::Directory) {
        return Problem(path, "it is a folder");
    }
    const std::filesystem::path parent = std::filesystem::path(path).parent_path();
    const std::string folder = parent.empty() ? std::string(".") : parent.string();
    if (const std::error_code error = platform::CheckFolderWritable(folder)) {
        if (error == std::errc::not_a_directory) {
            return Problem(path, folder + " is not a folder");
        }
        return Problem(path, folder + ": " + error.message());
    }
    return std::nullopt;
}

}  // namespace cli
