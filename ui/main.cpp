// Discometer: measures how fast an optical drive reads a data disc.
#include <QApplication>
#include <memory>

#include "engine/RunState.h"
#include "platform/System.h"
#include "ui/QtPrompts.h"
#include "ui/Unit1.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QString::fromLatin1(engine::kProgramTitleText));
    ui::UseClassicLook(app);

    ui::TForm1 form1(platform::MakeNativeSystem(), std::make_unique<ui::QtPrompts>());
    if (const auto status = form1.StartUpStatus()) {
        return *status;
    }
    form1.show();
    QApplication::exec();
    return 0;
}
