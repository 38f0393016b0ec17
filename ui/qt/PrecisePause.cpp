#include "ui/qt/PrecisePause.h"

#include <thread>

namespace ui::qt {

PrecisePause::PrecisePause(QTimer& runTimer, QObject* parent)
    : QObject(parent), run_(runTimer), early_(this) {
    early_.setSingleShot(true);
    early_.setTimerType(Qt::PreciseTimer);
    connect(&early_, &QTimer::timeout, this, &PrecisePause::Woken);
}

void PrecisePause::Start() {
    const std::chrono::milliseconds interval = run_.intervalAsDuration();
    due_ = std::chrono::steady_clock::now() + interval;
    run_.start();
    if (interval > kEarly) {
        early_.start(interval - kEarly);
    }
}

void PrecisePause::Stop() {
    early_.stop();
    run_.stop();
}

void PrecisePause::Woken() {
    if (!run_.isActive()) {
        return;  // the run ended meanwhile
    }
    std::this_thread::sleep_until(due_);
    lastDue_ = std::chrono::steady_clock::now();
    emit Due();
}

}  // namespace ui::qt
