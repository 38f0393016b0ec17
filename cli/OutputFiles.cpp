#include "cli/OutputFiles.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

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
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
        return Problem(path, "it is a folder");
    }
    const std::filesystem::path parent = std::filesystem::path(path).parent_path();
    const std::string folder = parent.empty() ? std::string(".") : parent.string();
    if (::stat(folder.c_str(), &st) != 0) {
        return Problem(path, folder + ": " + std::strerror(errno));
    }
    if (!S_ISDIR(st.st_mode)) {
        return Problem(path, folder + " is not a folder");
    }
    if (::access(folder.c_str(), W_OK) != 0) {
        return Problem(path, folder + ": " + std::strerror(errno));
    }
    return std::nullopt;
}

}  // namespace cli
