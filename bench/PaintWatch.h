// Counts the paints a widget receives and notes when the first one arrived.
#pragma once

#include <QEvent>
#include <QObject>
#include <cstdint>

#include "bench/BenchClock.h"

namespace bench {

class PaintWatch final : public QObject {
  public:
    explicit PaintWatch(QObject* watched) : watched_(watched) {
        watched_->installEventFilter(this);
    }
    ~PaintWatch() override { watched_->removeEventFilter(this); }
    PaintWatch(const PaintWatch&) = delete;
    PaintWatch& operator=(const PaintWatch&) = delete;

    int Paints() const { return paints_; }
    // When the first paint was handed to the widget; 0 before it.
    std::int64_t FirstPaintNs() const { return firstNs_; }
    void Reset() {
        paints_ = 0;
        firstNs_ = 0;
    }

  protected:
    bool eventFilter(QObject* object, QEvent* event) override {
        if (object == watched_ && event->type() == QEvent::Paint) {
            if (paints_++ == 0) {
                firstNs_ = MonotonicNs();
            }
        }
        return false;
    }

  private:
    QObject* watched_;
    int paints_ = 0;
    std::int64_t firstNs_ = 0;
};

}  // namespace bench
