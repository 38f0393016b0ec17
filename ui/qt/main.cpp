// Discometer: measures how fast an optical drive reads a data disc.
#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string_view>

#include "discometer/Version.h"
#include "platform/System.h"
#include "ui/qt/QtPrompts.h"
#include "ui/qt/Unit1.h"

namespace {

constexpr const char* kHelp =
    "Usage: discometer [--help | --version]\n"
    "\n"
    "Measures how fast an optical drive reads a data disc, in a window: choose a drive\n"
    "and press Start. DISCOMETER_DRIVES=sim,/path/to/disc.iso chooses the drive list\n"
    "(sim is a simulated drive). Without a display, discometer-cli makes the same run\n"
    "on a terminal.\n";

bool IsSet(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
}

// Whether Qt has somewhere to show the window: an X or Wayland display, or a platform the
// user chose that needs none (offscreen, vnc, eglfs, ...).
bool HasDisplay(int argc, char* argv[]) {
    if (IsSet("DISPLAY") || IsSet("WAYLAND_DISPLAY")) {
        return true;
    }
    if (IsSet("QT_QPA_PLATFORM")) {
        const std::string_view platform = std::getenv("QT_QPA_PLATFORM");
        return !platform.starts_with("xcb") && !platform.starts_with("wayland");
    }
    for (int i = 1; i < argc; ++i) {
        if (std::string_view(argv[i]) == "-platform") {
            return true;
        }
    }
    return false;
}

}  // namespace

int main(int argc, char* argv[]) {
    // Answered before Qt starts, which would want a display first.
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg(argv[i]);
        if (arg == "--help" || arg == "-h") {
            std::fputs(kHelp, stdout);
            return 0;
        }
        if (arg == "--version") {
            std::printf("discometer %s\n", discometer::kVersion);
            return 0;
        }
    }
    if (!HasDisplay(argc, argv)) {
        std::fputs(
            "discometer: no display found (DISPLAY and WAYLAND_DISPLAY are not set); "
            "use discometer-cli on a terminal, or start the window under xvfb-run\n",
            stderr);
        return 1;
    }

    QApplication app(argc, argv);
    // No application display name: Qt would add it to every window's title. The task bar shows
    // the main window's title, which is the program's.
    ui::qt::UseClassicLook(app);

    ui::qt::TForm1 form1(platform::MakeNativeSystem(), std::make_unique<ui::qt::QtPrompts>());
    if (const auto status = form1.StartUpStatus()) {
        return *status;
    }
    form1.show();
    QApplication::exec();
    return 0;
}
