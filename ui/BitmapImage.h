#pragma once

#include <QImage>
#include <QWidget>

#include "platform/Bitmap.h"

namespace ui {

// The picture as Qt draws it. Our colours are 0x00BBGGRR; Qt's RGB32 wants 0xFFRRGGBB.
QImage ToQImage(const platform::Bitmap& bitmap);

// Shows a picture that lives elsewhere (the chart), drawn at (0, 0) at its own size. The owner
// calls update() whenever the picture has changed.
class BitmapView : public QWidget {
    Q_OBJECT

  public:
    BitmapView(const platform::Bitmap& bitmap, QWidget* parent);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    const platform::Bitmap& bitmap_;
    // Kept between paints so that a repaint does not allocate.
    QImage image_;
};

}  // namespace ui
