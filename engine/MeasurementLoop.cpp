#include "engine/MeasurementLoop.h"

#include <cmath>

#include "engine/SectorAccess.h"
#include "results/BlockDisplay.h"
#include "results/ChartFrame.h"
#include "results/DocumentHeader.h"
#include "results/ReadSpeedReport.h"
#include "results/Saving.h"

namespace engine {

namespace {

// Ends the run at once when the failed read found the drive without its disc, or with
// another: every later read would fail (slowly, on an empty drive) or measure another disc
// under this one's label. The read is then no unreadable block of the disc.
bool EndedByTheDisc(run::RunContext& ctx, SectorAccess& access) {
    const platform::DiscState disc = access.CheckDisc();
    if (disc == platform::DiscState::Present) {
        return false;
    }
    ctx.state.DiscGone = disc;
    ctx.window.SetPanelText(run::Panel::State,
                            disc == platform::DiscState::Removed ? "Disc Removed" : "Disc Changed");
    EndRun(ctx);
    return true;
}

}  // namespace

void MeasureTick(run::RunContext& ctx) {
    run::RunState& s = ctx.state;
    platform::Canvas& canvas = ctx.chart.canvas;
    ctx.window.SetTimerEnabled(false);
    if (s.StopRequest) {
        s.StopRequest = false;
        ctx.window.SetPanelText(run::Panel::State, "System Stopped");
        EndRun(ctx, true);
        return;
    }

    SectorAccess access(s, ctx.system, [&window = ctx.window] { return window.DriveListText(); });
    s.BlockIndex += 1;
    s.StartSector = s.BlockIndex * s.BlockStride;
    s.SectorCount = 1000;
    access.Read_Block();
    if (s.ReadStatus >= 0) {
        s.BlockIndex += 1;
        s.StartSector += 1000;
        s.SectorCount = s.DataSectors;
        access.Time_Block();
        s.CurSpeed = MeasuredSpeed(s);
    }
    results::ShowBlockRead(ctx);

    if (s.ReadStatus < 0) {
        if (s.StartSector >= s.VolumeSize - 1000) {
            // The read ran into the end of the volume: the run is complete.
            ctx.window.SetPanelText(run::Panel::State, "Complete");
            ctx.prompts.Sound_Done();
            EndRun(ctx);
            return;
        }
        if (EndedByTheDisc(ctx, access)) {
            return;
        }
        s.ErrorCount += 1;
        results::DrawErrorMark(s, canvas, results::SectorToX(s, s.StartSector));
        s.CurSpeed = 0;
    }

    // The line keeps the speed as measured; the chart limits it to full scale.
    ctx.dataList.push_back(results::ResultLine(s.BlockIndex, s.CurSpeed));
    results::ShowBlockSpeed(ctx);

    if (s.BlockIndex < static_cast<std::int32_t>(std::trunc(s.VolumeSize / 1000))) {
        ctx.window.SetTimerEnabled(true);
        return;
    }
    ctx.window.SetPanelText(run::Panel::State, "Complete");
    ctx.prompts.Sound_Done();
    EndRun(ctx);
}

void EndRun(run::RunContext& ctx, bool stopped) {
    run::RunState& s = ctx.state;
    platform::Canvas& canvas = ctx.chart.canvas;
    if (run::UsesRawDevice(s.OSPlatformId)) {
        s.DeviceHandle.reset();
    }
    results::DrawSummary(s, canvas);
    ctx.window.RunEnded(stopped);
    ctx.window.ChartChanged();
    if (const std::string note = results::ReadSpeedNote(s); !note.empty()) {
        ctx.prompts.ShowMessage(note);
    }

    ctx.window.SetEnabled(run::Control::DriveList, true);
    ctx.window.SetEnabled(run::Control::StartButton, true);
    ctx.window.SetFocus(run::Control::StartButton);
    if (ctx.window.IsChecked(run::MenuMark::AutoSave)) {
        if (results::AutoSave(ctx)) {
            ctx.prompts.ShowMessage("Note: Graphic and Data Saved in .bmp and .dat Files");
        } else {
            // Nothing was saved for the user: let them save by hand.
            ctx.window.SetEnabled(run::Control::SaveGraphic, true);
            ctx.window.SetEnabled(run::Control::SaveData, true);
        }
    } else {
        ctx.window.SetEnabled(run::Control::SaveGraphic, true);
        ctx.window.SetEnabled(run::Control::SaveData, true);
    }
    ctx.window.SetEnabled(run::Control::FilesMenu, true);
}

}  // namespace engine
