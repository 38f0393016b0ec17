#pragma once

#include <cstdint>

#include <QElapsedTimer>
#include <QImage>
#include <QPixmap>
#include <QWidget>

#include "platform/Bitmap.h"
#include "ui/forms/Pictures.h"
#include "ui/forms/RepaintThrottle.h"

namespace ui::qt {

// The picture as Qt draws it. Our colours are 0x00BBGGRR; Qt's RGB32 wants 0xFFRRGGBB.
QImage ToQImage(const platform::Bitmap& bitmap);
QColor ToQColor(platform::Color color);
// A picture whose see-through pixels let the widget behind show.
QPixmap ToQPixmap(const forms::Picture& picture);

// Shows a picture that lives elsewhere (the chart), drawn at (0, 0) at its own size. The owner
// calls PictureChanged() whenever the picture has changed.
class BitmapView : public QWidget {
    Q_OBJECT

  public:
    BitmapView(const platform::Bitmap& bitmap, QWidget* parent);

    // Asks for a repaint, at most one a frame; the last change is always shown.
    void PictureChanged();

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    // Milliseconds since the view was made.
    std::uint32_t Now() const;

    const platform::Bitmap& bitmap_;
    // Kept between paints so that a repaint does not allocate.
    QImage image_;
    QElapsedTimer clock_;
    forms::RepaintThrottle throttle_;
};

}  // namespace ui::qt
