// The real window, offscreen, on a simulated drive with recording prompts; and a fresh current
// folder for tests that save.
#pragma once

#include <unistd.h>
#include <QAction>
#include <QApplication>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "support/RunFakes.h"
#include "support/TempDir.h"
#include "ui/qt/ButtonPictures.h"
#include "ui/qt/StatusBar.h"
#include "ui/qt/Unit1.h"

namespace fixtures {

inline QApplication& App() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    static int argc = 1;
    static char name[] = "discometer-test";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
    static const bool styled = [] {
        ui::qt::UseClassicLook(app);
        return true;
    }();
    (void)styled;
    return app;
}

// The window on a simulated drive, with recording prompts.
struct Window {
    explicit Window(platform::SimDiscParams disc = fakes::SmallDisc(),
                    const std::function<void(platform::SimSystem&)>& arrange = {})
        : drive(std::make_shared<platform::SimDrive>(std::move(disc))) {
        App();
        auto system = std::make_unique<platform::SimSystem>(drive);
        if (arrange) {
            arrange(*system);
        }
        auto ownPrompts = std::make_unique<fakes::FakePrompts>();
        prompts = ownPrompts.get();
        form = std::make_unique<ui::qt::TForm1>(std::move(system), std::move(ownPrompts));
        form->SetAboutBox([this](QWidget*) { ++aboutShown; });
    }

    // Ticks while the timer runs, as Qt would; bounded so that a fault cannot hang the test.
    int RunToEnd() {
        int ticks = 0;
        while (form->Timer1()->isActive() && ticks < 100000) {
            form->Timer1Timer();
            ++ticks;
        }
        return ticks;
    }

    QString Panel(run::Panel p) const { return form->StatusBar1()->PanelText(static_cast<int>(p)); }

    std::shared_ptr<platform::SimDrive> drive;
    fakes::FakePrompts* prompts = nullptr;
    std::unique_ptr<ui::qt::TForm1> form;
    int aboutShown = 0;
};

// The label of the small simulated disc, as a run reads it.
inline const std::string kSmallLabel = "SMALL" + std::string(27, ' ');

}  // namespace fixtures
