#include "startup/Medium.h"

#include <cmath>
#include <memory>
#include <span>

#include "engine/SectorAccess.h"
#include "engine/VolumeRecognition.h"
#include "platform/Files.h"
#include "run/RunState.h"

namespace startup {

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
    m.isoSignature = m.descriptorRead && engine::IsPrimaryVolumeDescriptor(descriptor);
    if (m.isoSignature) {
        engine::TakeVolumeDescriptor(*probe);
        m.volumeSectors = probe->VolumeSize;
        return m;
    }
    // As a run finds a UDF volume, through the ordinary file calls.
    const engine::SectorReader read = [&path](std::int64_t sector, std::span<std::uint8_t> dst) {
        return platform::PeekBytes(
            path, static_cast<std::uint64_t>(sector) * platform::kSectorBytes, dst);
    };
    m.udf = m.descriptorRead && engine::HoldsUdfRecognition(read);
    if (m.udf) {
        const std::optional<std::int64_t> size =
            m.sectors ? m.sectors : engine::ReadUdfVolume(read, m.sectors).partitionEnd;
        m.volumeSectors = static_cast<double>(size.value_or(0));
    }
    return m;
}

std::optional<std::string> MediumProblem(const std::string& path, std::int32_t dataSectors) {
    const Medium m = LookAt(path);
    if (!m.descriptorRead) {
        return std::nullopt;
    }
    if (!m.isoSignature && !m.udf) {
        return NoVolumeText(path);
    }
    if (m.volumeSectors < static_cast<double>(SectorsNeeded(dataSectors))) {
        return TooSmallText(m.volumeSectors, SectorsNeeded(dataSectors));
    }
    if (m.volumeSectors > engine::kLargestVolumeSectors) {
        return TooLargeText(m.volumeSectors);
    }
    // An image cut short of its volume would have its missing end measured as blocks in
    // error. A little short is common (a copy of a disc without its run-out sectors) and
    // harmless: a read that fails within the last 1000 sectors ends the run as complete, and
    // only more than 2000 missing sectors surely fail a read before them. A device may
    // report less than it reads, and is measured as it is.
    if (m.isoSignature && m.imageFile && m.sectors &&
        static_cast<double>(*m.sectors) + kHarmlessShortfall < m.volumeSectors) {
        return path + " is cut short: it ends after " + std::to_string(*m.sectors) +
               " sectors, though its volume holds " + Number(m.volumeSectors);
    }
    return std::nullopt;
}

std::string NoVolumeText(const std::string& path) {
    return path + " holds no data volume (neither an ISO 9660 volume descriptor at sector 16 " +
           "nor a UDF volume)";
}

std::string TooLargeText(double volumeSectors) {
    return "the volume is too large to measure: it holds " + Number(volumeSectors) +
           " sectors, a run reads at most " + Number(engine::kLargestVolumeSectors);
}

std::string TooSmallText(double volumeSectors, std::int64_t needed) {
    return "the volume is too small to measure: it holds " + Number(volumeSectors) +
           " sectors, a run needs at least " + std::to_string(needed);
}

std::int64_t SectorsNeeded(std::int32_t dataSectors) {
    // Run start reads sectors 16 to 999 and then times the first DataSectors of block 1.
    return 1000 + dataSectors;
}

}  // namespace startup
