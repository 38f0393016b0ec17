// The pause between two ticks of a run, as long as the run's timer says and hardly longer.
#pragma once

#include <QObject>
#include <QTimer>
#include <chrono>

namespace ui::qt {

// The toolkit's timers wait in whole milliseconds and wake late: a tick of a 5 ms timer comes
// 0.2 to 0.4 ms after it is due, which over a DVD's 1,147 pauses makes the window's run 5 %
// longer than the command line's. The pause wakes a millisecond early with a timer of its own
// and sleeps the rest precisely, as the command line does, the window meanwhile painting and
// answering as usual. The run's timer stays what the run enables and tests deliver ticks to;
// should the early wake be held up past its interval, that timer ticks by itself.
class PrecisePause final : public QObject {
    Q_OBJECT

  public:
    static constexpr std::chrono::milliseconds kEarly{1};

    PrecisePause(QTimer& runTimer, QObject* parent);

    // Starts the run's timer, and the early wake where its interval leaves room for one.
    void Start();
    void Stop();
    // The timer that wakes the window early.
    QTimer& EarlyWake() { return early_; }
    // When the last pause ended that the early wake ended: what a benchmark times a tick from.
    std::chrono::steady_clock::time_point LastDue() const { return lastDue_; }

  signals:
    // The pause is over: tick.
    void Due();

  private:
    void Woken();

    QTimer& run_;
    QTimer early_;
    std::chrono::steady_clock::time_point due_;
    std::chrono::steady_clock::time_point lastDue_;
};

}  // namespace ui::qt
