#include "engine/MeasurementLoop.h"

#include <cmath>

#include "engine/SectorAccess.h"
#include "results/ChartFrame.h"
#include "results/DocumentHeader.h"
#include "results/NumberText.h"
#include "results/Saving.h"

namespace engine {

namespace {

std::string IntText(std::int32_t value) {
    return results::IntToText(value);
}

}  // namespace

void MeasureTick(RunContext& ctx) {
    RunState& s = ctx.state;
    platform::Canvas& canvas = ctx.chart.canvas;
    ctx.window.SetTimerEnabled(false);
    if (s.StopRequest) {
        s.StopRequest = false;
        ctx.window.SetPanelText(Panel::State, "System Stopped");
        EndRun(ctx);
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
        s.CurSpeed = TransferSpeed(s.SectorCount, s.BlockTicks);
    }
    ctx.window.SetPanelText(Panel::BlocksRead, "Blocks Read : " + IntText(s.BlockIndex));
    ctx.window.SetGaugeProgress(s.BlockIndex);

    if (s.ReadStatus < 0) {
        if (s.StartSector >= s.VolumeSize - 1000) {
            // The read ran into the end of the volume: the run is complete.
            ctx.window.SetPanelText(Panel::State, "Complete");
            ctx.prompts.Sound_Done();
            EndRun(ctx);
            return;
        }
        s.ErrorCount += 1;
        results::DrawErrorMark(s, canvas, results::SectorToX(s, s.StartSector));
        s.CurSpeed = 0;
    }

    const std::string speedText = results::TruncToText(s.CurSpeed);
    ctx.window.SetPanelText(Panel::Speed, "Transfer Speed Kb/s : " + speedText);
    ctx.dataList.push_back(IntText(s.BlockIndex) + ' ' + speedText);
    if (s.CurSpeed > s.MaxSpeed) {
        s.MaxSpeed = s.CurSpeed;
    }
    if (s.CurSpeed < s.MinSpeed) {
        s.MinSpeed = s.CurSpeed;
    }
    s.CurSpeed = results::LimitSpeed(s, s.CurSpeed);
    s.PointY = results::SpeedToPointY(s, s.CurSpeed);
    results::DrawCurveTo(s, canvas, results::BlockToX(s, s.BlockIndex));
    ctx.window.SetPanelText(Panel::BlocksError, "Blocks Error : " + IntText(s.ErrorCount));
    ctx.window.ChartChanged();

    if (s.BlockIndex < static_cast<std::int32_t>(std::trunc(s.VolumeSize / 1000))) {
        ctx.window.SetTimerEnabled(true);
        return;
    }
    ctx.window.SetPanelText(Panel::State, "Complete");
    ctx.prompts.Sound_Done();
    EndRun(ctx);
}

void EndRun(RunContext& ctx) {
    RunState& s = ctx.state;
    platform::Canvas& canvas = ctx.chart.canvas;
    if (UsesRawDevice(s.OSPlatformId)) {
        s.DeviceHandle.reset();
    }
    results::DrawSummary(s, canvas);
    ctx.window.ChartChanged();

    ctx.window.SetEnabled(Control::DriveList, true);
    ctx.window.SetEnabled(Control::StartButton, true);
    ctx.window.SetFocus(Control::StartButton);
    if (ctx.window.IsChecked(MenuMark::AutoSave)) {
        if (results::AutoSave(ctx)) {
            ctx.prompts.ShowMessage("Note: Graphic and Data Saved in .bmp and .dat Files");
        } else {
            // Nothing was saved for the user: let them save by hand.
            ctx.window.SetEnabled(Control::SaveGraphic, true);
            ctx.window.SetEnabled(Control::SaveData, true);
        }
    } else {
        ctx.window.SetEnabled(Control::SaveGraphic, true);
        ctx.window.SetEnabled(Control::SaveData, true);
    }
    ctx.window.SetEnabled(Control::FilesMenu, true);
}

}  // namespace engine
