#pragma once

#include <QElapsedTimer>
#include <QImage>
#include <QPixmap>
#include <QWidget>

#include "platform/Bitmap.h"
#include "ui/forms/Pictures.h"

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
    // The shortest time between two repaints of a changing picture: about a screen frame.
    static constexpr int kFrameMs = 16;

    BitmapView(const platform::Bitmap& bitmap, QWidget* parent);

    // Asks for a repaint, at most one a frame; the last change is always shown. A replay
    // changes the chart after every line, thousands of times a second, and a repaint each
    // time would take most of its time.
    void PictureChanged();

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    const platform::Bitmap& bitmap_;
    // Kept between paints so that a repaint does not allocate.
    QImage image_;
    QElapsedTimer sinceRepaint_;
    bool repaintPending_ = false;
};

}  // namespace ui::qt
