#include "engine/RunStart.h"

#include <string>
#include <vector>

#include "engine/SectorAccess.h"
#include "engine/Sequencer.h"
#include "engine/VolumeRecognition.h"
#include "results/ChartAxes.h"
#include "results/ChartFrame.h"
#include "results/DiscId.h"
#include "results/DocumentHeader.h"
#include "results/NumberText.h"
#include "run/ReadSpeed.h"
#include "system/OSInfo.h"

namespace engine {

namespace {

constexpr std::int32_t kFirstReadSector = 16;
constexpr std::int32_t kFirstReadCount = 984;  // up to sector 999, the end of block 0
constexpr std::int32_t kFirstTimedSector = 1000;
constexpr std::int32_t kBlockStride = 1000;

bool Fail(run::RunContext& ctx, SectorAccess& access) {
    access.CloseDevice();
    ctx.window.ChartChanged();
    ctx.prompts.Sound_Error();
    return false;
}

// A disc that was read but holds nothing a run can measure: the reason goes where the run's
// state is shown.
bool Refuse(run::RunContext& ctx, SectorAccess& access, const std::string& reason) {
    ctx.window.SetPanelText(run::Panel::State, reason);
    return Fail(ctx, access);
}

}  // namespace

bool StartRun(run::RunContext& ctx) {
    run::RunState& s = ctx.state;
    platform::Canvas& canvas = ctx.chart.canvas;
    if (s.NoDrive) {
        ctx.prompts.Sound_Error();
        return false;
    }
    s.ProgramTitle = run::kProgramTitleText;
    s.CopyrightLine = run::kCopyrightText;
    ctx.dataList.clear();
    ctx.window.SetTimerEnabled(false);
    s.StopRequest = false;
    s.DiscGone = platform::DiscState::Present;
    results::UseChartLayout(s, run::ChartLayout{});
    results::HashPaint(s, canvas);
    ctx.window.SetGaugeProgress(0);
    results::SetPlotGeometry(s);
    os::TestOS(s, ctx.system);

    SectorAccess access(s, ctx.system, [&window = ctx.window] { return window.DriveListText(); });
    if (run::UsesRawDevice(s.OSPlatformId) && !access.OpenDevice()) {
        return Fail(ctx, access);
    }
    access.Read_VTOC();
    if (s.ReadStatus < 0) {
        return Fail(ctx, access);
    }
    std::vector<std::uint8_t> descriptors;
    if (const auto problem = TakeVolume(access, descriptors)) {
        return Refuse(ctx, access, *problem);
    }
    s.DiscId = results::DiscIdOf(descriptors);
    const run::Medium medium = results::MediumOf(s.VolumeSize);
    s.FineTiming = medium != run::Medium::CD;
    // Asked in the medium's own multiples once the volume tells the medium, and before the
    // first block is read, so that the whole disc is read at the chosen speed; a speed the
    // medium does not have is its maximum.
    s.ReadSpeed = run::FitReadSpeed(ctx.window.ReadSpeedChoice(), medium);
    s.ReadSpeedTaken =
        s.ReadSpeed == run::kMaxReadSpeed ||
        access.SelectReadSpeed({s.ReadSpeed, medium, static_cast<std::uint32_t>(s.VolumeSize - 1)});
    s.DataSectors = DataSectorsFromMarks(ctx.window);
    s.BlockStride = kBlockStride;

    s.StartSector = kFirstReadSector;
    s.SectorCount = kFirstReadCount;
    access.Read_Block();
    if (s.ReadStatus < 0) {
        return Fail(ctx, access);
    }
    s.SectorCount = s.DataSectors;
    s.StartSector = kFirstTimedSector;
    access.Time_Block();
    if (s.ReadStatus < 0) {
        return Fail(ctx, access);
    }
    results::FitChartToVolume(ctx);

    s.CurSpeed = MeasuredSpeed(s);
    s.MaxSpeed = s.CurSpeed;
    s.MinSpeed = s.CurSpeed;
    s.CurSpeed = results::LimitSpeed(s, s.CurSpeed);
    s.PointY = results::SpeedToPointY(s, s.CurSpeed);
    ctx.window.SetPanelText(run::Panel::SectorsTotal,
                            "Sectors Total : " + results::TruncToText(s.VolumeSize));
    results::DrawDiscSizeMarker(s, canvas);
    canvas.SetFontColor(s.TitleColor);
    s.DriveName = "CDROM";
    s.OSName = os::LiveOSName(os::LiveInputsOf(s));
    results::DrawTitle(s, canvas);
    ctx.window.SetPanelText(run::Panel::State, "Proceed...");
    results::BeginCurve(s, canvas);
    s.BlockIndex = 1;
    results::WriteDocumentHeader(ctx.dataList, s);
    s.ErrorCount = 0;
    ctx.window.SetFocus(run::Control::StopButton);
    ctx.window.SetEnabled(run::Control::StartButton, false);
    ctx.window.SetEnabled(run::Control::DriveList, false);
    ctx.window.SetEnabled(run::Control::FilesMenu, false);
    ctx.window.SetGaugeMaxValue(results::GaugeBlocks(s.VolumeSize));
    ctx.window.SetTimerEnabled(true);
    ctx.window.ChartChanged();
    return true;
}

}  // namespace engine
