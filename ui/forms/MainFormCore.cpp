#include "ui/forms/MainFormCore.h"

#include <utility>

#include "engine/MeasurementLoop.h"
#include "engine/RunStart.h"
#include "engine/Sequencer.h"
#include "results/CatalogueFiling.h"
#include "results/Replay.h"
#include "results/Saving.h"
#include "startup/StartFailure.h"
#include "startup/StartUp.h"

namespace ui::forms {

MainFormCore::MainFormCore(std::unique_ptr<platform::System> system,
                           std::unique_ptr<run::UserPrompts> prompts)
    : system_(std::move(system)),
      prompts_(std::move(prompts)),
      // The window is the run's RunWindow from here on, though its controls come later.
      ctx_{state_, dataList_, chart_, *system_, *this, *prompts_} {
    comparison_.SetCatalogue(results::CatalogueFromEnvironment());
}

void MainFormCore::FormCreate() {
    startUpStatus_ = startup::StartUp(ctx_);
}

void MainFormCore::Button1Click() {
    comparison_.RunStarting(ctx_);
    if (!engine::StartRun(ctx_)) {
        // The error sound has said that no run started; the box says why.
        comparison_.RunNotStarted(ctx_);
        Prompts().ShowError(startup::WindowStartFailure(state_, *system_, DriveListText()));
        return;
    }
    comparison_.RunStarted(ctx_);
}

void MainFormCore::Button2Click() {
    state_.StopRequest = true;
}

void MainFormCore::Timer1Timer() {
    engine::MeasureTick(ctx_);
}

void MainFormCore::SaveGraphic1Click() {
    results::SaveGraphic(ctx_);
}

void MainFormCore::SaveData1Click() {
    results::SaveData(ctx_);
}

void MainFormCore::LoadData1Click() {
    if (results::LoadData(ctx_)) {
        comparison_.Drop(ctx_);
    }
}

void MainFormCore::CompareWith1Click() {
    comparison_.Choose(ctx_);
}

void MainFormCore::RunEnded(bool stopped) {
    comparison_.RunEnded(ctx_, stopped);
}

void MainFormCore::AutoSave1Click() {
    results::ToggleAutoSave(*this);
}

void MainFormCore::N1000Click() {
    engine::SelectSequencer(*this, run::MenuMark::N1000);
}

void MainFormCore::N800Click() {
    engine::SelectSequencer(*this, run::MenuMark::N800);
}

void MainFormCore::N600Click() {
    engine::SelectSequencer(*this, run::MenuMark::N600);
}

}  // namespace ui::forms
