// A sector library of our own, for the tests of the Windows 95 family's path: it serves the
// sectors of one drive from a disc image. SECTRD32_DRIVE names the drive's letter and
// SECTRD32_IMAGE the image; any other letter has no disc.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/System.h"

namespace {

constexpr std::int64_t kSectorBytes = 2048;
constexpr std::int32_t kMaxSectors = 1000;
constexpr std::int32_t kFailed = -1;

std::string Variable(const char* name) {
    char value[MAX_PATH] = {};
    const DWORD length = ::GetEnvironmentVariableA(name, value, sizeof value);
    return length > 0 && length < sizeof value ? std::string(value, length) : std::string();
}

// Reads `count` sectors from `first` into `buffer`, or only reads them when there is none.
std::int32_t ReadSectors(std::int32_t driveLetter, std::int32_t first, std::int32_t count,
                         void* buffer) {
    const std::string drive = Variable("SECTRD32_DRIVE");
    // Only the low byte holds the letter; the rest is whatever the caller's register held.
    if (drive.empty() || drive[0] != static_cast<char>(driveLetter & 0xFF) || first < 0 ||
        count < 1 || count > kMaxSectors) {
        return kFailed;
    }
    const HANDLE image = ::CreateFileA(Variable("SECTRD32_IMAGE").c_str(), GENERIC_READ,
                                       FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (image == INVALID_HANDLE_VALUE) {
        return kFailed;
    }
    std::vector<char> scratch;
    if (buffer == nullptr) {
        scratch.resize(static_cast<std::size_t>(count * kSectorBytes));
        buffer = scratch.data();
    }
    LARGE_INTEGER offset;
    offset.QuadPart = first * kSectorBytes;
    const auto bytes = static_cast<DWORD>(count * kSectorBytes);
    DWORD got = 0;
    const bool ok = ::SetFilePointerEx(image, offset, nullptr, FILE_BEGIN) &&
                    ::ReadFile(image, buffer, bytes, &got, nullptr) && got == bytes;
    ::CloseHandle(image);
    return ok ? 0 : kFailed;
}

}  // namespace

// Only the two entry points are exported, not what the static runtime brings along.
extern "C" {

__declspec(dllexport) std::int32_t DISCOMETER_LIBRARY_CALL
    ReadCDvtoc32(std::int32_t driveLetter, std::int32_t, void* buffer) {
    return buffer == nullptr ? kFailed : ReadSectors(driveLetter, 16, 1, buffer);
}

__declspec(dllexport) std::int32_t DISCOMETER_LIBRARY_CALL
    CheckCDSectors32(std::int32_t driveLetter, std::int32_t firstSector, std::int32_t sectorCount) {
    return ReadSectors(driveLetter, firstSector, sectorCount, nullptr);
}
}
