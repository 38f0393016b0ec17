// Discometer: measures how fast an optical drive reads a data disc.
#include <QApplication>
#include <memory>

#include "platform/System.h"
#include "ui/QtPrompts.h"
#include "ui/Unit1.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    // No application display name: Qt would add it to every window's title. The task bar shows
    // the main window's title, which is the program's.
    ui::UseClassicLook(app);

    ui::TForm1 form1(platform::MakeNativeSystem(), std::make_unique<ui::QtPrompts>());
    if (const auto status = form1.StartUpStatus()) {
        return *status;
    }
    form1.show();
    QApplication::exec();
    return 0;
}
