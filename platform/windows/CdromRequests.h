// The CD-ROM class driver's requests that the compiler's headers do not know.
#pragma once

#include <windows.h>

#include <winioctl.h>

namespace platform {

// GET CONFIGURATION: it wants a handle with the right to read.
inline constexpr DWORD kGetConfigurationIoctl =
    CTL_CODE(FILE_DEVICE_CD_ROM, 0x0016, METHOD_BUFFERED, FILE_READ_ACCESS);

struct ConfigurationQuery {
    DWORD feature;      // the first feature asked for
    DWORD requestType;  // 1: the current features; 2: the one feature asked for
    void* reserved[2];
};
inline constexpr DWORD kCurrentFeatures = 1;
inline constexpr DWORD kOneFeature = 2;

}  // namespace platform
