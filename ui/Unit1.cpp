#include "ui/Unit1.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QProxyStyle>
#include <QScreen>
#include <QStyle>
#include <QStyleFactory>
#include <QStyleOption>
#include <QTimer>
#include <algorithm>
#include <exception>

#include "engine/MeasurementLoop.h"
#include "engine/RunStart.h"
#include "engine/Sequencer.h"
#include "results/Replay.h"
#include "results/Saving.h"
#include "system/startup/StartUp.h"
#include "ui/About.h"
#include "ui/Bevels.h"
#include "ui/BitmapImage.h"
#include "ui/ButtonPictures.h"
#include "ui/Gauges.h"
#include "ui/StatusBar.h"

namespace ui {

namespace {

constexpr int kFontPixels = 11;
constexpr int kTimerMs = 5;
constexpr int kStartPictureMargin = 10;
constexpr int kStartPictureSpacing = 8;

const std::array<TStatusBar::PanelLayout, TStatusBar::kPanels> kStatusPanels{{
    {105, Qt::AlignHCenter},
    {98, Qt::AlignLeft},
    {94, Qt::AlignLeft},
    {145, Qt::AlignLeft},
    {50, Qt::AlignLeft},
}};

// Qt's "Windows" style ends the menu bar with a line of its own; the classic bar has none,
// and the window's groove (Bevel2) lies right below it.
class ClassicStyle final : public QProxyStyle {
  public:
    using QProxyStyle::QProxyStyle;

    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override {
        if (element == CE_MenuBarEmptyArea) {
            painter->fillRect(option->rect, option->palette.window());
            return;
        }
        QProxyStyle::drawControl(element, option, painter, widget);
    }
};

QString FromLocal(std::string_view text) {
    return QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size()));
}

template <typename Widget>
Widget* Place(Widget* widget, const char* name, int left, int top, int width, int height) {
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(left, top, width, height);
    return widget;
}

QLabel* MakeLabel(const char* caption, QWidget* parent) {
    auto* label = new QLabel(QString::fromLatin1(caption), parent);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

// A label grows to its caption, as the laid-out size fits the original font only.
QLabel* FitToCaption(QLabel* label) {
    label->resize(std::max(label->width(), label->sizeHint().width()),
                  std::max(label->height(), label->sizeHint().height()));
    return label;
}

}  // namespace

void UseClassicLook(QApplication& app) {
    if (QStyle* windows = QStyleFactory::create(QStringLiteral("Windows"))) {
        app.setStyle(new ClassicStyle(windows));
    }
    // Face colour from the style; white highlights and grey shadows for the bevels.
    QPalette palette = QApplication::style()->standardPalette();
    palette.setColor(QPalette::Light, Qt::white);
    palette.setColor(QPalette::Dark, QColor(0x80, 0x80, 0x80));
    app.setPalette(palette);

    QFont font;
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                      QStringLiteral("Arial"), QStringLiteral("Helvetica"),
                      QStringLiteral("Nimbus Sans"), QStringLiteral("Liberation Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(kFontPixels);
    app.setFont(font);
}

TForm1::TForm1(std::unique_ptr<platform::System> system,
               std::unique_ptr<engine::UserPrompts> prompts, QWidget* parent)
    : QMainWindow(parent),
      system_(std::move(system)),
      prompts_(std::move(prompts)),
      ctx_{state_, dataList_, chart_, *system_, *this, *prompts_} {
    BuildControls();
    BuildMenus();
    ConnectEvents();
    FormCreate();
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    adjustSize();
    CentreOnScreen();
}

TForm1::~TForm1() {
    StopRunNow();
}

void TForm1::FormCreate() {
    startUpStatus_ = system_env::StartUp(ctx_);
    if (startUpStatus_) {
        return;
    }
    // System menu, minimise and close; no maximise, as the window has one size only.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setWindowTitle(QString::fromLatin1(engine::kProgramTitleText));
    setWindowIcon(ProgramIconPixmap());
    button1_->setFocus();
}

void TForm1::BuildControls() {
    client_ = new QWidget(this);
    client_->setFixedSize(kClientWidth, kClientHeight);
    setCentralWidget(client_);

    // Frames first, so that what lies inside them is drawn over them.
    bevel2_ = Place(new TBevel(client_), "Bevel2", 6, 1, 593, 2);
    bevel1_ = Place(new TBevel(client_), "Bevel1", 6, 10, 595, 356);
    image1_ = Place(new BitmapView(chart_.bitmap, client_), "Image1", 8, 12, 591, 352);

    panel2_ = Place(new TPanel(client_), "Panel2", 6, 370, 291, 35);
    label2_ = FitToCaption(Place(MakeLabel("Progress:", panel2_), "Label2", 10, 10, 44, 13));
    bevel3_ = Place(new TBevel(panel2_), "Bevel3", 68, 8, 213, 19);
    gauge1_ = new TGauge(panel2_);
    gauge1_->setObjectName(QStringLiteral("Gauge1"));
    gauge1_->SetBounds(70, 10, 209, 15);
    gauge1_->Core().SetKind(gkHorizontalBar);
    gauge1_->Core().SetBorderStyle(bsNone);
    gauge1_->Core().SetShowText(true);

    panel3_ = Place(new TPanel(client_), "Panel3", 302, 370, 151, 35);
    label1_ = FitToCaption(Place(MakeLabel("CD ROM Drive:", panel3_), "Label1", 12, 10, 74, 13));
    comboBox1_ = Place(new QComboBox(panel3_), "ComboBox1", 100, 8, 41, 21);
    comboBox1_->setEditable(false);
    // Clicks may focus the list, the Tab key passes it by.
    comboBox1_->setFocusPolicy(Qt::ClickFocus);

    panel1_ = Place(new TPanel(client_), "Panel1", 458, 370, 143, 35);
    button1_ = Place(new TPictureButton(QStringLiteral("&Start"), StartPicture(),
                                        kStartPictureMargin, kStartPictureSpacing, client_),
                     "Button1", 468, 376, 73, 23);
    button2_ =
        Place(new TPictureButton(QString(), StopPicture(), TPictureButton::kCentred, 0, client_),
              "Button2", 552, 376, 39, 23);
    setTabOrder(button1_, button2_);

    statusBar1_ = Place(new TStatusBar(kStatusPanels, client_), "StatusBar1", 0, 410, 608, 17);

    timer1_ = new QTimer(this);
    timer1_->setObjectName(QStringLiteral("Timer1"));
    timer1_->setInterval(kTimerMs);
}

void TForm1::BuildMenus() {
    QMenuBar* bar = menuBar();
    files_ = bar->addMenu(QStringLiteral("&Files"));
    files_->setObjectName(QStringLiteral("Files"));
    saveGraphic2_ = files_->addAction(QStringLiteral("Save &Graphic"));
    saveGraphic2_->setObjectName(QStringLiteral("SaveGraphic2"));
    saveGraphic2_->setEnabled(false);
    saveData1_ = files_->addAction(QStringLiteral("Save &Data"));
    saveData1_->setObjectName(QStringLiteral("SaveData1"));
    saveData1_->setEnabled(false);
    loadData1_ = files_->addAction(QStringLiteral("&Load Data"));
    loadData1_->setObjectName(QStringLiteral("LoadData1"));

    options1_ = bar->addMenu(QStringLiteral("&Options"));
    options1_->setObjectName(QStringLiteral("Options1"));
    autoSave1_ = options1_->addAction(QStringLiteral("AutoSave"));
    autoSave1_->setObjectName(QStringLiteral("AutoSave1"));
    n1_ = options1_->addSeparator();
    n1_->setObjectName(QStringLiteral("N1"));
    n1000_ = options1_->addAction(QStringLiteral("1000"));
    n1000_->setObjectName(QStringLiteral("N1000"));
    n800_ = options1_->addAction(QStringLiteral("800-200"));
    n800_->setObjectName(QStringLiteral("N800"));
    n600_ = options1_->addAction(QStringLiteral("600-400"));
    n600_->setObjectName(QStringLiteral("N600"));
    for (QAction* marked : {autoSave1_, n1000_, n800_, n600_}) {
        marked->setCheckable(true);
    }

    about1_ = bar->addAction(QStringLiteral("&About"));
    about1_->setObjectName(QStringLiteral("About1"));
}

template <typename Handler>
void TForm1::Guarded(Handler handler) {
    try {
        handler();
    } catch (const std::exception& error) {
        prompts_->ShowError(error.what());
    }
}

void TForm1::ConnectEvents() {
    const auto plain = [this](auto* sender, auto signal, void (TForm1::*handler)()) {
        connect(sender, signal, this,
                [this, handler] { Guarded([this, handler] { (this->*handler)(); }); });
    };
    plain(button1_, &QPushButton::clicked, &TForm1::Button1Click);
    plain(button2_, &QPushButton::clicked, &TForm1::Button2Click);
    plain(timer1_, &QTimer::timeout, &TForm1::Timer1Timer);
    plain(saveGraphic2_, &QAction::triggered, &TForm1::SaveGraphic1Click);
    plain(saveData1_, &QAction::triggered, &TForm1::SaveData1Click);
    plain(loadData1_, &QAction::triggered, &TForm1::LoadData1Click);
    plain(about1_, &QAction::triggered, &TForm1::About1Click);

    const auto marked = [this](QAction* action, void (TForm1::*handler)()) {
        connect(action, &QAction::triggered, this, [this, action, handler](bool checked) {
            // Qt flips a checkable item before it reports the click; the marks move only as
            // the handlers say.
            action->setChecked(!checked);
            Guarded([this, handler] { (this->*handler)(); });
        });
    };
    marked(autoSave1_, &TForm1::AutoSave1Click);
    marked(n1000_, &TForm1::N1000Click);
    marked(n800_, &TForm1::N800Click);
    marked(n600_, &TForm1::N600Click);
}

void TForm1::CentreOnScreen() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return;
    }
    QRect frame(QPoint(), size());
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
}

void TForm1::Button1Click() {
    engine::StartRun(ctx_);
}

void TForm1::Button2Click() {
    state_.StopRequest = true;
}

void TForm1::Timer1Timer() {
    engine::MeasureTick(ctx_);
}

void TForm1::SaveGraphic1Click() {
    results::SaveGraphic(ctx_);
}

void TForm1::SaveData1Click() {
    results::SaveData(ctx_);
}

void TForm1::LoadData1Click() {
    results::LoadData(ctx_);
}

void TForm1::AutoSave1Click() {
    results::ToggleAutoSave(*this);
}

void TForm1::N1000Click() {
    engine::SelectSequencer(*this, engine::MenuMark::N1000);
}

void TForm1::N800Click() {
    engine::SelectSequencer(*this, engine::MenuMark::N800);
}

void TForm1::N600Click() {
    engine::SelectSequencer(*this, engine::MenuMark::N600);
}

void TForm1::About1Click() {
    if (showAbout_) {
        showAbout_(this);
    } else {
        ShowAboutDialog(this);
    }
}

void TForm1::closeEvent(QCloseEvent* event) {
    closing_ = true;
    StopRunNow();
    QMainWindow::closeEvent(event);
}

void TForm1::StopRunNow() {
    if (timer1_ != nullptr) {
        timer1_->stop();
    }
    state_.DeviceHandle.reset();
}

void TForm1::SetPanelText(engine::Panel panel, std::string_view text) {
    statusBar1_->SetPanelText(static_cast<int>(panel), FromLocal(text));
}

void TForm1::SetGaugeProgress(std::int32_t value) {
    gauge1_->Core().SetProgress(value);
}

void TForm1::SetGaugeMaxValue(std::int32_t value) {
    gauge1_->Core().SetMaxValue(value);
}

void TForm1::SetGaugeColors(platform::Color back, platform::Color fore) {
    gauge1_->Core().SetBackColor(back);
    gauge1_->Core().SetForeColor(fore);
}

QWidget* TForm1::ControlWidget(engine::Control control) const {
    switch (control) {
        case engine::Control::StartButton:
            return button1_;
        case engine::Control::StopButton:
            return button2_;
        case engine::Control::DriveList:
            return comboBox1_;
        default:
            return nullptr;
    }
}

QAction* TForm1::ControlAction(engine::Control control) const {
    switch (control) {
        case engine::Control::FilesMenu:
            return files_->menuAction();
        case engine::Control::SaveGraphic:
            return saveGraphic2_;
        case engine::Control::SaveData:
            return saveData1_;
        case engine::Control::LoadData:
            return loadData1_;
        default:
            return nullptr;
    }
}

QAction* TForm1::MarkAction(engine::MenuMark item) const {
    switch (item) {
        case engine::MenuMark::AutoSave:
            return autoSave1_;
        case engine::MenuMark::N1000:
            return n1000_;
        case engine::MenuMark::N800:
            return n800_;
        case engine::MenuMark::N600:
            break;
    }
    return n600_;
}

void TForm1::SetEnabled(engine::Control control, bool enabled) {
    if (QWidget* widget = ControlWidget(control)) {
        widget->setEnabled(enabled);
    } else if (QAction* action = ControlAction(control)) {
        action->setEnabled(enabled);
    }
}

bool TForm1::IsEnabled(engine::Control control) const {
    if (const QWidget* widget = ControlWidget(control)) {
        return widget->isEnabled();
    }
    const QAction* action = ControlAction(control);
    return action != nullptr && action->isEnabled();
}

void TForm1::SetFocus(engine::Control control) {
    if (QWidget* widget = ControlWidget(control)) {
        widget->setFocus();
    }
}

bool TForm1::IsChecked(engine::MenuMark item) const {
    return MarkAction(item)->isChecked();
}

void TForm1::SetChecked(engine::MenuMark item, bool checked) {
    MarkAction(item)->setChecked(checked);
}

void TForm1::SetTimerEnabled(bool enabled) {
    if (enabled) {
        timer1_->start();
    } else {
        timer1_->stop();
    }
}

void TForm1::SetDriveList(const std::vector<std::string>& items) {
    comboBox1_->clear();
    for (const std::string& item : items) {
        comboBox1_->addItem(FromLocal(item));
    }
    comboBox1_->setCurrentIndex(0);
    // The list is narrow; its drop-down opens wide enough for entries such as "sim-unpaced".
    comboBox1_->view()->setMinimumWidth(comboBox1_->view()->sizeHintForColumn(0) + 8);
}

std::string TForm1::DriveListText() const {
    return comboBox1_->currentText().toLocal8Bit().toStdString();
}

void TForm1::ChartChanged() {
    image1_->PictureChanged();
}

}  // namespace ui
