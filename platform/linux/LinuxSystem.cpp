#include "platform/linux/LinuxSystem.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <linux/cdrom.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <ctime>
#include <filesystem>
#include <fstream>

#include "platform/IdentityField.h"
#include "platform/MmcCommands.h"
#include "platform/linux/RawDevice.h"
#include "platform/linux/ScsiCommand.h"

namespace platform {

namespace {

// The SCSI peripheral type that sysfs gives a device; 5 is a CD/DVD drive.
bool SysfsSaysOptical(const std::string& deviceDir) {
    std::ifstream in(deviceDir + "/type");
    int type = -1;
    return static_cast<bool>(in >> type) && type == 5;
}

bool CdromIoctlAnswers(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    const bool answers = ::ioctl(fd, CDROM_GET_CAPABILITY, 0) >= 0;
    ::close(fd);
    return answers;
}

// The folder of a block device's driver attributes in sysfs.
std::string BlockDeviceDir(dev_t device) {
    return "/sys/dev/block/" + std::to_string(major(device)) + ":" + std::to_string(minor(device)) +
           "/device";
}

// A sysfs attribute as one line of printable text.
std::string SysfsText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string raw(kIdentityFieldChars, '\0');
    in.read(raw.data(), static_cast<std::streamsize>(raw.size()));
    raw.resize(static_cast<std::size_t>(in.gcount()));
    return IdentityField(raw);
}

// "sr10" sorts after "sr9".
bool KernelNameLess(const std::string& a, const std::string& b) {
    const auto number = [](const std::string& name) {
        unsigned long value = 0;
        std::from_chars(name.data() + 2, name.data() + name.size(), value);
        return value;
    };
    return number(a) != number(b) ? number(a) < number(b) : a < b;
}

class DlModule final : public LoadedModule {
  public:
    explicit DlModule(void* handle) : handle_(handle) {}
    ~DlModule() override { ::dlclose(handle_); }
    DlModule(const DlModule&) = delete;
    DlModule& operator=(const DlModule&) = delete;
    void* Resolve(const std::string& exportName) override {
        return ::dlsym(handle_, exportName.c_str());
    }

  private:
    void* handle_;
};

}  // namespace

VersionRecord VersionFromRelease(const std::string& release) {
    std::uint32_t numbers[3] = {0, 0, 0};
    const char* p = release.data();
    const char* end = p + release.size();
    for (int i = 0; i < 3 && p < end; ++i) {
        const auto [next, ec] = std::from_chars(p, end, numbers[i]);
        if (ec != std::errc()) {
            numbers[i] = 0;
            break;
        }
        p = next;
        if (p >= end || *p != '.') {
            break;
        }
        ++p;
    }
    VersionRecord v;
    v.majorVersion = numbers[0];
    v.minorVersion = numbers[1];
    v.buildNumber =
        ((numbers[0] & 0xFFu) << 24) | ((numbers[1] & 0xFFu) << 16) | (numbers[2] & 0xFFFFu);
    v.platformId = kPlatformLinux;
    v.csdVersion = release.substr(0, kCsdVersionChars);
    return v;
}

namespace {

// What the drive says of itself and of its disc, on a handle that waits for no disc. A device
// that is no SCSI drive answers nothing, and the identity stays as it was.
void AskDrive(const std::string& path, ScsiIoctl scsi, DriveIdentity& identity) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOMEDIUM) {
            identity.medium = kNoDisc;
        }
        return;
    }
    mmc::Command inquiry = mmc::Inquiry();
    if (SendCommand(fd, inquiry, scsi).done) {
        const DriveIdentity asked = mmc::IdentityFromInquiry(inquiry.data);
        identity.vendor = asked.vendor;
        identity.model = asked.model;
        identity.revision = asked.revision;
    }
    mmc::Command configuration = mmc::GetConfiguration();
    const CommandOutcome outcome = SendCommand(fd, configuration, scsi);
    if (const auto profile = mmc::CurrentProfile(configuration.data); outcome.done && profile) {
        identity.medium = *profile == 0 ? kNoDisc : mmc::ProfileName(*profile);
    } else if (mmc::NoMedium(outcome.sense)) {
        identity.medium = kNoDisc;
    }
    mmc::Command performance = mmc::GetPerformance();
    std::optional<std::uint32_t> fastest;
    if (SendCommand(fd, performance, scsi).done) {
        fastest = mmc::FastestInPerformance(performance.data);
    }
    if (!fastest) {
        mmc::Command capabilities = mmc::ModeSenseCapabilities();
        if (SendCommand(fd, capabilities, scsi).done) {
            fastest = mmc::FastestInCapabilities(capabilities.data);
        }
    }
    identity.fastestKBs = fastest.value_or(0);
    ::close(fd);
}

}  // namespace

LinuxSystem::LinuxSystem(LinuxSystemOptions options) : options_(std::move(options)) {}

std::string LinuxSystem::DevicePath(const std::string& driveEntry) const {
    if (!driveEntry.empty() && driveEntry.front() == '/') {
        return driveEntry;
    }
    return options_.devDir + "/" + driveEntry;
}

std::unique_ptr<DeviceFile> LinuxSystem::OpenDevice(const std::string& driveEntry) {
    auto device = OpenRawDevice(DevicePath(driveEntry));
    if (device) {
        lastOpenError_ = {};
    } else if (errno == EWOULDBLOCK) {
        lastOpenError_ = MakeError(DriveProblem::Busy);
    } else {
        lastOpenError_ = std::error_code(errno, std::generic_category());
    }
    return device;
}

std::uint32_t LinuxSystem::TickCount() {
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    const auto ms = static_cast<std::uint64_t>(now.tv_sec) * 1000u +
                    static_cast<std::uint64_t>(now.tv_nsec) / 1000000u;
    return static_cast<std::uint32_t>(ms);  // wraps like the tick counter it stands for
}

std::uint64_t LinuxSystem::MicroTicks() {
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::uint64_t>(now.tv_sec) * 1000000u +
           static_cast<std::uint64_t>(now.tv_nsec) / 1000u;
}

VersionRecord LinuxSystem::QueryVersion() {
    utsname names{};
    if (::uname(&names) != 0) {
        VersionRecord unknown;
        unknown.platformId = kPlatformLinux;
        return unknown;
    }
    return VersionFromRelease(names.release);
}

std::vector<std::string> LinuxSystem::CandidateDrives() {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(options_.sysBlockDir, ec)) {
        const std::string name = entry.path().filename().string();
        if (name.size() > 2 && name.starts_with("sr") &&
            std::all_of(name.begin() + 2, name.end(),
                        [](char c) { return c >= '0' && c <= '9'; })) {
            names.push_back(name);
        }
    }
    std::sort(names.begin(), names.end(), KernelNameLess);
    return names;
}

DriveType LinuxSystem::DriveTypeOf(const std::string& driveEntry) {
    if (driveEntry.empty()) {
        return DriveType::NoRootDir;
    }
    const bool kernelName = driveEntry.front() != '/';
    if (kernelName && SysfsSaysOptical(options_.sysBlockDir + "/" + driveEntry + "/device")) {
        return DriveType::CdRom;
    }
    const std::string path = DevicePath(driveEntry);
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        return DriveType::NoRootDir;
    }
    if (S_ISREG(st.st_mode)) {
        return DriveType::CdRom;  // a disc image named by the user
    }
    if (!S_ISBLK(st.st_mode)) {
        return DriveType::Unknown;
    }
    if ((!kernelName && SysfsSaysOptical(BlockDeviceDir(st.st_rdev))) || CdromIoctlAnswers(path)) {
        return DriveType::CdRom;
    }
    return DriveType::Fixed;
}

std::optional<std::string> LinuxSystem::SysfsDeviceDir(const std::string& driveEntry) const {
    if (driveEntry.empty()) {
        return std::nullopt;
    }
    if (driveEntry.front() != '/') {
        if (driveEntry.find('/') != std::string::npos) {
            return std::nullopt;  // no kernel name
        }
        return options_.sysBlockDir + "/" + driveEntry + "/device";
    }
    struct stat st {};
    if (::stat(driveEntry.c_str(), &st) != 0 || !S_ISBLK(st.st_mode)) {
        return std::nullopt;
    }
    return BlockDeviceDir(st.st_rdev);
}

DriveIdentity LinuxSystem::IdentityOf(const std::string& driveEntry) {
    DriveIdentity identity;
    const std::string path = DevicePath(driveEntry);
    struct stat st {};
    if (!driveEntry.empty() && ::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
        AskDrive(path, options_.scsi != nullptr ? options_.scsi : SystemScsiIoctl, identity);
    }
    if (identity.vendor.empty() && identity.model.empty()) {
        if (const auto dir = SysfsDeviceDir(driveEntry)) {
            identity.vendor = SysfsText(*dir + "/vendor");
            identity.model = SysfsText(*dir + "/model");
            identity.revision = SysfsText(*dir + "/rev");
        }
    }
    return identity;
}

std::shared_ptr<LoadedModule> LinuxSystem::LoadModule(const std::string& fileName) {
    void* handle = ::dlopen(fileName.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        return nullptr;
    }
    return std::make_shared<DlModule>(handle);
}

}  // namespace platform
