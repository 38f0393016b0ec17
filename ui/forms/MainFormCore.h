// What the main window runs on, and the handlers that every front end shares.
#pragma once

#include <exception>
#include <memory>
#include <optional>

#include "platform/System.h"
#include "results/ResultsDocument.h"
#include "run/RunContext.h"
#include "run/RunState.h"
#include "run/RunWindow.h"
#include "ui/forms/ComparisonView.h"

namespace ui::forms {

// The main window without its toolkit. It owns the system and the prompts it is made with,
// the run state, the results document and the chart for the program's whole life, and the run
// context that hands them to the engine with the window itself as the RunWindow; its handlers
// only pass that context on. Each front end's TForm1 derives from it, builds its controls from
// the description, shows a run on them (the RunWindow operations), and calls FormCreate once
// the controls exist.
class MainFormCore : public run::RunWindow {
  public:
    // The exit status when start-up found that the program cannot run, else nothing.
    std::optional<int> StartUpStatus() const { return startUpStatus_; }

    // Event handlers.
    void Button1Click();
    void Button2Click();
    void Timer1Timer();
    void SaveGraphic1Click();
    void SaveData1Click();
    void LoadData1Click();
    void CompareWith1Click();
    void AutoSave1Click();
    void N1000Click();
    void N800Click();
    void N600Click();
    // Each front end shows its own about box.
    virtual void About1Click() = 0;

    // What the run works on.
    run::RunContext& Context() { return ctx_; }
    run::RunState& State() { return state_; }
    results::DataList& Document() { return dataList_; }
    run::Chart& ChartPicture() { return chart_; }
    run::UserPrompts& Prompts() { return *prompts_; }
    // The earlier run behind the run on the chart, and the catalogue runs are filed in.
    ComparisonView& Comparison() { return comparison_; }

    // The run's end, for the comparison and the catalogue.
    void RunEnded(bool stopped) final;

  protected:
    // Takes the window as the run's RunWindow without calling on it: the first calls come in
    // FormCreate.
    MainFormCore(std::unique_ptr<platform::System> system,
                 std::unique_ptr<run::UserPrompts> prompts);

    // Start-up: fills the controls and prepares the run state; sets StartUpStatus(). Each
    // front end calls it once, when its controls exist.
    void FormCreate();

    // Runs a handler for the window's toolkit: an error that escapes it goes to the error
    // box, never to the toolkit or the system, which could only end the program.
    template <typename Handler>
    void Guarded(Handler handler) {
        try {
            handler();
        } catch (const std::exception& error) {
            Prompts().ShowError(error.what());
        }
    }

  private:
    std::unique_ptr<platform::System> system_;
    std::unique_ptr<run::UserPrompts> prompts_;
    run::RunState state_;
    results::DataList dataList_;
    run::Chart chart_;
    run::RunContext ctx_;
    ComparisonView comparison_;
    std::optional<int> startUpStatus_;
};

}  // namespace ui::forms
