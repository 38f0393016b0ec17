// The moment a timer's tick begins, seen from outside the object that handles it.
#pragma once

#include <QEvent>
#include <QObject>
#include <functional>

namespace bench {

// Calls back when a timer event reaches the object, before the object handles it: the
// moment a tick begins.
class TimerEventWatch final : public QObject {
  public:
    TimerEventWatch(QObject* watched, std::function<void()> onTimer)
        : watched_(watched), onTimer_(std::move(onTimer)) {
        watched_->installEventFilter(this);
    }
    ~TimerEventWatch() override { watched_->removeEventFilter(this); }
    TimerEventWatch(const TimerEventWatch&) = delete;
    TimerEventWatch& operator=(const TimerEventWatch&) = delete;

  protected:
    bool eventFilter(QObject* object, QEvent* event) override {
        if (object == watched_ && event->type() == QEvent::Timer) {
            onTimer_();
        }
        return false;
    }

  private:
    QObject* watched_;
    std::function<void()> onTimer_;
};

}  // namespace bench
