#include "results/Replay.h"

#include <limits>
#include <string>
#include <string_view>

#include "platform/Files.h"
#include "results/BlockDisplay.h"
#include "results/ChartAxes.h"
#include "results/ChartFrame.h"
#include "results/DocumentHeader.h"
#include "results/NumberText.h"
#include "results/VolumeLabel.h"
#include "system/OSInfo.h"

namespace results {

namespace {

using run::Control;
using run::Panel;

// A count or block number one higher, staying at the top of the range instead of wrapping.
std::int32_t OneMore(std::int32_t value) {
    return value == std::numeric_limits<std::int32_t>::max() ? value : value + 1;
}

void TakeHeader(run::RunState& s, const DocumentHeader& h) {
    s.ProgramTitle = h.Program;
    s.CopyrightLine = h.Copyright;
    s.OSPlatformId = static_cast<std::uint32_t>(h.Platform);
    s.OSMajorVersion = static_cast<std::uint32_t>(h.MajorVersion);
    s.OSMinorVersion = static_cast<std::uint32_t>(h.MinorVersion);
    s.DriveName = h.Name;
    s.VolumeLabel = PrintableLabel(h.VolLabel);
    s.VolumeSize = h.VolSize;
}

// Keeps Start and Load Data refused for as long as it lives, then gives them back the
// state they had: the window's events run between the lines of a replay, and neither may
// change the document under it.
class ReplayLock {
  public:
    explicit ReplayLock(run::RunWindow& window)
        : window_(window),
          start_(window.IsEnabled(Control::StartButton)),
          load_(window.IsEnabled(Control::LoadData)),
          compare_(window.IsEnabled(Control::CompareWith)) {
        window_.SetEnabled(Control::StartButton, false);
        window_.SetEnabled(Control::LoadData, false);
        window_.SetEnabled(Control::CompareWith, false);
    }
    ~ReplayLock() {
        window_.SetEnabled(Control::StartButton, start_);
        window_.SetEnabled(Control::LoadData, load_);
        window_.SetEnabled(Control::CompareWith, compare_);
    }
    ReplayLock(const ReplayLock&) = delete;
    ReplayLock& operator=(const ReplayLock&) = delete;

  private:
    run::RunWindow& window_;
    bool start_;
    bool load_;
    bool compare_;
};

}  // namespace

void BadData(run::RunContext& ctx) {
    ctx.prompts.Sound_Error();
    ctx.prompts.ShowMessage("No right Transfer Results in this file found");
}

std::string LoadDataPath(const std::string& given) {
    const auto exists = [](const std::string& path) {
        return platform::InspectPath(path).kind != platform::PathKind::Missing;
    };
    if (exists(given)) {
        return given;
    }
    constexpr std::string_view kExtension = ".dat";
    const std::size_t nameStart = given.find_last_of("/\\") + 1;  // 0 without a folder
    const std::string_view name = std::string_view(given).substr(nameStart);
    if (name.size() > kExtension.size() && name.ends_with(kExtension)) {
        std::string bare = given.substr(0, given.size() - kExtension.size());
        if (exists(bare) && bare.find('.', nameStart) == std::string::npos) {
            return bare;
        }
    }
    if (!name.empty() && name.find('.') == std::string_view::npos &&
        exists(given + std::string(kExtension))) {
        return given + std::string(kExtension);
    }
    return given;
}

bool LoadData(run::RunContext& ctx) {
    const auto asked = ctx.prompts.AskFileName(run::FileDialog::LoadData);
    if (!asked) {
        return false;
    }
    const std::string path = LoadDataPath(*asked);
    if (const std::error_code error = LoadDocument(path, ctx.dataList)) {
        ctx.prompts.ShowOpenError(path, error);
        return false;
    }
    ReplayDocument(ctx);
    return true;
}

void ReplayDocument(run::RunContext& ctx) {
    ReplayLock lock(ctx.window);
    DrawData(ctx);
}

void DrawData(run::RunContext& ctx) {
    run::RunState& s = ctx.state;
    platform::Canvas& canvas = ctx.chart.canvas;
    const DataList& lines = ctx.dataList;

    UseChartLayout(s, run::ChartLayout{});
    HashPaint(s, canvas);
    SetPlotGeometry(s);
    const std::size_t count = lines.size();

    const DocumentHeader header = ReadDocumentHeader(lines);
    TakeHeader(s, header);
    FitChartToVolume(ctx);
    std::string sectors = "Unknown";
    if (s.VolumeSize != 0) {
        sectors = TruncToText(s.VolumeSize);
        DrawDiscSizeMarker(s, canvas);
    }
    ctx.window.SetPanelText(Panel::SectorsTotal, "Sectors Total : " + sectors);
    canvas.SetBrushColor(s.ChartBackColor);
    canvas.SetPenWidth(1);
    canvas.SetPenStyle(platform::PenStyle::Solid);
    canvas.SetFontColor(s.TitleColor);
    s.OSName = os::ReplayOSName({header.Platform, header.MajorVersion, header.MinorVersion,
                                 header.BuildNumber3, header.BuildNumber2});
    DrawTitle(s, canvas);
    ctx.window.ChartChanged();

    const std::int32_t results = SearchKey(lines, kResultsHeader);
    const auto first = static_cast<std::size_t>(results);
    // A header with no line after it holds no results either.
    if (results == 0 || first >= count) {
        BadData(ctx);
        return;
    }
    const double firstSpeed = ReadFirstResultSpeed(lines[first]);
    s.MaxSpeed = firstSpeed;
    s.MinSpeed = firstSpeed;
    s.CurSpeed = LimitSpeed(s, firstSpeed);
    s.PointY = SpeedToPointY(s, s.CurSpeed);
    BeginCurve(s, canvas);
    s.BlockIndex = 1;  // the first result line's block
    ctx.window.SetPanelText(Panel::State, "Proceed...");
    s.ErrorCount = 0;
    ctx.window.SetGaugeProgress(0);
    ctx.window.SetGaugeMaxValue(GaugeBlocks(s.VolumeSize));

    s.StopRequest = false;  // a Stop pressed before the replay is no stop of it
    bool stopped = false;
    for (std::size_t i = first + 1; i < count && !stopped; ++i) {
        if (const auto result = ReadBlockResult(lines[i])) {
            s.BlockIndex = result->BlockIndex;
            s.CurSpeed = result->Speed;
            ShowBlockRead(ctx);
            if (s.CurSpeed == 0) {
                s.ErrorCount = OneMore(s.ErrorCount);
                DrawErrorMark(s, canvas, BlockToX(s, s.BlockIndex));
            }
            ShowBlockSpeed(ctx);
        }
        if (i + 1 < count) {
            ctx.prompts.ProcessPendingEvents();
            if (ctx.window.Closing()) {
                return;
            }
            stopped = s.StopRequest;
        }
    }

    if (stopped) {
        // What has been drawn stays, with the summary of it, as when a run is stopped.
        s.StopRequest = false;
        ctx.window.SetPanelText(Panel::State, "System Stopped");
    } else {
        s.BlockIndex = OneMore(s.BlockIndex);
        ctx.window.SetPanelText(Panel::BlocksRead, "Blocks Read : " + IntToText(s.BlockIndex));
        ctx.window.SetGaugeProgress(GaugeBlocks(s.VolumeSize));
        ctx.window.SetPanelText(Panel::State, "Complete");
    }
    DrawSummary(s, canvas);
    ctx.window.ChartChanged();
}

}  // namespace results
