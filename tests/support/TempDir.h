// Fresh folders for tests that write files, and reading what they wrote.
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

namespace fixtures {

// The whole content of a file; empty when it cannot be read.
inline std::string ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// A new empty folder, removed with everything in it when the object goes.
class TempDir {
  public:
    explicit TempDir(const std::filesystem::path& base = std::filesystem::temp_directory_path()) {
        // A name nobody has taken: create_directory fails when it exists already.
        std::random_device seed;
        std::mt19937 pick(seed());
        for (int tries = 0; tries < 100 && path_.empty(); ++tries) {
            const auto candidate = base / ("discometer-" + std::to_string(pick() % 1000000000u));
            std::error_code ec;
            if (std::filesystem::create_directory(candidate, ec) && !ec) {
                path_ = candidate;
            }
        }
    }
    ~TempDir() {
        std::error_code ec;
        if (!path_.empty()) {
            std::filesystem::remove_all(path_, ec);
        }
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

  private:
    std::filesystem::path path_;
};

// A new empty folder that is the process's current one for as long as the object lives.
class InTempDir {
  public:
    InTempDir() : previous_(std::filesystem::current_path()) {
        std::filesystem::current_path(dir_.path());
    }
    ~InTempDir() { std::filesystem::current_path(previous_); }
    InTempDir(const InTempDir&) = delete;
    InTempDir& operator=(const InTempDir&) = delete;

    const std::filesystem::path& Path() const { return dir_.path(); }

  private:
    std::filesystem::path previous_;
    TempDir dir_;
};

}  // namespace fixtures
