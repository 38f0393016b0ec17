#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

// The most characters a field of a drive's identity keeps.
inline constexpr std::size_t kIdentityFieldChars = 64;

// A field of a drive's identity (vendor, model, firmware revision) as the drive or the system
// gave it, made one line of printable text: up to the first line end and at most
// kIdentityFieldChars characters, any unprintable byte as '?', without the blanks that SCSI
// pads its fields with. A drive may answer with any bytes at all.
std::string IdentityField(std::string_view raw);

}  // namespace platform
