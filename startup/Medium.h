#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace startup {

// What can be learnt about the medium behind a path without the run's own reads.
struct Medium {
    std::optional<std::int64_t> sectors;  // whole sectors, when the size is known
    bool imageFile = false;               // a regular file, whose size is the image's
    bool descriptorRead = false;          // sector 16 could be read
    bool isoSignature = false;            // an ISO 9660 volume descriptor at sector 16
    bool udf = false;                     // else a UDF volume, recognised from sector 16 on
    double volumeSectors = 0;             // the volume size a run takes
};

Medium LookAt(const std::string& path);

// Why a run on the medium at path would measure nothing worth having, found before it
// starts: no data volume (neither ISO 9660 nor UDF), a volume too small or too large for a
// run, an image cut short of its volume. Nothing when it looks measurable, and nothing when
// sector 16 cannot be read at all: the run's own start then says why.
std::optional<std::string> MediumProblem(const std::string& path, std::int32_t dataSectors);

// The texts of those problems, also used to explain a start that failed.
std::string NoVolumeText(const std::string& path);
std::string TooSmallText(double volumeSectors, std::int64_t needed);
std::string TooLargeText(double volumeSectors);

// Sectors a run reads before it can measure: up to the end of block 1's timed sectors.
std::int64_t SectorsNeeded(std::int32_t dataSectors);

}  // namespace startup
