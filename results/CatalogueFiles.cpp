#include "results/CatalogueFiles.h"

#include <chrono>
#include <filesystem>
#include <random>

#include "platform/AtomicFile.h"

namespace results {

namespace fs = std::filesystem;

namespace {

// A name no other program writing beside it picks: the random device's bits with the
// clock's, in hexadecimal.
std::string UniqueToken() {
    std::random_device device;
    const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
    std::uint64_t bits = (std::uint64_t{device()} << 32 | device()) ^
                         static_cast<std::uint64_t>(now) * 0x9E3779B97F4A7C15ULL;
    std::string token;
    for (int i = 0; i < 16; ++i, bits >>= 4) {
        token += "0123456789abcdef"[bits & 0x0F];
    }
    return token;
}

bool LinksUnsupported(const std::error_code& error) {
    return error == std::errc::operation_not_supported || error == std::errc::not_supported ||
           error == std::errc::function_not_supported ||
           error == std::errc::operation_not_permitted || error == std::errc::too_many_links;
}

}  // namespace

std::error_code MakeFolders(const std::string& path) {
    std::error_code error;
    fs::create_directories(fs::path(path), error);
    if (error) {
        return error;
    }
    if (!fs::is_directory(fs::path(path), error)) {
        return error ? error : std::make_error_code(std::errc::not_a_directory);
    }
    return {};
}

FolderListing ListFolder(const std::string& path) {
    FolderListing listing;
    fs::directory_iterator it(fs::path(path), listing.error);
    for (; !listing.error && it != fs::directory_iterator(); it.increment(listing.error)) {
        std::error_code kindError;
        listing.entries.push_back({it->path().filename().string(), it->is_directory(kindError)});
    }
    return listing;
}

std::error_code WriteNewFile(const std::string& path, std::span<const std::uint8_t> bytes) {
    const fs::path target(path);
    std::error_code error;
    if (fs::exists(fs::symlink_status(target, error))) {
        return std::make_error_code(std::errc::file_exists);
    }
    const fs::path hidden =
        target.parent_path() / ("." + target.filename().string() + "." + UniqueToken() + ".part");
    if (const std::error_code written = platform::WriteWholeFile(hidden.string(), bytes)) {
        return written;
    }
    fs::create_hard_link(hidden, target, error);
    if (error && LinksUnsupported(error)) {
        // No links here: renamed after a look, the best such a file system allows.
        error.clear();
        if (fs::exists(fs::symlink_status(target, error))) {
            error = std::make_error_code(std::errc::file_exists);
        } else if (!error) {
            fs::rename(hidden, target, error);
        }
    }
    std::error_code ignored;
    fs::remove(hidden, ignored);  // gone already once renamed
    return error;
}

}  // namespace results
