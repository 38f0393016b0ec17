// The real dialogs, message boxes, sounds and event pass on Windows.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "platform/Sound.h"
#include "run/RunWindow.h"
#include "ui/forms/MainForm.h"

namespace ui::win32 {

// The filter of a common file dialog: each description and pattern ended by a NUL, the whole
// ended by a second one.
std::string DialogFilter(std::string_view filter);

// A common open or save dialog as its description sets it up: its title, filter and default
// extension, and the default options, so no question comes before a file is replaced. The
// texts the settings point to live in the object; the chosen name arrives in `name`.
struct FileDialogSettings {
    FileDialogSettings(const forms::FileDialogSpec& spec, HWND owner);
    FileDialogSettings(const FileDialogSettings&) = delete;
    FileDialogSettings& operator=(const FileDialogSettings&) = delete;

    std::string title;
    std::string filter;
    std::string defaultExtension;
    std::string name;
    OPENFILENAMEA settings{};
};

// Message boxes carry the program's title and belong to the active window, as do the common
// file dialogs; the sounds are the program's wave resources.
class Win32Prompts final : public run::UserPrompts {
  public:
    void Sound_Done() override;
    void Sound_Error() override;
    void ShowMessage(std::string_view text) override;
    void ShowError(std::string_view text) override;
    std::optional<std::string> AskFileName(run::FileDialog dialog) override;
    void ProcessPendingEvents() override;

  private:
    std::unique_ptr<platform::SoundPlayer> player_ = platform::MakeNativeSoundPlayer();
};

}  // namespace ui::win32
