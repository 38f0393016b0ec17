#include "ui/qt/FormBuilder.h"

#include <QApplication>
#include <QComboBox>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <algorithm>

#include "ui/forms/Pictures.h"
#include "ui/qt/Bevels.h"
#include "ui/qt/BitmapImage.h"
#include "ui/qt/ButtonPictures.h"
#include "ui/qt/Gauges.h"
#include "ui/qt/StatusBar.h"

namespace ui::qt {

namespace {

using forms::ControlKind;
using forms::ControlSpec;

Qt::Alignment AlignmentOf(forms::Alignment alignment) {
    switch (alignment) {
        case forms::Alignment::Centre:
            return Qt::AlignHCenter;
        case forms::Alignment::Right:
            return Qt::AlignRight;
        case forms::Alignment::Left:
            break;
    }
    return Qt::AlignLeft;
}

TStatusBar* MakeStatusBar(std::span<const forms::StatusPanelSpec> panels, QWidget* parent) {
    return new TStatusBar(StatusLayoutOf(panels), parent);
}

QLabel* MakePicture(const ControlSpec& spec, QWidget* parent) {
    auto* picture = new QLabel(parent);
    picture->setPixmap(ToQPixmap(forms::PictureOf(spec.picture)));
    picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return picture;
}

TGauge* MakeGauge(const ControlSpec& spec, QWidget* parent) {
    auto* gauge = new TGauge(parent);
    forms::UseGaugeSettings(gauge->Core(), spec.gauge);
    return gauge;
}

QPlainTextEdit* MakeMemo(const ControlSpec& spec, QWidget* parent) {
    auto* memo = new QPlainTextEdit(parent);
    memo->setReadOnly(spec.readOnly);
    memo->setVerticalScrollBarPolicy(spec.verticalScrollBar ? Qt::ScrollBarAlwaysOn
                                                            : Qt::ScrollBarAlwaysOff);
    memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    memo->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    return memo;
}

QWidget* MakeControl(const ControlSpec& spec, QWidget* parent, const ControlSources& sources) {
    const QString caption = FromUtf8(spec.caption);
    switch (spec.kind) {
        case ControlKind::Bevel:
            return new TBevel(parent);
        case ControlKind::Panel:
            return new TPanel(parent);
        case ControlKind::Label: {
            QLabel* label = spec.command == forms::Command::None ? new QLabel(caption, parent)
                                                                 : new ClickLabel(caption, parent);
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);  // captions hang from the top edge
            return label;
        }
        case ControlKind::Picture:
            if (spec.picture != forms::PictureSource::Chart) {
                return MakePicture(spec, parent);
            }
            if (sources.chart == nullptr) {
                throw std::logic_error("a picture of the chart needs the chart");
            }
            return new BitmapView(*sources.chart, parent);
        case ControlKind::DropDownList: {
            auto* list = new QComboBox(parent);
            list->setEditable(false);
            return list;
        }
        case ControlKind::PictureButton:
            return new TPictureButton(caption, ToQPixmap(forms::PictureOf(spec.picture)),
                                      spec.pictureMargin, spec.pictureSpacing, parent);
        case ControlKind::PushButton: {
            auto* button = new QPushButton(caption, parent);
            button->setDefault(spec.isDefault);
            return button;
        }
        case ControlKind::Gauge:
            return MakeGauge(spec, parent);
        case ControlKind::StatusBar:
            return MakeStatusBar(sources.statusPanels, parent);
        case ControlKind::Memo:
            return MakeMemo(spec, parent);
    }
    throw std::logic_error("unknown kind of control");
}

void Place(const ControlSpec& spec, QWidget* widget) {
    const forms::Bounds& b = spec.bounds;
    if (auto* gauge = qobject_cast<TGauge*>(widget)) {
        gauge->SetBounds(b.left, b.top, b.width, b.height);
    } else if (spec.kind == ControlKind::Label) {
        widget->setGeometry(b.left, b.top, std::max(b.width, widget->sizeHint().width()),
                            std::max(b.height, widget->sizeHint().height()));
    } else {
        widget->setGeometry(b.left, b.top, b.width, b.height);
    }
}

// Smaller than this a caption is no longer read at a glance.
constexpr int kSmallestPixelSize = 8;

// Where a label's caption must end: before the control beside it on its row, within the
// bevels of its panel.
int CaptionLimit(const QLabel& label) {
    const QWidget& parent = *label.parentWidget();
    int limit = parent.width() - (qobject_cast<const TPanel*>(&parent) != nullptr ? 2 : 0);
    const QRect own = label.geometry();
    for (const QWidget* sibling : parent.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        const QRect other = sibling->geometry();
        if (sibling != &label && other.left() > own.left() && other.top() <= own.bottom() &&
            other.bottom() >= own.top()) {
            limit = std::min(limit, other.left());
        }
    }
    return limit;
}

// A label grown past its limit in this system's font has no room to grow into: it takes the
// next smaller font size until its caption fits.
void FitCaption(const ControlSpec& spec, QLabel& label) {
    const int limit = CaptionLimit(label);
    QFont font = label.font();
    while (label.x() + label.sizeHint().width() > limit && font.pixelSize() > kSmallestPixelSize) {
        font.setPixelSize(font.pixelSize() - 1);
        label.setFont(font);
    }
    const int width = std::max(spec.bounds.width, label.sizeHint().width());
    label.resize(std::min(width, std::max(limit - label.x(), label.sizeHint().width())),
                 label.height());
}

// Kinds that Qt lets take the focus; one that is no tab stop takes it by a click only.
bool TakesFocus(ControlKind kind) {
    return kind == ControlKind::DropDownList || kind == ControlKind::PictureButton ||
           kind == ControlKind::PushButton || kind == ControlKind::Memo;
}

}  // namespace

std::array<TStatusBar::PanelLayout, TStatusBar::kPanels> StatusLayoutOf(
    std::span<const forms::StatusPanelSpec> panels) {
    if (panels.size() != TStatusBar::kPanels) {
        throw std::logic_error("a status bar needs its panels");
    }
    std::array<TStatusBar::PanelLayout, TStatusBar::kPanels> layout{};
    for (std::size_t i = 0; i < layout.size(); ++i) {
        layout[i] = {panels[i].width, AlignmentOf(panels[i].alignment)};
    }
    return layout;
}

void ClickLabel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        emit clicked();
    }
    QLabel::mouseReleaseEvent(event);
}

QString FromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QFont FontOf(const forms::FontSpec& spec) {
    QFont font = QApplication::font();
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(spec.pixelHeight);
    font.setBold(spec.bold);
    font.setItalic(spec.italic);
    font.setUnderline(spec.underline);
    return font;
}

void ApplyFont(QWidget* widget, const forms::FontSpec& spec) {
    widget->setFont(FontOf(spec));
    if (spec.color) {
        QPalette palette = widget->palette();
        palette.setColor(QPalette::WindowText, ToQColor(*spec.color));
        widget->setPalette(palette);
    }
}

Qt::WindowFlags WindowFlagsOf(const forms::FormSpec& form) {
    Qt::WindowFlags flags = Qt::Window;
    if (form.border == forms::BorderStyle::Dialog) {
        flags = Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint;
    }
    // Only the buttons asked for.
    flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (form.borderIcons.systemMenu) {
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    }
    if (form.borderIcons.minimize) {
        flags |= Qt::WindowMinimizeButtonHint;
    }
    if (form.borderIcons.maximize) {
        flags |= Qt::WindowMaximizeButtonHint;
    }
    return flags;
}

ControlMap BuildFormControls(const forms::FormSpec& form, QWidget* client,
                             const ControlSources& sources) {
    ControlMap controls;
    for (const ControlSpec& spec : form.controls) {
        QWidget* parent = spec.parent.empty() ? client : Named<QWidget>(controls, spec.parent);
        QWidget* widget = MakeControl(spec, parent, sources);
        widget->setObjectName(FromUtf8(spec.name));
        if (spec.font) {
            ApplyFont(widget, *spec.font);
        }
        Place(spec, widget);
        if (spec.cursor == forms::Cursor::HandPoint) {
            widget->setCursor(Qt::PointingHandCursor);
        }
        if (TakesFocus(spec.kind) && !spec.tabStop) {
            widget->setFocusPolicy(Qt::ClickFocus);
        }
        controls.emplace(spec.name, widget);
    }
    for (const ControlSpec& spec : form.controls) {
        if (spec.kind == ControlKind::Label) {
            FitCaption(spec, *Named<QLabel>(controls, spec.name));
        }
    }
    const auto sequence = forms::TabSequence(form);
    for (std::size_t i = 1; i < sequence.size(); ++i) {
        QWidget::setTabOrder(controls.at(sequence[i - 1]->name), controls.at(sequence[i]->name));
    }
    return controls;
}

void FocusFirst(const forms::FormSpec& form, const ControlMap& controls) {
    const auto sequence = forms::TabSequence(form);
    if (!sequence.empty()) {
        Named<QWidget>(controls, sequence.front()->name)->setFocus();
    }
}

}  // namespace ui::qt
