#include "cli/Medium.h"

#include <cmath>
#include <cstring>
#include <memory>

#include "engine/SectorAccess.h"
#include "platform/Files.h"
#include "run/RunState.h"

namespace cli {

namespace {

constexpr std::int32_t kDescriptorSector = 16;
constexpr double kHarmlessShortfall = 2000;

std::string Number(double value) {
    return std::to_string(static_cast<long long>(std::trunc(value)));
}

}  // namespace

Medium LookAt(const std::string& path) {
    Medium m;
    const platform::PathInfo info = platform::InspectPath(path);
    m.imageFile = info.kind == platform::PathKind::Regular;
    if (m.imageFile || (info.kind == platform::PathKind::BlockDevice && info.bytes > 0)) {
        m.sectors = static_cast<std::int64_t>(info.bytes / platform::kSectorBytes);
    }
    // The descriptor goes where a run puts it, so that the volume size is read as a run reads
    // it.
    const auto probe = std::make_unique<run::RunState>();
    const auto descriptor = probe->SectorBuffer.span().first(platform::kSectorBytes);
    m.descriptorRead =
        platform::PeekBytes(path, kDescriptorSector * platform::kSectorBytes, descriptor);
    m.isoSignature = m.descriptorRead && descriptor[0] == 1 &&
                     std::memcmp(descriptor.data() + 1, "CD001", 5) == 0;
    if (m.isoSignature) {
        engine::TakeVolumeDescriptor(*probe);
        m.volumeSectors = probe->VolumeSize;
    }
    return m;
}

std::optional<std::string> MediumProblem(const std::string& path, std::int32_t dataSectors) {
    const Medium m = LookAt(path);
    if (!m.descriptorRead) {
        return std::nullopt;
    }
    if (!m.isoSignature) {
        return NoVolumeText(path);
    }
    if (m.volumeSectors < static_cast<double>(SectorsNeeded(dataSectors))) {
        return TooSmallText(m.volumeSectors, SectorsNeeded(dataSectors));
    }
    // An image cut short of its volume would have its missing end measured as blocks in
    // error. A little short is common (a copy of a disc without its run-out sectors) and
    // harmless: a read that fails within the last 1000 sectors ends the run as complete, and
    // only more than 2000 missing sectors surely fail a read before them. A device may
    // report less than it reads, and is measured as it is.
    if (m.imageFile && m.sectors &&
        static_cast<double>(*m.sectors) + kHarmlessShortfall < m.volumeSectors) {
        return path + " is cut short: it ends after " + std::to_string(*m.sectors) +
               " sectors, though its volume holds " + Number(m.volumeSectors);
    }
    return std::nullopt;
}

std::string NoVolumeText(const std::string& path) {
    return path + " holds no ISO 9660 data volume (no volume descriptor at sector 16)";
}

std::string TooSmallText(double volumeSectors, std::int64_t needed) {
    return "the volume is too small to measure: it holds " + Number(volumeSectors) +
           " sectors, a run needs at least " + std::to_string(needed);
}

std::int64_t SectorsNeeded(std::int32_t dataSectors) {
    // Run start reads sectors 16 to 999 and then times the first DataSectors of block 1.
    return 1000 + dataSectors;
}

}  // namespace cli
