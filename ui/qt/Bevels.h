#pragma once

#include <QWidget>

namespace ui::qt {

// A lowered frame: an etched line around the rectangle, dark above and left of a light one.
// At two pixels high it is the groove under the menu bar. It takes no clicks.
class TBevel : public QWidget {
    Q_OBJECT

  public:
    explicit TBevel(QWidget* parent);

  protected:
    void paintEvent(QPaintEvent* event) override;
};

// A panel of the face colour with a lowered outer and a raised inner bevel, one pixel each.
class TPanel : public QWidget {
    Q_OBJECT

  public:
    explicit TPanel(QWidget* parent);

  protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace ui::qt
