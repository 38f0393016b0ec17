// The windows' descriptions, and the Qt windows against them: every control where its
// description puts it, the menus, dialogs and states, the pictures, and the titles the window
// manager is given.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QFontInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <map>
#include <set>

#include "platform/SimSystem.h"
#include "support/RunFakes.h"
#include "support/TempDir.h"
#include "ui/forms/AboutForm.h"
#include "ui/forms/BuildPlatform.h"
#include "ui/forms/MainForm.h"
#include "ui/forms/Pictures.h"
#include "ui/forms/ProgramIcon.xpm"
#include "ui/forms/WindowStates.h"
#include "ui/qt/About.h"
#include "ui/qt/BitmapImage.h"
#include "ui/qt/ButtonPictures.h"
#include "ui/qt/Gauges.h"
#include "ui/qt/QtPrompts.h"
#include "ui/qt/StatusBar.h"
#include "ui/qt/Unit1.h"

using run::Control;
namespace forms = ui::forms;

namespace {

// The main window on a small simulated disc, with recording prompts.
struct Window {
    Window()
        : form(std::make_unique<ui::qt::TForm1>(
              std::make_unique<platform::SimSystem>(
                  std::make_shared<platform::SimDrive>(fakes::SmallDisc())),
              std::make_unique<fakes::FakePrompts>())) {}

    void RunToEnd() {
        for (int ticks = 0; form->Timer1()->isActive() && ticks < 100000; ++ticks) {
            form->Timer1Timer();
        }
    }

    std::unique_ptr<ui::qt::TForm1> form;
};

QString Text(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Names are unique; a parent is a panel listed earlier; every control lies inside its parent.
void ExpectConsistent(const forms::FormSpec& form) {
    std::map<std::string_view, const forms::ControlSpec*> seen;
    for (const forms::ControlSpec& control : form.controls) {
        SCOPED_TRACE(std::string(control.name));
        EXPECT_TRUE(seen.emplace(control.name, &control).second) << "named twice";
        forms::Bounds area{0, 0, form.clientWidth, form.clientHeight};
        if (!control.parent.empty()) {
            ASSERT_TRUE(seen.contains(control.parent)) << "parent not listed before";
            EXPECT_EQ(seen.at(control.parent)->kind, forms::ControlKind::Panel);
            area = {0, 0, seen.at(control.parent)->bounds.width,
                    seen.at(control.parent)->bounds.height};
        }
        const forms::Bounds& b = control.bounds;
        EXPECT_GE(b.left, area.left);
        EXPECT_GE(b.top, area.top);
        EXPECT_LE(b.left + b.width, area.width);
        EXPECT_LE(b.top + b.height, area.height);
        if (control.tabStop) {
            EXPECT_NE(control.tabOrder, forms::kNoTabOrder) << "a tab stop needs a tab order";
        }
    }
}

std::vector<std::string_view> Names(const std::vector<const forms::ControlSpec*>& controls) {
    std::vector<std::string_view> names;
    names.reserve(controls.size());
    for (const forms::ControlSpec* control : controls) {
        names.push_back(control->name);
    }
    return names;
}

// Each control of the form: found under its name, in its parent, where the description puts
// it, with its caption, font and focus. Labels may only grow, to show their whole caption.
void ExpectBuiltAsDescribed(const forms::FormSpec& form, const QWidget* client,
                            const QWidget* window) {
    for (const forms::ControlSpec& spec : form.controls) {
        SCOPED_TRACE(std::string(spec.name));
        const auto* widget = window->findChild<QWidget*>(Text(spec.name));
        ASSERT_NE(widget, nullptr);
        const QWidget* parent =
            spec.parent.empty() ? client : window->findChild<QWidget*>(Text(spec.parent));
        EXPECT_EQ(widget->parentWidget(), parent);
        const forms::Bounds& b = spec.bounds;
        if (spec.kind == forms::ControlKind::Label) {
            EXPECT_EQ(widget->pos(), QPoint(b.left, b.top));
            EXPECT_GE(widget->width(), b.width);
            EXPECT_GE(widget->height(), b.height);
            EXPECT_EQ(qobject_cast<const QLabel*>(widget)->text(), Text(spec.caption));
        } else {
            EXPECT_EQ(widget->geometry(), QRect(b.left, b.top, b.width, b.height));
        }
        if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) {
            EXPECT_EQ(button->text(), Text(spec.caption));
        }
        if (spec.font) {
            EXPECT_EQ(widget->font().pixelSize(), spec.font->pixelHeight);
            EXPECT_EQ(widget->font().underline(), spec.font->underline);
            EXPECT_EQ(widget->font().bold(), spec.font->bold);
            if (spec.font->color) {
                EXPECT_EQ(widget->palette().color(QPalette::WindowText),
                          ui::qt::ToQColor(*spec.font->color));
            }
        }
        if (!spec.tabStop && spec.tabOrder != forms::kNoTabOrder &&
            widget->focusPolicy() != Qt::NoFocus) {
            EXPECT_EQ(widget->focusPolicy(), Qt::ClickFocus) << "passed by the Tab key";
        }
    }
    // The Tab key goes from one tab stop to the next.
    const auto sequence = forms::TabSequence(form);
    for (std::size_t i = 1; i < sequence.size(); ++i) {
        const auto* from = window->findChild<QWidget*>(Text(sequence[i - 1]->name));
        const auto* to = window->findChild<QWidget*>(Text(sequence[i]->name));
        QWidget* next = from->nextInFocusChain();
        while (next != to && next != from && next->focusPolicy() != Qt::StrongFocus &&
               next->focusPolicy() != Qt::TabFocus) {
            next = next->nextInFocusChain();
        }
        EXPECT_EQ(next, to) << sequence[i - 1]->name;
    }
}

// What Qt's desktop platforms hand the window manager as a window's title: its own title, then
// the application's display name when one is set and the title does not already end with it.
QString TitleGivenToWindowManager(const QWidget& window) {
    QString title = window.windowHandle()->title();
    const QString displayName = QGuiApplication::applicationDisplayName();
    // Unset, the display name reads as the application's name.
    const bool displayNameSet = displayName != QCoreApplication::applicationName();
    if (!displayNameSet || title.endsWith(displayName)) {
        return title;
    }
    return title + QStringLiteral(" \u2014 ") + displayName;
}

}  // namespace

TEST(FormDescriptions, AreConsistentAndTabThroughTheirButtonsFirst) {
    ExpectConsistent(forms::MainForm().form);
    ExpectConsistent(forms::AboutForm());
    EXPECT_EQ(Names(forms::TabSequence(forms::MainForm().form)),
              (std::vector<std::string_view>{"Button1", "Button2"}));
    EXPECT_EQ(Names(forms::TabSequence(forms::AboutForm())),
              (std::vector<std::string_view>{"OKButton", "AboutMemo"}));

    // Every name the run logic uses stands for exactly one control or menu item.
    std::multiset<Control> controls;
    std::multiset<run::MenuMark> marks;
    for (const forms::ControlSpec& control : forms::MainForm().form.controls) {
        if (control.control) {
            controls.insert(*control.control);
        }
    }
    for (const forms::MenuSpec& menu : forms::MainForm().menus) {
        if (menu.control) {
            controls.insert(*menu.control);
        }
        for (const forms::MenuItemSpec& item : menu.items) {
            if (item.control) {
                controls.insert(*item.control);
            }
            if (item.mark) {
                marks.insert(*item.mark);
            }
        }
    }
    EXPECT_EQ(controls,
              (std::multiset<Control>{Control::StartButton, Control::StopButton, Control::DriveList,
                                      Control::FilesMenu, Control::SaveGraphic, Control::SaveData,
                                      Control::LoadData, Control::CompareWith}));
    EXPECT_EQ(marks, (std::multiset<run::MenuMark>{run::MenuMark::AutoSave, run::MenuMark::N1000,
                                                   run::MenuMark::N800, run::MenuMark::N600}));
}

TEST(FormDescriptions, FiltersSplitIntoPairs) {
    for (const forms::FileDialogSpec& dialog : forms::MainForm().fileDialogs) {
        SCOPED_TRACE(std::string(dialog.name));
        const auto pairs = forms::FilterPairs(dialog.filter);
        ASSERT_EQ(pairs.size(), 2u);
        EXPECT_EQ(pairs[0].pattern, "*." + std::string(dialog.defaultExtension));
        EXPECT_EQ(pairs[1].description, "All Files (*.*)");
        EXPECT_EQ(pairs[1].pattern, "*.*");
        EXPECT_EQ(&forms::FileDialogOf(dialog.which), &dialog);
    }
    EXPECT_TRUE(forms::FilterPairs("").empty());
    const auto odd = forms::FilterPairs("Only a description");
    ASSERT_EQ(odd.size(), 1u);
    EXPECT_EQ(odd[0].pattern, "");
}

TEST(FormPictures, TheIconReadsAsQtReadsItsXpm) {
    const forms::Picture icon = forms::ProgramIconPicture();
    const QImage xpm = QImage(kProgramIconXpm).convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(icon.pixels.Width(), 32);
    ASSERT_EQ(icon.pixels.Height(), 32);
    ASSERT_EQ(xpm.size(), QSize(32, 32));
    int seeThrough = 0;
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            const QRgb expected = xpm.pixel(x, y);
            ASSERT_EQ(icon.IsTransparent(x, y), qAlpha(expected) == 0) << x << "," << y;
            if (qAlpha(expected) != 0) {
                EXPECT_EQ(ui::qt::ToQColor(icon.pixels.Pixel(x, y)).rgb(), expected)
                    << x << "," << y;
            }
            seeThrough += icon.IsTransparent(x, y) ? 1 : 0;
        }
    }
    EXPECT_TRUE(icon.IsTransparent(0, 0));
    EXPECT_TRUE(icon.IsTransparent(16, 16));  // the disc's hole
    EXPECT_GT(seeThrough, 100);

    for (const forms::Picture& button : {forms::StartPicture(), forms::StopPicture()}) {
        EXPECT_EQ(button.transparent, forms::kSilver);
        EXPECT_EQ(button.pixels.Height(), 13);
    }
}

TEST(QtWindowFromDescription, MainWindowControlsMenusAndTimer) {
    Window w;
    ui::qt::TForm1& f = *w.form;
    const forms::MainFormSpec& spec = forms::MainForm();
    EXPECT_EQ(f.ClientArea()->size(), QSize(spec.form.clientWidth, spec.form.clientHeight));
    ExpectBuiltAsDescribed(spec.form, f.ClientArea(), &f);

    int left = 0;
    for (int i = 0; i < forms::kStatusPanelCount; ++i) {
        EXPECT_EQ(f.StatusBar1()->PanelRect(i).left(), left) << "panel " << i;
        left += spec.statusPanels[static_cast<std::size_t>(i)].width;
    }

    const QList<QAction*> bar = f.menuBar()->actions();
    ASSERT_EQ(bar.size(), static_cast<qsizetype>(spec.menus.size()));
    for (std::size_t m = 0; m < spec.menus.size(); ++m) {
        const forms::MenuSpec& menu = spec.menus[m];
        SCOPED_TRACE(std::string(menu.name));
        const QAction* action = bar[static_cast<qsizetype>(m)];
        EXPECT_EQ(action->text(), Text(menu.caption));
        EXPECT_EQ(action->isEnabled(), menu.enabled);
        const QList<QAction*> items =
            action->menu() != nullptr ? action->menu()->actions() : QList<QAction*>();
        ASSERT_EQ(items.size(), static_cast<qsizetype>(menu.items.size()));
        for (std::size_t i = 0; i < menu.items.size(); ++i) {
            const forms::MenuItemSpec& item = menu.items[i];
            SCOPED_TRACE(std::string(item.name));
            const QAction* built = items[static_cast<qsizetype>(i)];
            EXPECT_EQ(built->objectName(), Text(item.name));
            EXPECT_EQ(built->isSeparator(), item.separator);
            EXPECT_EQ(built->text(), Text(item.caption));
            EXPECT_EQ(built->isEnabled(), item.enabled);
            EXPECT_EQ(built->isCheckable(), item.checkable);
            EXPECT_EQ(built->isChecked(), item.checked);  // as start-up left them
        }
    }

    // The run logic's names reach the controls the description gives them to.
    for (const forms::ControlSpec& control : spec.form.controls) {
        if (control.control) {
            SCOPED_TRACE(std::string(control.name));
            const auto* widget = f.findChild<QWidget*>(Text(control.name));
            f.SetEnabled(*control.control, false);
            EXPECT_FALSE(widget->isEnabled());
            f.SetEnabled(*control.control, true);
            EXPECT_TRUE(widget->isEnabled());
        }
    }

    EXPECT_EQ(f.Timer1()->objectName(), Text(spec.timer.name));
    EXPECT_EQ(f.Timer1()->interval(), spec.timer.intervalMs);
    EXPECT_EQ(f.Timer1()->isActive(), spec.timer.enabled);
}

TEST(QtWindowFromDescription, AboutBoxControlsAndFileDialogs) {
    TAboutDialog dialog;
    const forms::FormSpec& spec = forms::AboutForm();
    EXPECT_EQ(dialog.objectName(), Text(spec.name));
    EXPECT_EQ(dialog.size(), QSize(spec.clientWidth, spec.clientHeight));
    EXPECT_EQ(dialog.font().underline(), spec.font.underline);
    ExpectBuiltAsDescribed(spec, &dialog, &dialog);

    for (const forms::FileDialogSpec& described : forms::MainForm().fileDialogs) {
        SCOPED_TRACE(std::string(described.name));
        const auto built = ui::qt::MakeFileDialog(described.which, nullptr);
        EXPECT_EQ(built->windowTitle(), Text(described.title));
        EXPECT_EQ(built->defaultSuffix(), Text(described.defaultExtension));
        EXPECT_EQ(built->acceptMode(), described.kind == forms::FileDialogKind::Save
                                           ? QFileDialog::AcceptSave
                                           : QFileDialog::AcceptOpen);
    }
}

// Tab passes the drive list by, as described; F4, the key that opens a drop-down list, takes
// the keyboard to it and opens it, but not while a run has it disabled.
TEST(QtWindowFromDescription, F4TakesTheKeyboardToTheDriveList) {
    Window w;
    QComboBox& list = *w.form->ComboBox1();
    QKeyEvent f4(QEvent::KeyPress, Qt::Key_F4, Qt::NoModifier);
    w.form->Button1()->click();
    QApplication::sendEvent(w.form.get(), &f4);
    EXPECT_NE(w.form->focusWidget(), &list);
    EXPECT_FALSE(list.view()->isVisible());
    w.RunToEnd();
    QApplication::sendEvent(w.form->Button1(), &f4);
    EXPECT_EQ(w.form->focusWidget(), &list);
    EXPECT_TRUE(list.view()->isVisible());
    list.hidePopup();
}

TEST(QtWindowFromDescription, StatesFollowTheStateTable) {
    fixtures::InTempDir temp;  // the run with AutoSave on writes its files here
    Window w;
    ui::qt::TForm1& f = *w.form;
    const std::map<Control, std::function<bool()>> enabled{
        {Control::StartButton, [&] { return f.Button1()->isEnabled(); }},
        {Control::StopButton, [&] { return f.Button2()->isEnabled(); }},
        {Control::DriveList, [&] { return f.ComboBox1()->isEnabled(); }},
        {Control::FilesMenu, [&] { return f.Files()->menuAction()->isEnabled(); }},
        {Control::SaveGraphic, [&] { return f.SaveGraphic2()->isEnabled(); }},
        {Control::SaveData, [&] { return f.SaveData1()->isEnabled(); }},
    };
    const std::map<Control, QWidget*> focus{{Control::StartButton, f.Button1()},
                                            {Control::StopButton, f.Button2()}};
    std::map<Control, bool> before;
    const auto expectState = [&](forms::RunMoment moment) {
        const forms::WindowState& state = forms::MainWindowState(moment);
        SCOPED_TRACE(std::string(state.when));
        EXPECT_EQ(state.moment, moment);
        for (std::size_t i = 0; i < forms::kStateColumns.size(); ++i) {
            const Control control = forms::kStateColumns[i];
            const bool expected = state.usable[i] == forms::Usable::Unchanged
                                      ? before.at(control)
                                      : state.usable[i] == forms::Usable::Yes;
            EXPECT_EQ(enabled.at(control)(), expected) << "column " << i;
            before[control] = enabled.at(control)();
        }
        EXPECT_EQ(f.Timer1()->isActive(), state.timerEnabled);
        EXPECT_EQ(f.focusWidget(), focus.at(state.focus));
        EXPECT_TRUE(f.Options1()->menuAction()->isEnabled());
        EXPECT_TRUE(f.About1()->isEnabled());
    };

    expectState(forms::RunMoment::AfterStartUp);
    f.Button1Click();
    expectState(forms::RunMoment::Running);
    w.RunToEnd();
    expectState(forms::RunMoment::EndedAutoSaveOff);
    f.AutoSave1Click();
    f.Button1Click();
    expectState(forms::RunMoment::Running);
    w.RunToEnd();
    expectState(forms::RunMoment::EndedAutoSaveOn);
}

TEST(WindowPolish, TitlesAreTheCaptionsAlone) {
    Window w;
    w.form->show();
    TAboutDialog about(w.form.get());
    about.show();
    EXPECT_EQ(about.windowHandle()->title().toStdString(), "About");
    EXPECT_EQ(TitleGivenToWindowManager(about).toStdString(), "About");
    // The main window's title is what the task bar shows.
    EXPECT_EQ(w.form->windowHandle()->title().toStdString(), "Discometer v2.32");
    EXPECT_EQ(TitleGivenToWindowManager(*w.form).toStdString(), "Discometer v2.32");

    // Message boxes carry the program's title, not the name of its executable.
    QString boxTitle;
    QTimer::singleShot(0, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            boxTitle = TitleGivenToWindowManager(*box);
            box->accept();
        }
    });
    ui::qt::QtPrompts().ShowMessage("Note");
    EXPECT_EQ(boxTitle.toStdString(), "Discometer v2.32");
}

TEST(WindowPolish, AboutPanelHasTheMainWindowsBevels) {
    Window w;
    TAboutDialog about;
    for (QWidget* panel :
         {static_cast<QWidget*>(about.Panel1), static_cast<QWidget*>(w.form->Panel2())}) {
        SCOPED_TRACE(panel->objectName().toStdString());
        const QImage image = panel->grab().toImage();
        const QRgb dark = panel->palette().color(QPalette::Dark).rgb();
        const QRgb light = panel->palette().color(QPalette::Light).rgb();
        const int right = image.width() - 1;
        const int bottom = image.height() - 1;
        const int midX = image.width() / 2;
        const int midY = image.height() / 2;
        // Sunken outside: dark above and left, light below and right.
        EXPECT_EQ(image.pixel(midX, 0), dark);
        EXPECT_EQ(image.pixel(0, midY), dark);
        EXPECT_EQ(image.pixel(midX, bottom), light);
        EXPECT_EQ(image.pixel(right, midY), light);
        // Raised inside.
        EXPECT_EQ(image.pixel(midX, 1), light);
        EXPECT_EQ(image.pixel(1, midY), light);
        EXPECT_EQ(image.pixel(midX, bottom - 1), dark);
        EXPECT_EQ(image.pixel(right - 1, midY), dark);
    }
}

TEST(WindowPolish, AboutNoticesNameThisBuildAndFitTheirPanel) {
    TAboutDialog about;
    EXPECT_EQ(about.Version->text(), "Ver 2.32 for Linux");
    EXPECT_TRUE(about.Version->text().endsWith(Text(forms::BuildPlatformName())));
    EXPECT_TRUE(about.TM->text().startsWith("Trademark of ")) << about.TM->text().toStdString();
    EXPECT_TRUE(about.TM->text().endsWith(" developers")) << about.TM->text().toStdString();

    // Whatever face this machine has, every notice shows whole within the panel's bevels.
    for (const QLabel* label : about.Panel1->findChildren<QLabel*>()) {
        EXPECT_LE(label->geometry().right(), about.Panel1->width() - 3)
            << label->text().toStdString();
    }
}

// The face the window's texts resolved to: one the layout was made in or, where the run names
// one in DISCOMETER_TEST_FONTS (a machine with nothing but DejaVu), that one. A face that is
// neither means the fitting tests would not test what they say.
TEST(WindowPolish, TextsResolveToTheFacesTheyAreTestedIn) {
    const QString face = QFontInfo(QApplication::font()).family();
    const QByteArray asked = qgetenv("DISCOMETER_TEST_FONTS");
    if (!asked.isEmpty()) {
        EXPECT_EQ(face, QString::fromUtf8(asked));
    } else {
        EXPECT_TRUE(std::ranges::any_of(forms::kFontFaces,
                                        [&](std::string_view f) { return Text(f) == face; }))
            << face.toStdString() << ": is fonts-liberation installed?";
    }
}

// Every caption of the main window ends within its panel's bevels and before the control
// beside it; at the faces' own size where they were made for it.
TEST(WindowPolish, CaptionsEndBeforeTheirNeighbours) {
    Window w;
    for (const QLabel* label : w.form->findChildren<QLabel*>()) {
        if (label->text().isEmpty() || !label->pixmap().isNull()) {
            continue;
        }
        SCOPED_TRACE(label->text().toStdString());
        const QWidget* parent = label->parentWidget();
        EXPECT_LE(label->x() + label->sizeHint().width(), parent->width() - 2);
        for (const QWidget* sibling : parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            const QRect other = sibling->geometry();
            if (other.left() > label->x() && other.top() <= label->geometry().bottom() &&
                other.bottom() >= label->y()) {
                EXPECT_LE(label->x() + label->sizeHint().width(), other.left())
                    << sibling->objectName().toStdString();
            }
        }
        if (qEnvironmentVariableIsEmpty("DISCOMETER_TEST_FONTS")) {
            EXPECT_EQ(label->font().pixelSize(), forms::MainForm().form.font.pixelHeight);
        }
    }
}

TEST(WindowPolish, AGaugeMadeInCodeIs100By100) {
    QWidget parent;
    const ui::qt::TGauge alone;
    const ui::qt::TGauge* child = new ui::qt::TGauge(&parent);
    for (const ui::qt::TGauge* gauge : {&alone, child}) {
        EXPECT_EQ(gauge->size(), QSize(100, 100));
        EXPECT_EQ(gauge->Core().Width(), 100);
        EXPECT_EQ(gauge->Core().Height(), 100);
    }
    EXPECT_EQ(child->Core().Paint().Width(), 100);
}

// The application lives on main's stack, set up as the program sets up its own: Qt's input
// devices must go before it does.
int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");  // also when the tests are only listed
    }
    QApplication app(argc, argv);
    ui::qt::UseClassicLook(app);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
