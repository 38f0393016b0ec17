#include "bench/StartUpBench.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <cstdio>
#include <memory>
#include <string>

#include "bench/BenchClock.h"
#include "bench/PaintWatch.h"
#include "platform/System.h"
#include "run/RunState.h"
#include "ui/qt/BitmapImage.h"
#include "ui/qt/QtPrompts.h"
#include "ui/qt/Unit1.h"

extern char** environ;

namespace bench {

namespace {

constexpr int kPaintWaitMs = 10'000;

// The child's whole output, up to its end.
std::string ReadAll(int fd) {
    std::string text;
    char buffer[256];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n <= 0) {
            return text;
        }
        text.append(buffer, static_cast<std::size_t>(n));
    }
}

// One launch; false when the child did not report a paint.
bool LaunchOnce(const char* self, StartUpTimes& times) {
    int out[2];
    if (::pipe(out) != 0) {
        return false;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    posix_spawn_file_actions_addclose(&actions, out[1]);
    // Whatever Qt or the sound library say on the child's error output is not ours to show.
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    std::string program = self;
    std::string flag = kFirstPaintFlag;
    char* argv[] = {program.data(), flag.data(), nullptr};
    pid_t pid = 0;
    const long long spawnNs = MonotonicNs();
    const int spawned = ::posix_spawn(&pid, self, &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    const std::string text = spawned == 0 ? ReadAll(out[0]) : std::string();
    ::close(out[0]);
    int status = 0;
    if (spawned != 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0) {
        return false;
    }
    long long mainNs = 0;
    long long applicationNs = 0;
    long long paintNs = 0;
    if (std::sscanf(text.c_str(), "%lld %lld %lld", &mainNs, &applicationNs, &paintNs) != 3 ||
        paintNs < applicationNs) {
        return false;
    }
    times.fromSpawnMs.push_back(static_cast<double>(paintNs - spawnNs) / 1e6);
    times.fromApplicationMs.push_back(static_cast<double>(paintNs - applicationNs) / 1e6);
    return true;
}

}  // namespace

StartUpTimes MeasureStartUp(const char* self, int launches) {
    StartUpTimes times;
    for (int i = 0; i < launches; ++i) {
        if (!LaunchOnce(self, times)) {
            ++times.failures;
        }
    }
    return times;
}

int FirstPaintChild(int argc, char* argv[], long long mainStartNs) {
    const long long applicationNs = MonotonicNs();
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QString::fromLatin1(run::kProgramTitleText));
    ui::qt::UseClassicLook(app);
    ui::qt::TForm1 form1(platform::MakeNativeSystem(), std::make_unique<ui::qt::QtPrompts>());
    if (form1.StartUpStatus()) {
        return 2;
    }
    PaintWatch paints(form1.Image1());
    form1.show();
    // The paint is done when the event pass that delivered it returns.
    QElapsedTimer waited;
    waited.start();
    while (paints.Paints() == 0 && waited.elapsed() < kPaintWaitMs) {
        QCoreApplication::processEvents();
    }
    const long long paintedNs = MonotonicNs();
    if (paints.Paints() == 0) {
        return 3;
    }
    std::printf("%lld %lld %lld\n", mainStartNs, applicationNs, paintedNs);
    return 0;
}

}  // namespace bench
