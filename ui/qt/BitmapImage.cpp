#include "ui/qt/BitmapImage.h"

#include <QPaintEvent>
#include <QPainter>
#include <QTimer>

namespace ui::qt {

namespace {

constexpr QRgb ToQRgb(platform::Color c) {
    return qRgb(platform::RedOf(c), platform::GreenOf(c), platform::BlueOf(c));
}

// Converts the rows top to bottom within the rectangle, which lies inside both pictures.
void CopyRows(const platform::Bitmap& from, QImage& to, const QRect& area) {
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const auto src = from.Row(y);
        auto* dst = reinterpret_cast<QRgb*>(to.scanLine(y));
        for (int x = area.left(); x <= area.right(); ++x) {
            dst[x] = ToQRgb(src[static_cast<std::size_t>(x)]);
        }
    }
}

}  // namespace

QImage ToQImage(const platform::Bitmap& bitmap) {
    QImage image(bitmap.Width(), bitmap.Height(), QImage::Format_RGB32);
    CopyRows(bitmap, image, image.rect());
    return image;
}

QColor ToQColor(platform::Color color) {
    return QColor::fromRgb(ToQRgb(color));
}

QPixmap ToQPixmap(const forms::Picture& picture) {
    const platform::Bitmap& pixels = picture.pixels;
    QImage image(pixels.Width(), pixels.Height(), QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            line[x] = picture.IsTransparent(x, y) ? qRgba(0, 0, 0, 0) : ToQRgb(pixels.Pixel(x, y));
        }
    }
    return QPixmap::fromImage(image);
}

BitmapView::BitmapView(const platform::Bitmap& bitmap, QWidget* parent)
    : QWidget(parent), bitmap_(bitmap) {
    // Every pixel is ours: Qt need not clear the background first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    clock_.start();
}

void BitmapView::PictureChanged() {
    const auto delay = throttle_.Changed(Now());
    if (!delay) {
        return;
    }
    if (*delay == 0) {
        update();
        return;
    }
    QTimer::singleShot(static_cast<int>(*delay), this, [this] {
        throttle_.PutOffRepaintMade(Now());
        update();
    });
}

std::uint32_t BitmapView::Now() const {
    // The throttle's clock wraps around, as the throttle expects.
    return static_cast<std::uint32_t>(clock_.elapsed());
}

void BitmapView::paintEvent(QPaintEvent* event) {
    if (image_.size() != QSize(bitmap_.Width(), bitmap_.Height())) {
        image_ = QImage(bitmap_.Width(), bitmap_.Height(), QImage::Format_RGB32);
    }
    // Only the part asked for is converted: the curve's repaints are the whole picture, but
    // an uncovered corner of the window is not.
    const QRect area = event->rect() & image_.rect();
    if (!area.isEmpty()) {
        CopyRows(bitmap_, image_, area);
    }
    QPainter painter(this);
    if (!image_.rect().contains(event->rect())) {
        painter.fillRect(event->rect(), Qt::black);
    }
    painter.drawImage(area.topLeft(), image_, area);
}

}  // namespace ui::qt
