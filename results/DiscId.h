// The name a catalogue gives a disc, made from what the disc says of itself rather than from
// the drive that reads it or the label a person gave it.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace results {

inline constexpr std::size_t kDiscIdChars = 16;

// 16 lowercase hexadecimal digits of a 64-bit FNV-1a digest of the volume's descriptors: the
// ISO 9660 primary volume descriptor (which holds the label, the volume size and the dates
// the disc was made), or for a UDF volume alone the UDF descriptors its recognition read. Two
// discs of one label differ in their dates; the same disc gives the same bytes in any drive.
// Copies of one image are one disc to it, as they are to every reader of the disc.
std::string DiscIdOf(std::span<const std::uint8_t> descriptors);

// Whether a name has the shape of a disc id.
bool IsDiscId(std::string_view name);

}  // namespace results
