#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "discometer/Version.h"
#include "platform/Color.h"
#include "platform/SectorBuffer.h"
#include "platform/System.h"
#include "run/ChartLayout.h"
#include "run/ShortText.h"

namespace run {

inline constexpr const char* kProgramTitleText = discometer::kProgramTitle;
inline constexpr const char* kCopyrightText = "Copyright (C) 2026 The Discometer developers";

// Everything the program knows about the drive, the disc, the read in progress and the run
// on display. The program keeps exactly one, alive from start to end; it starts zero-filled.
struct RunState {
    // Sector access.
    std::shared_ptr<platform::LoadedModule> SectorLib;
    platform::ReadCDvtoc32Fn ReadCDvtoc32 = nullptr;
    platform::CheckCDSectors32Fn CheckCDSectors32 = nullptr;
    std::unique_ptr<platform::DeviceFile> DeviceHandle;
    char DriveLetter = 0;
    std::int32_t StartSector = 0;
    std::int32_t SectorCount = 0;
    std::int32_t ReadStatus = 0;
    platform::SectorBuffer SectorBuffer;

    // Progress and measurement.
    std::int32_t BlockIndex = 0;
    std::int32_t DataSectors = 0;
    std::int32_t BlockStride = 0;
    std::int32_t BlockTicks = 0;
    // A volume larger than a CD's is read so fast that a timed read lasts only tens of
    // milliseconds: it is timed with the fine clock too, in microseconds.
    bool FineTiming = false;
    std::int64_t BlockMicros = 0;
    double CurSpeed = 0.0;
    double PointY = 0.0;
    double MaxSpeed = 0.0;
    double MinSpeed = 0.0;
    std::int32_t ErrorCount = 0;
    double VolumeSize = 0.0;
    // What a catalogue calls the disc (results::DiscIdOf its volume descriptors), taken when
    // the run has recognised the volume.
    std::string DiscId;
    // The read speed asked of the drive at the start of the run, in multiples of the medium's
    // single speed (0: its maximum), and whether the drive took it.
    std::int32_t ReadSpeed = 0;
    bool ReadSpeedTaken = false;
    // The disc left the drive at block BlockIndex, which ended the run there (Present for
    // every other end of a run).
    platform::DiscState DiscGone = platform::DiscState::Present;

    // Chart geometry and scale.
    std::int32_t ChartWidth = 0;
    std::int32_t ChartHeight = 0;
    std::int32_t MarginLeft = 0;
    std::int32_t MarginRight = 0;
    std::int32_t MarginTop = 0;
    std::int32_t MarginBottom = 0;
    std::int32_t PlotHeight = 0;
    std::int32_t Baseline = 0;
    std::int32_t SpeedFullScale = 0;
    double XScale = 0.0;
    // The axes that XScale and SpeedFullScale belong to, chosen from the volume's size.
    ChartLayout Layout;

    // Chart colours.
    platform::Color ChartBackColor = 0;
    platform::Color MarkerColor = 0;
    platform::Color CurveColor = 0;
    platform::Color ErrorColor = 0;
    platform::Color GridColor = 0;
    platform::Color LabelColor = 0;
    platform::Color TitleColor = 0;

    // Texts of the run on display.
    std::string ProgramTitle;
    std::string CopyrightLine;
    std::string DriveName;
    ShortText VolumeLabel;
    ShortText OSName;

    // Operating-system identification.
    std::uint32_t OSMajorVersion = 0;
    std::uint32_t OSMinorVersion = 0;
    std::uint32_t OSBuildNumber = 0;
    std::uint32_t OSPlatformId = 0;
    std::string OSCSDVersion;

    // Flags.
    bool NoDrive = false;
    bool StopRequest = false;
};

// The platforms whose drives are read through the raw volume device rather than the
// sector library: the NT family and Linux.
constexpr bool UsesRawDevice(std::uint32_t platformId) {
    return platformId == platform::kPlatformWinNT || platformId == platform::kPlatformLinux;
}

// Start values of the chart's colours and scale, set once when the program starts.
inline void SetChartDefaults(RunState& s) {
    s.ChartBackColor = 0x000000;
    s.MarkerColor = 0xD0D0D0;
    s.CurveColor = 0xE0E000;
    s.ErrorColor = 0x0000FF;
    s.GridColor = 0x909090;
    s.LabelColor = 0x90FFFF;
    s.TitleColor = 0xE0E000;
    s.XScale = kCdXScale;
    s.SpeedFullScale = kCdSpeedFullScale;
}

}  // namespace run
