#include "ui/About.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFile>
#include <QFrame>
#include <QMouseEvent>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <algorithm>
#include <memory>

#include "ui/HelpText.h"
#include "ui/ProgramIcon.xpm"

namespace ui {

void ClickLabel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        emit clicked();
    }
    QLabel::mouseReleaseEvent(event);
}

QUrl HomePageUrl() {
    const QString installed = QStringLiteral(DISCOMETER_INSTALLED_HOME_PAGE);
    if (QFile::exists(installed)) {
        return QUrl::fromLocalFile(installed);
    }
    return QUrl::fromLocalFile(QStringLiteral(DISCOMETER_SOURCE_HOME_PAGE));
}

}  // namespace ui

namespace {

// The program's sans serif at the given height.
QFont DialogFont(int pixelHeight, bool underline = false) {
    QFont font = QApplication::font();
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixelHeight);
    font.setUnderline(underline);
    return font;
}

// The layout was measured in a smaller font than this system may have: a label keeps its
// place and grows to show its whole caption, underline included.
void PlaceLabel(QLabel* label, QRect geometry) {
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);  // captions hang from the top edge
    geometry.setWidth(std::max(geometry.width(), label->sizeHint().width()));
    geometry.setHeight(std::max(geometry.height(), label->sizeHint().height()));
    label->setGeometry(geometry);
}

QLabel* MakeLabel(QWidget* parent, const QString& text, QRect geometry, int pixelHeight,
                  const QColor& colour) {
    auto* label = new QLabel(text, parent);
    label->setFont(DialogFont(pixelHeight));
    PlaceLabel(label, geometry);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
    return label;
}

}  // namespace

TAboutDialog::TAboutDialog(QWidget* parent, std::function<void(const QUrl&)> openUrl)
    : QDialog(parent), openUrl_(std::move(openUrl)) {
    setObjectName(QStringLiteral("AboutDialog"));
    setWindowTitle(QStringLiteral("About"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowCloseButtonHint |
                   Qt::WindowTitleHint);
    setFixedSize(358, 288);
    setFont(DialogFont(11, true));  // only the OK button keeps the dialog's own font
    QPalette palette = this->palette();
    palette.setColor(QPalette::WindowText, Qt::black);
    setPalette(palette);

    Panel1 = new QFrame(this);
    Panel1->setGeometry(7, 8, 344, 245);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel1->setLineWidth(2);

    ProgramIcon = new QLabel(Panel1);
    ProgramIcon->setGeometry(40, 16, 33, 35);
    ProgramIcon->setPixmap(ProgramIconPixmap());
    ProgramIcon->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    ProductName = MakeLabel(Panel1, QStringLiteral("Discometer"), {152, 8, 140, 16}, 13,
                            QColor(0x80, 0x00, 0x80));
    Version = MakeLabel(Panel1, QStringLiteral("Ver 2.32 for Windows 95/98/ME, NT"),
                        {152, 24, 176, 13}, 11, Qt::black);
    Copyright = MakeLabel(Panel1, QStringLiteral("\u00A9 2026 The Discometer developers"),
                          {152, 40, 175, 13}, 11, Qt::black);
    TM = MakeLabel(Panel1, QStringLiteral("Discometer\u2122 developers"), {152, 56, 82, 13}, 11,
                   Qt::black);

    Address = new ui::ClickLabel(QStringLiteral("Home Page"), Panel1);
    Address->setFont(DialogFont(11, true));
    PlaceLabel(Address, {152, 72, 56, 13});
    QPalette link = Address->palette();
    link.setColor(QPalette::WindowText, QColor(0, 0, 0xFF));
    Address->setPalette(link);
    Address->setCursor(Qt::PointingHandCursor);
    connect(Address, &ui::ClickLabel::clicked, this, &TAboutDialog::AddressClick);

    AboutMemo = new QPlainTextEdit(Panel1);
    AboutMemo->setGeometry(8, 94, 328, 143);
    AboutMemo->setReadOnly(true);
    AboutMemo->setFont(DialogFont(11));
    AboutMemo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    AboutMemo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    AboutMemo->setLineWrapMode(QPlainTextEdit::WidgetWidth);

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setGeometry(141, 260, 75, 21);
    OKButton->setDefault(true);  // Enter; Esc closes any dialog with the reject result
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);

    // Tab order: OK first, so it has the focus, then the panel with the memo.
    setTabOrder(OKButton, AboutMemo);
    OKButton->setFocus();
}

void TAboutDialog::AddressClick() {
    const QUrl url = ui::HomePageUrl();
    if (openUrl_) {
        openUrl_(url);
    } else {
        QDesktopServices::openUrl(url);  // the result does not matter: nothing is reported
    }
}

void TAboutDialog::reject() {
    done(QDialog::Accepted);
}

void ShowAboutDialog(QWidget* parent, std::function<void(const QUrl&)> openUrl) {
    const std::string help = ui::HelpText();
    // Freed when it closes, and also when showing it fails.
    auto dialog = std::make_unique<TAboutDialog>(parent, std::move(openUrl));
    dialog->AboutMemo->setPlainText(
        QString::fromUtf8(help.data(), static_cast<qsizetype>(help.size()))
            .replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    dialog->exec();
}

QPixmap ProgramIconPixmap() {
    return QPixmap(kProgramIconXpm);
}
