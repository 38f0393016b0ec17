#include "startup/StartUp.h"

#include "engine/SectorAccess.h"
#include "engine/Sequencer.h"
#include "results/ChartFrame.h"
#include "startup/DriveDiscovery.h"
#include "system/OSInfo.h"

namespace startup {

namespace {

constexpr int kMissingLibraryStatus = 1;

// Loads the sector library and its two entry points into the run state; false when any of
// them is missing, in which case nothing of the library is kept.
bool LoadSectorLibrary(run::RunState& s, platform::System& system) {
    s.SectorLib = system.LoadModule(engine::kSectorLibraryFile);
    if (!s.SectorLib) {
        return false;
    }
    s.ReadCDvtoc32 =
        reinterpret_cast<platform::ReadCDvtoc32Fn>(s.SectorLib->Resolve("ReadCDvtoc32"));
    if (s.ReadCDvtoc32 != nullptr) {
        s.CheckCDSectors32 = reinterpret_cast<platform::CheckCDSectors32Fn>(
            s.SectorLib->Resolve("CheckCDSectors32"));
    }
    if (s.ReadCDvtoc32 == nullptr || s.CheckCDSectors32 == nullptr) {
        s.ReadCDvtoc32 = nullptr;
        s.CheckCDSectors32 = nullptr;
        s.SectorLib.reset();
        return false;
    }
    return true;
}

}  // namespace

std::optional<int> StartUp(run::RunContext& ctx) {
    run::RunState& s = ctx.state;
    run::SetChartDefaults(s);
    os::TestOS(s, ctx.system);
    if (!run::UsesRawDevice(s.OSPlatformId) && !LoadSectorLibrary(s, ctx.system)) {
        return kMissingLibraryStatus;
    }
    results::HashPaint(s, ctx.chart.canvas);
    ctx.window.ChartChanged();
    ctx.window.SetGaugeColors(kGaugeBackColor, kGaugeForeColor);

    std::vector<std::string> drives = FindOpticalDrives(ctx.system);
    s.NoDrive = drives.empty();
    if (s.NoDrive) {
        drives.emplace_back(kNoDriveItem);
    }
    ctx.window.SetDriveList(drives);
    ctx.window.SetPanelText(run::Panel::State, "System Stopped");
    s.StopRequest = false;
    engine::SelectSequencer(ctx.window, run::MenuMark::N800);
    ctx.dataList.clear();
    return std::nullopt;
}

}  // namespace startup
