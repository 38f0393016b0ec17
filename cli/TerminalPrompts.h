#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/Streams.h"
#include "run/RunWindow.h"

namespace cli {

// The user of a run without a screen: messages and errors go to stderr, the file dialogs
// answer with the names given on the command line, and there are no sounds.
class TerminalPrompts final : public run::UserPrompts {
  public:
    explicit TerminalPrompts(Streams& streams) : streams_(streams) {}

    void Sound_Done() override {}
    void Sound_Error() override { ++errorSounds_; }
    void ShowMessage(std::string_view text) override;
    void ShowError(std::string_view text) override;
    // In the terminal's own words, the name quoted.
    void ShowCreateError(const std::string& path, std::error_code reason) override;
    std::optional<std::string> AskFileName(run::FileDialog dialog) override;
    void ProcessPendingEvents() override {}

    // The names the dialogs give; a dialog without one is cancelled.
    void SetFileName(run::FileDialog dialog, std::optional<std::string> name);

    // What the command needs to know to choose its exit status.
    int ErrorSounds() const { return errorSounds_; }
    const std::vector<std::string>& Messages() const { return messages_; }
    const std::vector<std::string>& Errors() const { return errors_; }
    // The files that could not be created, as their errors named them.
    const std::vector<std::string>& CreateFailures() const { return createFailures_; }

  private:
    Streams& streams_;
    std::optional<std::string> saveGraphic_;
    std::optional<std::string> saveData_;
    std::optional<std::string> loadData_;
    int errorSounds_ = 0;
    std::vector<std::string> messages_;
    std::vector<std::string> errors_;
    std::vector<std::string> createFailures_;
};

}  // namespace cli
