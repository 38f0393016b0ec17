// The earlier run of a disc that the chart shows behind the run on it: chosen with Compare
// With, or the disc's last run in the catalogue, which every run measured is filed in.
#pragma once

#include <optional>
#include <string>

#include "results/CatalogueFiling.h"
#include "results/RunComparison.h"
#include "run/RunContext.h"

namespace ui::forms {

class ComparisonView {
  public:
    // The catalogue that every measured run is filed in; nothing files none.
    void SetCatalogue(std::optional<std::string> catalogue) { catalogue_ = std::move(catalogue); }
    const std::optional<std::string>& Catalogue() const { return catalogue_; }

    // Files > Compare With: asks for a saved run of the disc on the chart, draws it behind
    // the run and shows the verdict. With no run on the chart, the run is kept for the next
    // one measured, which draws over it as it goes.
    void Choose(run::RunContext& ctx);

    // Before a run starts.
    void RunStarting(run::RunContext& ctx);
    // Once the run has started and the disc is known: the comparison of the run before goes,
    // and the earlier run chosen for this one, else the disc's last run in the catalogue, is
    // drawn behind it.
    void RunStarted(run::RunContext& ctx);
    // A start that failed.
    void RunNotStarted(run::RunContext& ctx);
    // At its end: the run filed in the catalogue, and the verdict.
    void RunEnded(run::RunContext& ctx, bool stopped);

    // Another run was loaded onto the chart: the comparison goes.
    void Drop(run::RunContext& ctx);

    // The earlier run on the chart, or waiting for the next run.
    const std::optional<results::RunRecord>& Earlier() const { return earlier_; }

  private:
    // Drops the comparison of the run before, but not a run chosen for the next one.
    void Forget();
    void Draw(run::RunContext& ctx, bool finished);
    void ShowVerdict(run::RunContext& ctx);

    std::optional<std::string> catalogue_;
    std::optional<results::RunRecord> earlier_;
    bool waiting_ = false;  // chosen with no run on the chart: for the next run
    bool drawn_ = false;    // on the chart
    // The disc's last run in the catalogue when the run started, which it is filed against.
    std::optional<results::EarlierRun> catalogued_;
    results::MeasuredWith with_;
    std::string notCompared_;  // why the run measured has no comparison drawn
};

}  // namespace ui::forms
