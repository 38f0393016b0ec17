#include "ui/win32/About.h"

#include <memory>

#include "platform/windows/HomePage.h"
#include "ui/forms/AboutForm.h"
#include "ui/forms/HelpText.h"
#include "ui/win32/AnsiText.h"

namespace ui::win32 {

TAboutDialog::TAboutDialog(HWND owner, HomePageOpener openHomePage)
    : FormWindow(forms::AboutForm()), openHomePage_(std::move(openHomePage)) {
    Build(owner, {});
}

TAboutDialog::~TAboutDialog() {
    Destroy();
}

void TAboutDialog::AddressClick() {
    // The result does not matter: nothing is reported, and the box stays open.
    if (openHomePage_) {
        openHomePage_(Handle());
    } else {
        platform::OpenHomePage(Handle());
    }
}

void TAboutDialog::RunCommand(forms::Command command) {
    if (command == forms::Command::OpenHomePage) {
        AddressClick();
    }
}

void ShowAboutDialog(HWND owner, HomePageOpener openHomePage) {
    const std::string help = ToAnsi(forms::HelpText());
    const auto dialog = std::make_unique<TAboutDialog>(owner, std::move(openHomePage));
    ::SetWindowTextA(dialog->Control("AboutMemo"), help.c_str());
    dialog->ShowModal();
}

}  // namespace ui::win32
