// Prompts that make no sound and show nothing, so that no sound or box adds to a measured
// time. The event pass is either none or the window's own (the real prompts'), the load
// dialog can be answered with a file, and the completion sound can be watched.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "run/RunWindow.h"
#include "ui/qt/QtPrompts.h"

namespace bench {

class QuietPrompts final : public run::UserPrompts {
  public:
    enum class Events { None, Window };

    explicit QuietPrompts(Events events, std::function<void()> onDone = {})
        : events_(events), onDone_(std::move(onDone)) {}

    void AnswerFileDialogs(std::string path) { answer_ = std::move(path); }

    void Sound_Done() override {
        if (onDone_) {
            onDone_();
        }
    }
    void Sound_Error() override {}
    void ShowMessage(std::string_view) override {}
    void ShowError(std::string_view) override {}
    std::optional<std::string> AskFileName(run::FileDialog) override { return answer_; }
    void ProcessPendingEvents() override {
        if (events_ == Events::Window) {
            window_.ProcessPendingEvents();
        }
    }

  private:
    Events events_;
    std::function<void()> onDone_;
    std::optional<std::string> answer_;
    ui::qt::QtPrompts window_;
};

}  // namespace bench
