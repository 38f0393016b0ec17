#include "results/BlockDisplay.h"

#include "results/ChartFrame.h"
#include "results/NumberText.h"

namespace results {

void ShowBlockRead(engine::RunContext& ctx) {
    const engine::RunState& s = ctx.state;
    ctx.window.SetPanelText(engine::Panel::BlocksRead, "Blocks Read : " + IntToText(s.BlockIndex));
    ctx.window.SetGaugeProgress(s.BlockIndex);
}

void ShowBlockSpeed(engine::RunContext& ctx) {
    engine::RunState& s = ctx.state;
    ctx.window.SetPanelText(engine::Panel::Speed,
                            "Transfer Speed Kb/s : " + TruncToText(s.CurSpeed));
    if (s.CurSpeed > s.MaxSpeed) {
        s.MaxSpeed = s.CurSpeed;
    }
    if (s.CurSpeed < s.MinSpeed) {
        s.MinSpeed = s.CurSpeed;
    }
    s.CurSpeed = LimitSpeed(s, s.CurSpeed);
    s.PointY = SpeedToPointY(s, s.CurSpeed);
    DrawCurveTo(s, ctx.chart.canvas, BlockToX(s, s.BlockIndex));
    ctx.window.SetPanelText(engine::Panel::BlocksError,
                            "Blocks Error : " + IntToText(s.ErrorCount));
    ctx.window.ChartChanged();
}

}  // namespace results
