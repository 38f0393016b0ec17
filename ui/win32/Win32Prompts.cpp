#include "ui/win32/Win32Prompts.h"

#include <commdlg.h>

#include "ui/win32/AnsiText.h"
#include "ui/win32/MessageLoop.h"

namespace ui::win32 {

namespace {

// Room for a long path; the dialog refuses a longer one.
constexpr std::size_t kNameRoom = 32768;

void ShowBox(std::string_view text, UINT icon) {
    const std::string title = ToAnsi(forms::MainForm().applicationTitle);
    ::MessageBoxA(::GetActiveWindow(), std::string(text).c_str(), title.c_str(), MB_OK | icon);
}

}  // namespace

std::string DialogFilter(std::string_view filter) {
    std::string pairs;
    for (const forms::FilterPair& pair : forms::FilterPairs(filter)) {
        pairs += ToAnsi(pair.description);
        pairs += '\0';
        pairs += ToAnsi(pair.pattern);
        pairs += '\0';
    }
    pairs += '\0';
    return pairs;
}

FileDialogSettings::FileDialogSettings(const forms::FileDialogSpec& spec, HWND owner)
    : title(ToAnsi(spec.title)),
      filter(DialogFilter(spec.filter)),
      defaultExtension(ToAnsi(spec.defaultExtension)),
      name(kNameRoom, '\0') {
    // The size the oldest systems know; the later fields are not used.
    settings.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    settings.hwndOwner = owner;
    settings.lpstrFilter = filter.c_str();
    settings.nFilterIndex = 1;
    settings.lpstrFile = name.data();
    settings.nMaxFile = static_cast<DWORD>(name.size());
    settings.lpstrTitle = title.c_str();
    settings.lpstrDefExt = defaultExtension.empty() ? nullptr : defaultExtension.c_str();
    settings.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_ENABLESIZING;
}

void Win32Prompts::Sound_Done() {
    player_->Play(platform::SoundCue::Done);
}

void Win32Prompts::Sound_Error() {
    player_->Play(platform::SoundCue::Error);
}

void Win32Prompts::ShowMessage(std::string_view text) {
    ShowBox(text, 0);
}

void Win32Prompts::ShowError(std::string_view text) {
    ShowBox(text, MB_ICONSTOP);
}

std::optional<std::string> Win32Prompts::AskFileName(run::FileDialog dialog) {
    const forms::FileDialogSpec& spec = forms::FileDialogOf(dialog);
    FileDialogSettings d(spec, ::GetActiveWindow());
    const BOOL chosen = spec.kind == forms::FileDialogKind::Save ? ::GetSaveFileNameA(&d.settings)
                                                                 : ::GetOpenFileNameA(&d.settings);
    if (!chosen) {
        return std::nullopt;
    }
    return std::string(d.name.c_str());
}

void Win32Prompts::ProcessPendingEvents() {
    ProcessPendingMessages();
}

}  // namespace ui::win32
