#include "platform/windows/WindowsSystem.h"

#include <windows.h>

#include <cstring>

#include "platform/windows/DriveIdentity.h"
#include "platform/windows/RawDevice.h"

namespace platform {

namespace {

// The size of the version record (OSVERSIONINFOA) that the query is handed.
constexpr DWORD kVersionRecordBytes = 148;
static_assert(sizeof(OSVERSIONINFOA) == kVersionRecordBytes);

class DllModule final : public LoadedModule {
  public:
    explicit DllModule(HMODULE handle) : handle_(handle) {}
    ~DllModule() override { ::FreeLibrary(handle_); }
    DllModule(const DllModule&) = delete;
    DllModule& operator=(const DllModule&) = delete;
    void* Resolve(const std::string& exportName) override {
        return reinterpret_cast<void*>(::GetProcAddress(handle_, exportName.c_str()));
    }

  private:
    HMODULE handle_;
};

}  // namespace

bool IsDriveLetterEntry(const std::string& driveEntry) {
    if (driveEntry.size() != 2 || driveEntry[1] != ':') {
        return false;
    }
    const char letter = driveEntry[0];
    return (letter >= 'A' && letter <= 'Z') || (letter >= 'a' && letter <= 'z');
}

WindowsSystem::WindowsSystem() {
    // A drive without a disc answers with an error code, not with a dialog box that waits
    // for someone to click it.
    const UINT previous = ::SetErrorMode(SEM_FAILCRITICALERRORS);
    ::SetErrorMode(previous | SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
}

std::string WindowsSystem::DevicePath(const std::string& driveEntry) const {
    return IsDriveLetterEntry(driveEntry) ? "\\\\.\\" + driveEntry : driveEntry;
}

std::unique_ptr<DeviceFile> WindowsSystem::OpenDevice(const std::string& driveEntry) {
    auto device = OpenRawDevice(DevicePath(driveEntry));
    if (device) {
        lastOpenError_ = {};
    } else if (::GetLastError() == ERROR_DRIVE_LOCKED) {
        lastOpenError_ = MakeError(DriveProblem::Busy);
    } else {
        lastOpenError_ =
            std::error_code(static_cast<int>(::GetLastError()), std::system_category());
    }
    return device;
}

std::uint32_t WindowsSystem::TickCount() {
    return ::GetTickCount();
}

std::uint64_t WindowsSystem::MicroTicks() {
    LARGE_INTEGER count{};
    LARGE_INTEGER frequency{};
    if (!::QueryPerformanceFrequency(&frequency) || frequency.QuadPart <= 0 ||
        !::QueryPerformanceCounter(&count)) {
        return std::uint64_t{::GetTickCount()} * 1000u;
    }
    // In two parts, so that the product cannot overflow however long the system has run.
    const auto ticks = static_cast<std::uint64_t>(count.QuadPart);
    const auto perSecond = static_cast<std::uint64_t>(frequency.QuadPart);
    return ticks / perSecond * 1000000u + ticks % perSecond * 1000000u / perSecond;
}

VersionRecord WindowsSystem::QueryVersion() {
    OSVERSIONINFOA info;
    std::memset(&info, 0, sizeof info);
    info.dwOSVersionInfoSize = kVersionRecordBytes;
    // Not tested: a query that fails leaves the record zero, which names no system.
    ::GetVersionExA(&info);
    VersionRecord v;
    v.majorVersion = info.dwMajorVersion;
    v.minorVersion = info.dwMinorVersion;
    v.buildNumber = info.dwBuildNumber;
    v.platformId = info.dwPlatformId;
    v.csdVersion.assign(info.szCSDVersion, ::strnlen(info.szCSDVersion, kCsdVersionChars));
    return v;
}

std::vector<std::string> WindowsSystem::CandidateDrives() {
    std::vector<std::string> letters;
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        letters.push_back(std::string{letter, ':'});
    }
    return letters;
}

DriveType WindowsSystem::DriveTypeOf(const std::string& driveEntry) {
    if (IsDriveLetterEntry(driveEntry)) {
        return static_cast<DriveType>(::GetDriveTypeA((driveEntry + "\\").c_str()));
    }
    if (driveEntry.empty()) {
        return DriveType::NoRootDir;
    }
    const DWORD attributes = ::GetFileAttributesA(driveEntry.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return DriveType::NoRootDir;
    }
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return DriveType::Unknown;
    }
    return DriveType::CdRom;  // a disc image named by the user
}

DriveIdentity WindowsSystem::IdentityOf(const std::string& driveEntry) {
    return IsDriveLetterEntry(driveEntry) ? QueryDriveIdentity(DevicePath(driveEntry))
                                          : DriveIdentity{};
}

std::shared_ptr<LoadedModule> WindowsSystem::LoadModule(const std::string& fileName) {
    HMODULE handle = ::LoadLibraryA(fileName.c_str());
    if (handle == nullptr) {
        return nullptr;
    }
    return std::make_shared<DllModule>(handle);
}

}  // namespace platform
