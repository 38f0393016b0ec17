// Makes the README's pictures of the window: runs it offscreen on one drive entry, Start
// pressed and its own timer driving the run as a user would see it, and saves a grab of the
// window once the run is complete. Says how long the run took.
//   discometer-picture sim-dvd doc/screenshot-dvd.png
#include <QApplication>
#include <QPixmap>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>

#include "platform/System.h"
#include "ui/qt/Unit1.h"

namespace {

// No sound and no box: the picture is of the window alone. The end of the run ends the loop.
class SilentPrompts final : public run::UserPrompts {
  public:
    void Sound_Done() override { QTimer::singleShot(0, qApp, &QCoreApplication::quit); }
    void Sound_Error() override { QTimer::singleShot(0, qApp, &QCoreApplication::quit); }
    void ShowMessage(std::string_view) override {}
    void ShowError(std::string_view) override {}
    std::optional<std::string> AskFileName(run::FileDialog) override { return std::nullopt; }
    void ProcessPendingEvents() override { QCoreApplication::processEvents(); }
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: discometer-picture DRIVE-ENTRY OUT.png\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ui::qt::UseClassicLook(app);
    ui::qt::TForm1 form(platform::MakeNativeSystem(std::string(argv[1])),
                        std::make_unique<SilentPrompts>());
    if (form.StartUpStatus()) {
        return *form.StartUpStatus();
    }
    form.show();
    const auto start = std::chrono::steady_clock::now();
    QTimer::singleShot(0, &form, [&form] { form.Button1Click(); });
    QApplication::exec();
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    QApplication::processEvents();
    if (!form.grab().save(QString::fromLocal8Bit(argv[2]))) {
        std::fprintf(stderr, "discometer-picture: cannot write %s\n", argv[2]);
        return 1;
    }
    std::printf("%s: run of %.1f s, picture in %s\n", argv[1], seconds, argv[2]);
    return 0;
}
