#pragma once

#include <QFileDialog>
#include <memory>

#include "platform/Sound.h"
#include "run/RunWindow.h"

namespace ui::qt {

// The file dialog a question opens, set up with its title, filters and default extension but
// not yet shown. No question before replacing a file: the user chose the name.
std::unique_ptr<QFileDialog> MakeFileDialog(run::FileDialog which, QWidget* parent);

// The real dialogs, message boxes and sounds. Dialogs belong to the active window, so they are
// modal to the main window.
class QtPrompts final : public run::UserPrompts {
  public:
    void Sound_Done() override;
    void Sound_Error() override;
    void ShowMessage(std::string_view text) override;
    void ShowError(std::string_view text) override;
    std::optional<std::string> AskFileName(run::FileDialog which) override;
    void ProcessPendingEvents() override;

  private:
    std::unique_ptr<platform::SoundPlayer> player_ = platform::MakeNativeSoundPlayer();
};

}  // namespace ui::qt
