#include "results/BlockDisplay.h"

#include "results/ChartFrame.h"
#include "results/NumberText.h"

namespace results {

void ShowBlockRead(run::RunContext& ctx) {
    const run::RunState& s = ctx.state;
    ctx.window.SetPanelText(run::Panel::BlocksRead, "Blocks Read : " + IntToText(s.BlockIndex));
    ctx.window.SetGaugeProgress(s.BlockIndex);
}

void ShowBlockSpeed(run::RunContext& ctx) {
    run::RunState& s = ctx.state;
    ctx.window.SetPanelText(run::Panel::Speed, "Transfer Speed Kb/s : " + TruncToText(s.CurSpeed));
    if (s.CurSpeed > s.MaxSpeed) {
        s.MaxSpeed = s.CurSpeed;
    }
    if (s.CurSpeed < s.MinSpeed) {
        s.MinSpeed = s.CurSpeed;
    }
    s.CurSpeed = LimitSpeed(s, s.CurSpeed);
    s.PointY = SpeedToPointY(s, s.CurSpeed);
    DrawCurveTo(s, ctx.chart.canvas, BlockToX(s, s.BlockIndex));
    ctx.window.SetPanelText(run::Panel::BlocksError, "Blocks Error : " + IntToText(s.ErrorCount));
    ctx.window.ChartChanged();
}

}  // namespace results
