#include "ui/qt/Bevels.h"

#include <QPainter>

namespace ui::qt {

namespace {

// The outline of the rectangle: top and left edges in one colour, bottom and right in another.
void DrawEdges(QPainter& painter, const QRect& r, const QColor& topLeft,
               const QColor& bottomRight) {
    painter.setPen(topLeft);
    painter.drawLine(r.left(), r.top(), r.right(), r.top());
    painter.drawLine(r.left(), r.top(), r.left(), r.bottom());
    painter.setPen(bottomRight);
    painter.drawLine(r.right(), r.top(), r.right(), r.bottom());
    painter.drawLine(r.left(), r.bottom(), r.right(), r.bottom());
}

}  // namespace

TBevel::TBevel(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void TBevel::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    const QColor shadow = palette().color(QPalette::Dark);
    const QColor highlight = palette().color(QPalette::Light);
    // The light rectangle one pixel to the lower right, the dark one over it.
    const QRect outer = rect().adjusted(0, 0, -1, -1);
    DrawEdges(painter, outer.translated(1, 1), highlight, highlight);
    DrawEdges(painter, outer, shadow, shadow);
}

TPanel::TPanel(QWidget* parent) : QWidget(parent) {
    setAutoFillBackground(true);
}

void TPanel::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    const QColor shadow = palette().color(QPalette::Dark);
    const QColor highlight = palette().color(QPalette::Light);
    const QRect outer = rect();
    DrawEdges(painter, outer, shadow, highlight);
    DrawEdges(painter, outer.adjusted(1, 1, -1, -1), highlight, shadow);
}

}  // namespace ui::qt
