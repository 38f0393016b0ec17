// The about box in the Win32 API.
#pragma once

#include <windows.h>

#include <functional>

#include "ui/win32/FormWindow.h"

namespace ui::win32 {

// Opens the program's home page for the window that asks.
using HomePageOpener = std::function<void(HWND owner)>;

// The about box: product name, version, notices, the home page link and the help text.
class TAboutDialog final : public FormWindow {
  public:
    // `openHomePage` opens the home page; nothing: the shell's handler for it, the browser.
    // Tests put their own in its place.
    explicit TAboutDialog(HWND owner, HomePageOpener openHomePage = {});
    ~TAboutDialog() override;

    void AddressClick();

  protected:
    void RunCommand(forms::Command command) override;

  private:
    HomePageOpener openHomePage_;
};

// Shows the about box modally with the help text and frees it when it closes, also when
// showing it fails.
void ShowAboutDialog(HWND owner, HomePageOpener openHomePage = {});

}  // namespace ui::win32
