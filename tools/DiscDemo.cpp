// A look at what the engine does on its own: finds the drives, reads the volume
// descriptor of the first one and times a few blocks, printing what it finds.
#include <cmath>
#include <cstdio>
#include <string>

#include "engine/SectorAccess.h"
#include "platform/System.h"
#include "system/OSInfo.h"

int main(int argc, char** argv) {
    const auto native = platform::MakeNativeSystem();
    platform::System& system = *native;
    run::RunState state;
    os::TestOS(state, system);
    std::printf("System: %s\n", os::LiveOSName(os::LiveInputsOf(state)).str().c_str());

    std::string drive = argc > 1 ? argv[1] : "";
    for (const std::string& entry : system.CandidateDrives()) {
        const bool optical = system.DriveTypeOf(entry) == platform::DriveType::CdRom;
        std::printf("Drive %s%s\n", entry.c_str(), optical ? "" : " (not an optical drive)");
        if (drive.empty() && optical) {
            drive = entry;
        }
    }
    if (drive.empty()) {
        std::printf("No optical drive found (NA). Try DISCOMETER_DRIVES=sim.\n");
        return 1;
    }

    engine::SectorAccess access(state, system, [&] { return drive; });
    if (!access.OpenDevice()) {
        std::printf("Cannot open %s\n", system.DevicePath(drive).c_str());
        return 1;
    }
    access.Read_VTOC();
    if (state.ReadStatus < 0) {
        std::printf("Cannot read the volume descriptor of %s\n", drive.c_str());
        return 1;
    }
    engine::TakeVolumeDescriptor(state);
    std::printf("Volume label: [%s]\nSectors total: %.0f\n", state.VolumeLabel.str().c_str(),
                std::trunc(state.VolumeSize));

    // The first blocks as a run reads them: 1000 sectors untimed, then 800 timed.
    state.StartSector = 16;
    state.SectorCount = 984;
    access.Read_Block();
    for (std::int32_t block = 1; block < 20 && state.ReadStatus >= 0; block += 2) {
        state.StartSector = block * 1000;
        state.SectorCount = 800;
        access.Time_Block();
        if (state.ReadStatus < 0) {
            std::printf("Block %d unreadable\n", block);
            break;
        }
        std::printf("Block %d: %.0f KB/s (%d ms)\n", block,
                    std::trunc(engine::TransferSpeed(state.SectorCount, state.BlockTicks)),
                    state.BlockTicks);
        state.StartSector = (block + 1) * 1000;
        state.SectorCount = 1000;
        access.Read_Block();
    }
    access.CloseDevice();
    return 0;
}
