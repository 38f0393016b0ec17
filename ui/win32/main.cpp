// Discometer: measures how fast an optical drive reads a data disc.
#include <windows.h>

#include <memory>

#include "platform/System.h"
#include "ui/win32/MessageLoop.h"
#include "ui/win32/Unit1.h"
#include "ui/win32/Win32Prompts.h"

int WINAPI WinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, LPSTR /*commandLine*/,
                   int showCommand) {
    // The window's title is what the task bar shows: the program's title.
    ui::win32::TForm1 form1(platform::MakeNativeSystem(),
                            std::make_unique<ui::win32::Win32Prompts>());
    if (const auto status = form1.StartUpStatus()) {
        return *status;
    }
    form1.Show(showCommand);
    return ui::win32::RunMessageLoop();
}
