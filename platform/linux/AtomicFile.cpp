#include "platform/AtomicFile.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <vector>

#include "platform/Files.h"

namespace platform {

namespace {

// Links followed before a chain counts as a loop, as the kernel counts them.
constexpr int kMaxLinks = 40;

std::error_code LastError() {
    return {errno, std::generic_category()};
}

// What is at the place a write lands, and how it is written.
enum class TargetKind { Missing, Regular, Directory, Pipe, Device, Socket };

struct Target {
    std::string path;  // where the bytes go: links followed for files, as given for devices
    TargetKind kind = TargetKind::Missing;
    std::error_code error;  // why the place cannot be written, when known already
};

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

// Follows a chain of links that ends at a name nobody has made yet.
Target FollowToMissing(std::string path) {
    for (int hops = 0; hops <= kMaxLinks; ++hops) {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0) {
            // Nothing there: this is the name to make (its folder may be missing too, which
            // the write then says).
            return {path, TargetKind::Missing, errno == ENOENT ? std::error_code() : LastError()};
        }
        if (!S_ISLNK(st.st_mode)) {
            return {path, TargetKind::Missing, {}};  // made meanwhile: replaced like a file
        }
        std::vector<char> link(PATH_MAX + 1);
        const ssize_t n = ::readlink(path.c_str(), link.data(), link.size() - 1);
        if (n < 0) {
            return {path, TargetKind::Missing, LastError()};
        }
        const std::string next(link.data(), static_cast<std::size_t>(n));
        path = !next.empty() && next.front() == '/' ? next : FolderOf(path) + "/" + next;
    }
    return {path, TargetKind::Missing,
            std::make_error_code(std::errc::too_many_symbolic_link_levels)};
}

Target Resolve(const std::string& path) {
    if (path.empty()) {
        return {path, TargetKind::Missing,
                std::make_error_code(std::errc::no_such_file_or_directory)};
    }
    if (path.back() == '/') {
        return {path, TargetKind::Directory, std::make_error_code(std::errc::is_a_directory)};
    }
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        if (errno == ENOENT) {
            return FollowToMissing(path);
        }
        return {path, TargetKind::Missing, LastError()};  // a loop of links, no permission, ...
    }
    if (S_ISDIR(st.st_mode)) {
        return {path, TargetKind::Directory, std::make_error_code(std::errc::is_a_directory)};
    }
    if (S_ISSOCK(st.st_mode)) {
        return {path, TargetKind::Socket, make_error_code(WriteError::Socket)};
    }
    if (S_ISFIFO(st.st_mode)) {
        return {path, TargetKind::Pipe, {}};
    }
    if (!S_ISREG(st.st_mode)) {
        // Opened through the name as given, so that links such as /dev/stdout lead there.
        return {path, TargetKind::Device, {}};
    }
    struct stat own {};
    if (::lstat(path.c_str(), &own) == 0 && !S_ISLNK(own.st_mode)) {
        return {path, TargetKind::Regular, {}};
    }
    // A link to a file: the file is replaced in its own folder and the link stays.
    std::unique_ptr<char, decltype(&std::free)> real(::realpath(path.c_str(), nullptr), &std::free);
    if (!real) {
        return {path, TargetKind::Regular, LastError()};
    }
    return {real.get(), TargetKind::Regular, {}};
}

std::error_code WriteAll(int fd, std::span<const std::uint8_t> bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return LastError();
        }
        bytes = bytes.subspan(static_cast<std::size_t>(n));
    }
    return {};
}

// The permissions the new file gets: those of the file it replaces, so that a private file
// stays private; the usual ones for a new name, rather than mkstemp's owner-only ones.
mode_t PermissionsFor(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
        return st.st_mode & 07777;
    }
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

std::error_code ReplaceFile(const std::string& path, std::span<const std::uint8_t> bytes) {
    const mode_t permissions = PermissionsFor(path);
    std::string pattern = path + ".XXXXXX";
    std::vector<char> temp(pattern.begin(), pattern.end());
    temp.push_back('\0');
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) {
        return LastError();
    }
    std::error_code error = WriteAll(fd, bytes);
    if (!error && ::fsync(fd) != 0) {
        error = LastError();
    }
    if (!error && ::fchmod(fd, permissions) != 0) {
        error = LastError();
    }
    if (::close(fd) != 0 && !error) {
        error = LastError();
    }
    if (!error && ::rename(temp.data(), path.c_str()) != 0) {
        error = LastError();
    }
    if (error) {
        ::unlink(temp.data());
    }
    return error;
}

// Writing to a pipe whose reader leaves raises SIGPIPE, which would end a program that has
// not set it aside; it is held back while the bytes go out and taken away if it came.
class BrokenPipeHeld {
  public:
    BrokenPipeHeld() {
        sigemptyset(&pipe_);
        sigaddset(&pipe_, SIGPIPE);
        ::pthread_sigmask(SIG_BLOCK, &pipe_, &previous_);
    }
    ~BrokenPipeHeld() {
        siginfo_t info;
        const timespec now{};
        while (::sigtimedwait(&pipe_, &info, &now) == SIGPIPE) {
        }
        ::pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
    }
    BrokenPipeHeld(const BrokenPipeHeld&) = delete;
    BrokenPipeHeld& operator=(const BrokenPipeHeld&) = delete;

  private:
    sigset_t pipe_;
    sigset_t previous_;
};

std::error_code WriteInPlace(const Target& target, std::span<const std::uint8_t> bytes) {
    // Not waiting at the open: a pipe without a reader fails at once.
    const int fd = ::open(target.path.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENXIO && target.kind == TargetKind::Pipe) {
            return make_error_code(WriteError::NoReader);
        }
        return LastError();
    }
    // From here the reader sets the pace.
    const int flags = ::fcntl(fd, F_GETFL);
    std::error_code error;
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        error = LastError();
    }
    {
        const BrokenPipeHeld held;
        if (!error) {
            error = WriteAll(fd, bytes);
        }
        // Devices and pipes that keep nothing to flush answer EINVAL.
        if (!error && ::fsync(fd) != 0 && errno != EINVAL && errno != EROFS) {
            error = LastError();
        }
    }
    if (::close(fd) != 0 && !error) {
        error = LastError();
    }
    return error;
}

}  // namespace

std::error_code WriteWholeFile(const std::string& path, std::span<const std::uint8_t> bytes) {
    const Target target = Resolve(path);
    if (target.error) {
        return target.error;
    }
    switch (target.kind) {
        case TargetKind::Pipe:
        case TargetKind::Device:
            return WriteInPlace(target, bytes);
        case TargetKind::Missing:
        case TargetKind::Regular:
            return ReplaceFile(target.path, bytes);
        case TargetKind::Directory:
        case TargetKind::Socket:
            break;
    }
    return std::make_error_code(std::errc::invalid_argument);  // refused by Resolve already
}

std::error_code CheckWritable(const std::string& path) {
    const Target target = Resolve(path);
    if (target.error) {
        return target.error;
    }
    if (target.kind == TargetKind::Pipe || target.kind == TargetKind::Device) {
        return ::access(target.path.c_str(), W_OK) == 0 ? std::error_code() : LastError();
    }
    // A new file is made and renamed in the folder, which must take it.
    return CheckFolderWritable(FolderOf(target.path));
}

bool SameFile(const std::string& a, const std::string& b) {
    struct stat sa {};
    struct stat sb {};
    const bool aExists = ::stat(a.c_str(), &sa) == 0;
    const bool bExists = ::stat(b.c_str(), &sb) == 0;
    if (aExists || bExists) {
        return aExists && bExists && sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
    }
    // Neither exists yet: the same place once links and folders are followed.
    const auto place = [](const std::string& path) {
        namespace fs = std::filesystem;
        std::error_code ec;
        const fs::path target = fs::absolute(Resolve(path).path, ec);
        const fs::path canonical = fs::weakly_canonical(target, ec);
        return ec ? target.lexically_normal() : canonical;
    };
    return place(a) == place(b);
}

}  // namespace platform
