#include "cli/TerminalPrompts.h"

#include "cli/TerminalText.h"

namespace cli {

void TerminalPrompts::ShowMessage(std::string_view text) {
    messages_.emplace_back(text);
    streams_.Say(Printable(text));
}

void TerminalPrompts::ShowError(std::string_view text) {
    errors_.emplace_back(text);
    streams_.Say(Printable(text));
}

void TerminalPrompts::ShowCreateError(const std::string& path, std::error_code reason) {
    std::string text = run::FileErrorText("cannot create file", Quoted(path), reason);
    streams_.Say(text);
    errors_.push_back(std::move(text));
    createFailures_.push_back(path);
}

std::optional<std::string> TerminalPrompts::AskFileName(run::FileDialog dialog) {
    switch (dialog) {
        case run::FileDialog::SaveGraphic:
            return saveGraphic_;
        case run::FileDialog::SaveData:
            return saveData_;
        case run::FileDialog::LoadData:
            return loadData_;
        case run::FileDialog::CompareWith:
            break;
    }
    return std::nullopt;
}

void TerminalPrompts::SetFileName(run::FileDialog dialog, std::optional<std::string> name) {
    switch (dialog) {
        case run::FileDialog::SaveGraphic:
            saveGraphic_ = std::move(name);
            break;
        case run::FileDialog::SaveData:
            saveData_ = std::move(name);
            break;
        case run::FileDialog::LoadData:
            loadData_ = std::move(name);
            break;
        case run::FileDialog::CompareWith:
            break;
    }
}

}  // namespace cli
