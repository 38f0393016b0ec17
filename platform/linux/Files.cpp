#include "platform/Files.h"

#include <fcntl.h>
#include <grp.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

namespace platform {

namespace {

std::error_code LastError() {
    return {errno, std::generic_category()};
}

}  // namespace

PathInfo InspectPath(const std::string& path) {
    PathInfo info;
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        info.error = LastError();
        return info;
    }
    if (S_ISREG(st.st_mode)) {
        info.kind = PathKind::Regular;
        info.bytes = static_cast<std::uint64_t>(st.st_size);
    } else if (S_ISDIR(st.st_mode)) {
        info.kind = PathKind::Directory;
    } else if (S_ISBLK(st.st_mode)) {
        info.kind = PathKind::BlockDevice;
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
        if (fd >= 0) {
            std::uint64_t bytes = 0;
            if (::ioctl(fd, BLKGETSIZE64, &bytes) == 0) {
                info.bytes = bytes;
            }
            ::close(fd);
        }
    } else {
        info.kind = PathKind::Other;
    }
    return info;
}

bool PeekBytes(const std::string& path, std::uint64_t byteOffset, std::span<std::uint8_t> dst) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        return false;
    }
    const ssize_t n = ::pread(fd, dst.data(), dst.size(), static_cast<off_t>(byteOffset));
    ::close(fd);
    return n == static_cast<ssize_t>(dst.size());
}

std::string OpenFailureHint(const std::string& path, std::error_code error) {
    struct stat st {};
    const bool device = ::stat(path.c_str(), &st) == 0 && S_ISBLK(st.st_mode);
    if ((error == std::errc::permission_denied || error == std::errc::operation_not_permitted) &&
        device) {
        const group* g = ::getgrgid(st.st_gid);
        const std::string name = g != nullptr ? g->gr_name : "cdrom";
        return "is the user in the '" + name + "' group?";
    }
    if (error.category() == std::generic_category() && error.value() == ENOMEDIUM) {
        return "no disc in the drive";
    }
    return {};
}

std::error_code CheckFolderWritable(const std::string& folder) {
    struct stat st {};
    if (::stat(folder.c_str(), &st) != 0) {
        return LastError();
    }
    if (!S_ISDIR(st.st_mode)) {
        return std::make_error_code(std::errc::not_a_directory);
    }
    if (::access(folder.c_str(), W_OK) != 0) {
        return LastError();
    }
    return {};
}

FileBytes ReadRegularFile(const std::string& path, std::uint64_t maxBytes) {
    FileBytes file;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        file.error = LastError();
        return file;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        file.error = LastError();
    } else if (S_ISDIR(info.st_mode)) {
        file.error = std::make_error_code(std::errc::is_a_directory);
    } else if (!S_ISREG(info.st_mode) || info.st_size < 0) {
        file.error = MakeError(FileProblem::NotRegular);
    } else if (static_cast<std::uint64_t>(info.st_size) > maxBytes) {
        file.error = std::make_error_code(std::errc::file_too_large);
    }
    if (file.error) {
        ::close(fd);
        return file;
    }
    std::string& data = file.bytes;
    data.reserve(static_cast<std::size_t>(info.st_size));
    char chunk[64 * 1024];
    for (;;) {
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            file.error = LastError();
            break;
        }
        if (n == 0) {
            break;
        }
        data.append(chunk, static_cast<std::size_t>(n));
        if (data.size() > maxBytes) {  // the file grew while it was read
            file.error = MakeError(FileProblem::ChangedWhileRead);
            break;
        }
    }
    ::close(fd);
    if (file.error) {
        data.clear();
    }
    return file;
}

bool FileNameMayHold(char c) {
    return c != '/' && c != '\0';
}

bool IsDeviceFileName(std::string_view) {
    return false;
}

std::string DriveEntryForArgument(const std::string& argument) {
    const std::filesystem::path path(argument);
    if (path.is_relative() && path.has_parent_path()) {
        return std::filesystem::absolute(path).lexically_normal().string();
    }
    return argument;
}

}  // namespace platform
