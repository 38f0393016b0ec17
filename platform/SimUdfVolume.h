// The volume structures of a simulated disc that carries a UDF volume and no ISO 9660 one, as
// Blu-ray movie discs and discs formatted by Windows do.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace platform {

// The sectors that hold the volume's structures: its recognition sequence from sector 16,
// the anchor at 256 and the volume descriptor sequence it points to.
std::vector<std::int64_t> UdfStructureSectors();

// Fills dst with the structure that the sector holds on a disc of `sectors` sectors whose
// logical volume identifier is `identifier` (in 8-bit characters); false for a sector that
// holds none.
bool FillUdfStructure(std::int64_t sector, std::int64_t sectors, std::string_view identifier,
                      std::span<std::uint8_t> dst);

}  // namespace platform
