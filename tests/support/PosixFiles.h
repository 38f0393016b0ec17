// Files that only Linux has, for the tests of what the program does with them: device
// nodes and named pipes.
#pragma once

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <filesystem>
#include <string>

namespace fixtures {

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
