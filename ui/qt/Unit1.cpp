#include "ui/qt/Unit1.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QKeyEvent>
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
#include <stdexcept>

#include "run/ReadSpeed.h"
#include "startup/DriveDiscovery.h"
#include "ui/forms/Handlers.h"
#include "ui/forms/MainForm.h"
#include "ui/forms/Pictures.h"
#include "ui/qt/About.h"
#include "ui/qt/Bevels.h"
#include "ui/qt/BitmapImage.h"
#include "ui/qt/ButtonPictures.h"
#include "ui/qt/FormBuilder.h"
#include "ui/qt/Gauges.h"
#include "ui/qt/StatusBar.h"

namespace ui::qt {

namespace {

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

// A child of the window by its name, of the class the caller expects.
template <typename Child>
Child* NamedChild(const QObject* window, std::string_view name) {
    auto* child = window->findChild<Child*>(FromUtf8(name));
    if (child == nullptr) {
        throw std::logic_error("the window has no " + std::string(name));
    }
    return child;
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

    const forms::FontSpec& spec = forms::MainForm().form.font;
    QStringList faces;
    for (const std::string_view face : spec.faces) {
        faces.append(FromUtf8(face));
    }
    QFont font;
    font.setFamilies(faces);
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(spec.pixelHeight);
    app.setFont(font);
}

TForm1::TForm1(std::unique_ptr<platform::System> system, std::unique_ptr<run::UserPrompts> prompts,
               QWidget* parent)
    : QMainWindow(parent),
      MainFormCore(std::make_unique<forms::BackgroundReadSystem>(std::move(system)),
                   std::move(prompts)) {
    reads_ = &static_cast<forms::BackgroundReadSystem&>(Context().system);
    readingNote_ = new QTimer(this);
    readingNote_->setSingleShot(true);
    readingNote_->setInterval(1000);
    connect(readingNote_, &QTimer::timeout, this, [this] { ShowReadingNote(); });
    reads_->SetWaiter({[this](const std::function<bool()>& done) { WaitForRead(done); },
                       // From the reading thread: any event wakes the waiting window.
                       [this] {
                           QMetaObject::invokeMethod(
                               this, [] {}, Qt::QueuedConnection);
                       }});
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
    MainFormCore::FormCreate();
    if (StartUpStatus()) {
        return;
    }
    const forms::FormSpec& form = forms::MainForm().form;
    setWindowFlags(WindowFlagsOf(form));
    setWindowTitle(FromUtf8(form.caption));
    setWindowIcon(ToQPixmap(forms::PictureOf(form.icon)));
    FocusFirst(form, controls_);
}

void TForm1::BuildControls() {
    const forms::MainFormSpec& spec = forms::MainForm();
    client_ = new QWidget(this);
    client_->setFixedSize(spec.form.clientWidth, spec.form.clientHeight);
    setCentralWidget(client_);
    controls_ = BuildFormControls(spec.form, client_, {&ChartPicture().bitmap, spec.statusPanels});
    for (const forms::ControlSpec& control : spec.form.controls) {
        if (control.control) {
            controlWidgets_[*control.control] = controls_.at(control.name);
        }
    }

    bevel1_ = Named<TBevel>(controls_, "Bevel1");
    bevel2_ = Named<TBevel>(controls_, "Bevel2");
    bevel3_ = Named<TBevel>(controls_, "Bevel3");
    image1_ = Named<BitmapView>(controls_, "Image1");
    panel1_ = Named<TPanel>(controls_, "Panel1");
    panel2_ = Named<TPanel>(controls_, "Panel2");
    panel3_ = Named<TPanel>(controls_, "Panel3");
    label1_ = Named<QLabel>(controls_, "Label1");
    label2_ = Named<QLabel>(controls_, "Label2");
    gauge1_ = Named<TGauge>(controls_, "Gauge1");
    comboBox1_ = Named<QComboBox>(controls_, "ComboBox1");
    button1_ = Named<TPictureButton>(controls_, "Button1");
    button2_ = Named<TPictureButton>(controls_, "Button2");
    statusBar1_ = Named<TStatusBar>(controls_, "StatusBar1");

    timer1_ = new QTimer(this);
    timer1_->setObjectName(FromUtf8(spec.timer.name));
    timer1_->setInterval(spec.timer.intervalMs);
    // The pause between two blocks is part of every run's time: a coarse timer may wake 5 %
    // late, a precise one keeps to the millisecond, and the pause keeps to a fraction of it.
    timer1_->setTimerType(Qt::PreciseTimer);
    pause_ = new PrecisePause(*timer1_, this);
}

void TForm1::AddMenuItems(QMenu* menu, std::span<const forms::MenuItemSpec> items) {
    for (const forms::MenuItemSpec& item : items) {
        QAction* action = nullptr;
        if (item.separator) {
            action = menu->addSeparator();
        } else if (!item.submenu.empty()) {
            QMenu* submenu = menu->addMenu(FromUtf8(item.caption));
            submenu->setObjectName(FromUtf8(item.name));
            AddMenuItems(submenu, item.submenu);
            action = submenu->menuAction();
        } else {
            action = menu->addAction(FromUtf8(item.caption));
        }
        action->setObjectName(FromUtf8(item.name));
        action->setEnabled(item.enabled);
        action->setCheckable(item.checkable);
        action->setChecked(item.checked);
        if (item.control) {
            controlActions_[*item.control] = action;
        }
        if (item.mark) {
            markActions_[*item.mark] = action;
        }
        if (item.command == forms::Command::ReadSpeed) {
            action->setData(item.tag);
            readSpeedItems_.push_back(action);
        }
    }
}

void TForm1::BuildMenus() {
    QMenuBar* bar = menuBar();
    for (const forms::MenuSpec& menuSpec : forms::MainForm().menus) {
        QAction* menuAction = nullptr;
        if (menuSpec.items.empty()) {
            menuAction = bar->addAction(FromUtf8(menuSpec.caption));
            menuAction->setObjectName(FromUtf8(menuSpec.name));
        } else {
            QMenu* menu = bar->addMenu(FromUtf8(menuSpec.caption));
            menu->setObjectName(FromUtf8(menuSpec.name));
            menuAction = menu->menuAction();
            AddMenuItems(menu, menuSpec.items);
        }
        menuAction->setEnabled(menuSpec.enabled);
        if (menuSpec.control) {
            controlActions_[*menuSpec.control] = menuAction;
        }
    }

    files_ = NamedChild<QMenu>(this, "Files");
    options1_ = NamedChild<QMenu>(this, "Options1");
    saveGraphic2_ = NamedChild<QAction>(this, "SaveGraphic2");
    saveData1_ = NamedChild<QAction>(this, "SaveData1");
    loadData1_ = NamedChild<QAction>(this, "LoadData1");
    compareWith1_ = NamedChild<QAction>(this, "CompareWith1");
    autoSave1_ = NamedChild<QAction>(this, "AutoSave1");
    n1_ = NamedChild<QAction>(this, "N1");
    n1000_ = NamedChild<QAction>(this, "N1000");
    n800_ = NamedChild<QAction>(this, "N800");
    n600_ = NamedChild<QAction>(this, "N600");
    n2_ = NamedChild<QAction>(this, "N2");
    readSpeed1_ = NamedChild<QMenu>(this, "ReadSpeed1");
    about1_ = NamedChild<QAction>(this, "About1");
}

void TForm1::ConnectEvents() {
    // While a read is out only Stop is taken; the rest would start or save a run meanwhile.
    const auto plain = [this](auto* sender, auto signal, forms::MainHandler handler) {
        connect(sender, signal, this, [this, handler] {
            if (!ReadOut() || handler == &MainFormCore::Button2Click) {
                Guarded([this, handler] { (this->*handler)(); });
            }
        });
    };
    // Qt flips a checkable item before it reports the click; the marks move only as the
    // handlers say.
    const auto marked = [this](QAction* action, forms::MainHandler handler) {
        connect(action, &QAction::triggered, this, [this, action, handler](bool checked) {
            action->setChecked(!checked);
            if (!ReadOut()) {
                Guarded([this, handler] { (this->*handler)(); });
            }
        });
    };

    const forms::MainFormSpec& spec = forms::MainForm();
    for (const forms::ControlSpec& control : spec.form.controls) {
        if (control.command != forms::Command::None) {
            plain(Named<QAbstractButton>(controls_, control.name), &QAbstractButton::clicked,
                  forms::MainHandlerOf(control.command));
        }
    }
    for (const forms::MenuSpec& menu : spec.menus) {
        if (menu.command != forms::Command::None) {
            plain(NamedChild<QAction>(this, menu.name), &QAction::triggered,
                  forms::MainHandlerOf(menu.command));
        }
        for (const forms::MenuItemSpec& item : menu.items) {
            if (item.command == forms::Command::None) {
                continue;
            }
            QAction* action = NamedChild<QAction>(this, item.name);
            if (item.checkable) {
                marked(action, forms::MainHandlerOf(item.command));
            } else {
                plain(action, &QAction::triggered, forms::MainHandlerOf(item.command));
            }
        }
    }
    for (QAction* item : readSpeedItems_) {
        connect(item, &QAction::triggered, this,
                [this, item] { Guarded([this, item] { ReadSpeedClick(item); }); });
    }
    plain(timer1_, &QTimer::timeout, &TForm1::Timer1Timer);
    plain(pause_, &PrecisePause::Due, &TForm1::Timer1Timer);
    connect(comboBox1_, &QComboBox::currentTextChanged, this, [this] { ShowDriveIdentity(); });
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

void TForm1::About1Click() {
    if (showAbout_) {
        showAbout_(this);
    } else {
        ShowAboutDialog(this);
    }
}

void TForm1::ReadSpeedClick(QAction* item) {
    for (QAction* other : readSpeedItems_) {
        other->setChecked(other == item);
    }
}

void TForm1::closeEvent(QCloseEvent* event) {
    if (ReadOut()) {
        // The read's buffer and the run are still in use: the window closes once it is back.
        closeWhenReadBack_ = true;
        event->ignore();
        return;
    }
    closing_ = true;
    StopRunNow();
    QMainWindow::closeEvent(event);
}

void TForm1::WaitForRead(const std::function<bool()>& done) {
    readingNote_->start();
    while (!done()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
    readingNote_->stop();
    if (stateBeforeNote_) {
        statusBar1_->SetPanelText(static_cast<int>(run::Panel::State), *stateBeforeNote_);
        stateBeforeNote_.reset();
    }
    if (closeWhenReadBack_) {
        QTimer::singleShot(0, this, [this] { close(); });
    }
}

void TForm1::ShowReadingNote() {
    const int state = static_cast<int>(run::Panel::State);
    stateBeforeNote_ = statusBar1_->PanelText(state);
    const std::int32_t block = State().StartSector / 1000;
    statusBar1_->SetPanelText(state, QString("Reading... block %1").arg(block));
}

void TForm1::StopRunNow() {
    if (pause_ != nullptr) {
        pause_->Stop();
    }
    State().DeviceHandle.reset();
}

void TForm1::SetStatusNote(std::string_view text) {
    statusBar1_->SetNote(FromLocal(text));
}

void TForm1::SetPanelText(run::Panel panel, std::string_view text) {
    statusBar1_->SetPanelText(static_cast<int>(panel), FromLocal(text));
}

void TForm1::SetPanelWidths(run::PanelWidths widths) {
    const forms::MainFormSpec& spec = forms::MainForm();
    statusBar1_->SetLayout(StatusLayoutOf(widths == run::PanelWidths::Wide ? spec.wideStatusPanels
                                                                           : spec.statusPanels));
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

QWidget* TForm1::ControlWidget(run::Control control) const {
    const auto found = controlWidgets_.find(control);
    return found == controlWidgets_.end() ? nullptr : found->second;
}

QAction* TForm1::ControlAction(run::Control control) const {
    const auto found = controlActions_.find(control);
    return found == controlActions_.end() ? nullptr : found->second;
}

void TForm1::SetEnabled(run::Control control, bool enabled) {
    if (QWidget* widget = ControlWidget(control)) {
        widget->setEnabled(enabled);
    } else if (QAction* action = ControlAction(control)) {
        action->setEnabled(enabled);
    }
}

bool TForm1::IsEnabled(run::Control control) const {
    if (const QWidget* widget = ControlWidget(control)) {
        return widget->isEnabled();
    }
    const QAction* action = ControlAction(control);
    return action != nullptr && action->isEnabled();
}

void TForm1::SetFocus(run::Control control) {
    if (QWidget* widget = ControlWidget(control)) {
        widget->setFocus();
    }
}

bool TForm1::IsChecked(run::MenuMark item) const {
    return markActions_.at(item)->isChecked();
}

void TForm1::SetChecked(run::MenuMark item, bool checked) {
    markActions_.at(item)->setChecked(checked);
}

std::int32_t TForm1::ReadSpeedChoice() const {
    for (const QAction* item : readSpeedItems_) {
        if (item->isChecked()) {
            return item->data().toInt();
        }
    }
    return run::kMaxReadSpeed;
}

void TForm1::SetTimerEnabled(bool enabled) {
    if (enabled) {
        pause_->Start();
    } else {
        pause_->Stop();
    }
}

void TForm1::SetDriveList(const std::vector<std::string>& items) {
    comboBox1_->clear();
    for (const std::string& item : items) {
        comboBox1_->addItem(FromLocal(item));
        comboBox1_->setItemData(comboBox1_->count() - 1,
                                DriveTip(item, Context().system.IdentityOf(item)), Qt::ToolTipRole);
    }
    comboBox1_->setCurrentIndex(0);
    // The list is narrow; its drop-down opens wide enough for entries such as "sim-unpaced".
    comboBox1_->view()->setMinimumWidth(comboBox1_->view()->sizeHintForColumn(0) + 8);
    ShowDriveIdentity();
}

void TForm1::ShowDriveIdentity() {
    const std::string entry = DriveListText();
    const platform::DriveIdentity identity = Context().system.IdentityOf(entry);
    comboBox1_->setToolTip(DriveTip(entry, identity));
    ShowReadSpeeds(run::OfferedReadSpeeds(
        startup::MediumOfDrive(identity, Context().system.DevicePath(entry)), identity.fastestKBs));
}

void TForm1::ShowReadSpeeds(const std::vector<std::int32_t>& speeds) {
    bool choiceGone = false;
    for (QAction* item : readSpeedItems_) {
        const bool offered =
            std::find(speeds.begin(), speeds.end(), item->data().toInt()) != speeds.end();
        item->setVisible(offered);
        if (!offered && item->isChecked()) {
            item->setChecked(false);
            choiceGone = true;
        }
    }
    if (choiceGone) {
        readSpeedItems_.front()->setChecked(true);  // Max
    }
}

QString TForm1::DriveTip(const std::string& entry, const platform::DriveIdentity& identity) {
    // The list is too narrow for an image's path or "sim-dvd-unpaced": the tip shows it whole.
    const std::string text = startup::DriveIdentityText(identity);
    return FromLocal(text.empty() ? entry : entry + "\n" + text);
}

void TForm1::keyPressEvent(QKeyEvent* event) {
    // Tab passes the drive list by; F4, the key that opens a drop-down list, takes the
    // keyboard to it and opens it.
    if (event->key() == Qt::Key_F4 && event->modifiers() == Qt::NoModifier &&
        comboBox1_->isEnabled()) {
        comboBox1_->setFocus(Qt::ShortcutFocusReason);
        comboBox1_->showPopup();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

std::string TForm1::DriveListText() const {
    return comboBox1_->currentText().toLocal8Bit().toStdString();
}

void TForm1::ChartChanged() {
    image1_->PictureChanged();
}

}  // namespace ui::qt
