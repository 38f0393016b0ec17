// Fresh folders for tests that write files, and reading what they wrote.
#pragma once

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
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
        std::string pattern = (base / "discometer-XXXXXX").string();
        if (::mkdtemp(pattern.data()) != nullptr) {
            path_ = pattern;
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

// Device nodes of the system's null and full devices, made in a test's own folder where
// breaking them would harm nothing; false where the test may not make devices (not root).
inline bool MakeNullAndFullDevices(const std::filesystem::path& null,
                                   const std::filesystem::path& full) {
    return ::mknod(null.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0 &&
           ::mknod(full.c_str(), S_IFCHR | 0666, makedev(1, 7)) == 0;
}

// A named pipe open for reading before any writer comes, so that a writer finds a reader;
// closed with the object.
class PipeReader {
  public:
    explicit PipeReader(const std::filesystem::path& fifo)
        : fd_(::open(fifo.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)) {}
    ~PipeReader() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    PipeReader(const PipeReader&) = delete;
    PipeReader& operator=(const PipeReader&) = delete;

    bool Open() const { return fd_ >= 0; }
    // What has arrived so far.
    std::string Take() {
        std::string text;
        char buffer[4096];
        for (ssize_t n; (n = ::read(fd_, buffer, sizeof buffer)) > 0;) {
            text.append(buffer, static_cast<std::size_t>(n));
        }
        return text;
    }

  private:
    int fd_;
};

}  // namespace fixtures
