#include "ui/forms/ComparisonView.h"

#include "results/ComparisonChart.h"
#include "results/Replay.h"

namespace ui::forms {

namespace {

std::string FileNameOf(const std::string& path) {
    return path.substr(path.find_last_of("/\\") + 1);
}

}  // namespace

void ComparisonView::Choose(run::RunContext& ctx) {
    const auto asked = ctx.prompts.AskFileName(run::FileDialog::CompareWith);
    if (!asked) {
        return;
    }
    const std::string path = results::LoadDataPath(*asked);
    results::DataList document;
    if (const std::error_code error = results::LoadDocument(path, document)) {
        ctx.prompts.ShowOpenError(path, error);
        return;
    }
    results::RunReading chosen = results::ReadRunRecord(document);
    if (!chosen.run) {
        ctx.prompts.ShowError("Cannot compare with " + path + ": " + chosen.problem);
        return;
    }
    const results::RunReading shown = results::ReadRunRecord(ctx.dataList);
    if (!shown.run) {
        earlier_ = std::move(chosen.run);
        waiting_ = true;
        drawn_ = false;
        ctx.window.SetStatusNote("The next run is compared with " + FileNameOf(path));
        return;
    }
    if (const auto why = results::DifferentDiscs(*chosen.run, *shown.run)) {
        ctx.prompts.ShowError("Not a run of the disc on the chart: " + *why);
        return;
    }
    if (drawn_) {
        // The chart again without the comparison on it.
        results::ReplayDocument(ctx);
        if (ctx.window.Closing()) {
            return;
        }
    }
    earlier_ = std::move(chosen.run);
    waiting_ = false;
    Draw(ctx, true);
    ShowVerdict(ctx);
}

void ComparisonView::RunStarting(run::RunContext& ctx) {
    // The panels show how the start goes.
    ctx.window.SetStatusNote("");
    if (catalogue_) {
        with_.drive = ctx.window.DriveListText();
        // Asked before the run, while the disc it names is the one measured.
        with_.identity = ctx.system.IdentityOf(with_.drive);
    }
}

void ComparisonView::RunNotStarted(run::RunContext& ctx) {
    // A start that got as far as clearing the chart took the comparison with it.
    if (!results::ReadRunRecord(ctx.dataList).run) {
        Forget();
    }
}

void ComparisonView::Forget() {
    if (!waiting_) {
        earlier_.reset();
    }
    drawn_ = false;
    catalogued_.reset();
    notCompared_.clear();
}

void ComparisonView::RunStarted(run::RunContext& ctx) {
    Forget();
    if (catalogue_) {
        catalogued_ = results::FindLastRun(*catalogue_, ctx.state.DiscId).found;
    }
    if (!waiting_ && catalogued_) {
        earlier_ = catalogued_->run;
    }
    waiting_ = false;
    if (!earlier_) {
        return;
    }
    if (const auto why = results::DifferentDiscs(*earlier_, results::DiscOf(ctx.dataList))) {
        notCompared_ = "Not compared: " + *why;
        earlier_.reset();
        return;
    }
    Draw(ctx, false);
}

void ComparisonView::RunEnded(run::RunContext& ctx, bool stopped) {
    run::RunState& s = ctx.state;
    if (drawn_) {
        // Over the run's curve where it went through them.
        results::DrawEarlierErrorMarks(s, ctx.chart.canvas, earlier_->blocks);
    }
    bool firstRun = false;
    if (catalogue_) {
        with_.ended = results::HowItEnded(s, stopped);
        const results::FiledRun filed =
            results::FileMeasuredRun(*catalogue_, s, ctx.dataList, with_, catalogued_);
        if (!filed.filing.filed) {
            ctx.prompts.ShowError("The run was not filed in the catalogue: " +
                                  filed.filing.problem);
        } else if (!filed.filing.problem.empty()) {
            ctx.prompts.ShowError("The catalogue: " + filed.filing.problem);
        }
        firstRun = filed.filing.filed && !catalogued_;
    }
    if (earlier_) {
        ShowVerdict(ctx);
    } else if (!notCompared_.empty()) {
        ctx.window.SetStatusNote(notCompared_);
    } else if (firstRun) {
        ctx.window.SetStatusNote("Filed: the disc's first run in the catalogue");
    }
}

void ComparisonView::Drop(run::RunContext& ctx) {
    earlier_.reset();
    waiting_ = false;
    drawn_ = false;
    ctx.window.SetStatusNote("");
}

void ComparisonView::Draw(run::RunContext& ctx, bool finished) {
    if (finished) {
        results::DrawEarlierCurveBehind(ctx.state, ctx.chart.canvas, earlier_->blocks);
    } else {
        results::DrawEarlierRun(ctx.state, ctx.chart.canvas, earlier_->blocks);
    }
    drawn_ = true;
    ctx.window.ChartChanged();
}

void ComparisonView::ShowVerdict(run::RunContext& ctx) {
    const results::RunReading measured = results::ReadRunRecord(ctx.dataList);
    if (!measured.run) {
        ctx.window.SetStatusNote("Not compared: " + measured.problem);
        return;
    }
    const results::ComparisonResult result = results::CompareRuns(*earlier_, *measured.run, false);
    ctx.window.SetStatusNote(result.comparison ? results::VerdictNote(*result.comparison)
                                               : "Not compared: " + *result.differentDiscs);
}

}  // namespace ui::forms
