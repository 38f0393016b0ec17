#include "ui/qt/Gauges.h"

#include <QPainter>
#include <QResizeEvent>

#include "ui/qt/BitmapImage.h"

namespace ui::qt {

TGauge::TGauge(QWidget* parent) : QWidget(parent) {
    // The core paints its whole rectangle.
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(kCreatedSide, kCreatedSide);
    core_.SetSize(kCreatedSide, kCreatedSide);
    core_.SetRepaintHandler([this] { repaint(); });
}

void TGauge::SetBounds(int left, int top, int width, int height) {
    setGeometry(left, top, width, height);
    core_.SetSize(width, height);
}

void TGauge::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.drawImage(0, 0, ToQImage(core_.Paint()));
}

void TGauge::resizeEvent(QResizeEvent* event) {
    core_.SetSize(event->size().width(), event->size().height());
    QWidget::resizeEvent(event);
}

}  // namespace ui::qt
