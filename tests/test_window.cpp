// The main window under the offscreen platform: layout, captions, start-up states, menu marks,
// whole runs driven tick by tick, what the window shows of the chart and the gauge, and the
// files of the scripted run that every front end writes alike.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>
#include <QTimerEvent>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <future>
#include <random>

#include <unistd.h>

#include "run/ReadSpeed.h"
#include "support/ParityFiles.h"
#include "support/RunFakes.h"
#include "support/SectorImages.h"
#include "support/WindowFixture.h"
#include "ui/qt/Bevels.h"
#include "ui/qt/BitmapImage.h"
#include "ui/qt/ButtonPictures.h"
#include "ui/qt/Gauges.h"
#include "ui/qt/QtPrompts.h"
#include "ui/qt/StatusBar.h"
#include "ui/qt/Unit1.h"

using fixtures::App;
using fixtures::InTempDir;
using fixtures::kSmallLabel;
using fixtures::Window;
using run::FileDialog;
using run::Panel;

namespace {

// The state table's columns for one moment.
struct ControlStates {
    bool startEnabled;
    bool stopEnabled;
    bool driveListEnabled;
    bool filesEnabled;
    bool savesEnabled;
    bool timerActive;
};

void ExpectStates(const Window& w, const ControlStates& s, const char* when) {
    const ui::qt::TForm1& f = *w.form;
    EXPECT_EQ(f.Button1()->isEnabled(), s.startEnabled) << when;
    EXPECT_EQ(f.Button2()->isEnabled(), s.stopEnabled) << when;
    EXPECT_EQ(f.ComboBox1()->isEnabled(), s.driveListEnabled) << when;
    EXPECT_EQ(f.Files()->menuAction()->isEnabled(), s.filesEnabled) << when;
    EXPECT_EQ(f.SaveGraphic2()->isEnabled(), s.savesEnabled) << when;
    EXPECT_EQ(f.SaveData1()->isEnabled(), s.savesEnabled) << when;
    EXPECT_EQ(f.Timer1()->isActive(), s.timerActive) << when;
    // Options and About stay usable in every state.
    EXPECT_TRUE(f.Options1()->menuAction()->isEnabled()) << when;
    EXPECT_TRUE(f.About1()->isEnabled()) << when;
}

constexpr ControlStates kIdleBeforeFirstRun{true, true, true, true, false, false};
constexpr ControlStates kRunning{false, true, false, false, false, true};
constexpr ControlStates kEndedOffered{true, true, true, true, true, false};

QImage Grab(QWidget* widget) {
    return widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

}  // namespace

TEST(WindowLayout, ControlsSitWhereTheLayoutPutsThem) {
    Window w;
    const ui::qt::TForm1& f = *w.form;
    EXPECT_EQ(f.ClientArea()->size(), QSize(608, 427));
    // One size only: the window cannot be resized or maximised.
    EXPECT_EQ(f.minimumSize(), f.maximumSize());
    EXPECT_EQ(f.size().width(), 608);
    EXPECT_EQ(f.size().height(), 427 + f.menuBar()->height());
    EXPECT_FALSE(f.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_TRUE(f.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_TRUE(f.windowFlags().testFlag(Qt::WindowCloseButtonHint));

    struct Placement {
        const char* name;
        const QWidget* widget;
        const QWidget* parent;
        QRect geometry;
    };
    const QWidget* client = f.ClientArea();
    const std::vector<Placement> table{
        {"Bevel1", f.Bevel1(), client, {6, 10, 595, 356}},
        {"Image1", f.Image1(), client, {8, 12, 591, 352}},
        {"Bevel2", f.Bevel2(), client, {6, 1, 593, 2}},
        {"Panel2", f.Panel2(), client, {6, 370, 291, 35}},
        {"Label2", f.Label2(), f.Panel2(), {10, 10, 44, 13}},
        {"Bevel3", f.Bevel3(), f.Panel2(), {68, 8, 213, 19}},
        {"Gauge1", f.Gauge1(), f.Panel2(), {70, 10, 209, 15}},
        {"Panel3", f.Panel3(), client, {302, 370, 151, 35}},
        {"Label1", f.Label1(), f.Panel3(), {12, 10, 74, 13}},
        {"ComboBox1", f.ComboBox1(), f.Panel3(), {100, 8, 41, 21}},
        {"Panel1", f.Panel1(), client, {458, 370, 143, 35}},
        {"Button1", f.Button1(), client, {468, 376, 73, 23}},
        {"Button2", f.Button2(), client, {552, 376, 39, 23}},
        {"StatusBar1", f.StatusBar1(), client, {0, 410, 608, 17}},
    };
    for (const auto& p : table) {
        EXPECT_EQ(p.widget->parentWidget(), p.parent) << p.name;
        EXPECT_EQ(p.widget->objectName().toStdString(), p.name);
        if (qobject_cast<const QLabel*>(p.widget) != nullptr) {
            // Labels grow to their caption with a wider font, never shrink below the layout.
            EXPECT_EQ(p.widget->pos(), p.geometry.topLeft()) << p.name;
            EXPECT_GE(p.widget->width(), p.geometry.width()) << p.name;
            EXPECT_GE(p.widget->width(), p.widget->sizeHint().width()) << p.name;
            EXPECT_GE(p.widget->height(), p.geometry.height()) << p.name;
            EXPECT_GE(p.widget->height(), p.widget->sizeHint().height()) << p.name;
        } else {
            EXPECT_EQ(p.widget->geometry(), p.geometry) << p.name;
        }
    }
    EXPECT_EQ(f.Gauge1()->Core().Width(), 209);
    EXPECT_EQ(f.Gauge1()->Core().Height(), 15);

    // Status panels 105, 98, 94 and 145 wide; the fifth reaches the right end of the bar.
    const std::vector<int> lefts{0, 105, 203, 297, 442};
    for (int i = 0; i < ui::qt::TStatusBar::kPanels; ++i) {
        EXPECT_EQ(f.StatusBar1()->PanelRect(i).left(), lefts[static_cast<std::size_t>(i)]) << i;
    }
    EXPECT_EQ(f.StatusBar1()->PanelRect(4).right(), 607);

    // Start first in the tab order; the drive list is passed by the Tab key.
    EXPECT_EQ(f.Button1()->nextInFocusChain(), f.Button2());
    EXPECT_EQ(f.ComboBox1()->focusPolicy(), Qt::ClickFocus);
    EXPECT_FALSE(f.ComboBox1()->isEditable());
}

TEST(WindowLayout, CaptionsAndMenus) {
    Window w;
    const ui::qt::TForm1& f = *w.form;
    EXPECT_EQ(f.windowTitle(), "Discometer v2.32");
    EXPECT_EQ(f.Button1()->text(), "&Start");
    EXPECT_EQ(f.Button2()->text(), "");
    EXPECT_EQ(f.Label1()->text(), "CD ROM Drive:");
    EXPECT_EQ(f.Label2()->text(), "Progress:");

    const QList<QAction*> bar = f.menuBar()->actions();
    ASSERT_EQ(bar.size(), 3);
    EXPECT_EQ(bar[0], f.Files()->menuAction());
    EXPECT_EQ(bar[1], f.Options1()->menuAction());
    EXPECT_EQ(bar[2], f.About1());  // a command on the bar itself
    EXPECT_EQ(f.Files()->title(), "&Files");
    EXPECT_EQ(f.Options1()->title(), "&Options");
    EXPECT_EQ(f.About1()->text(), "&About");
    EXPECT_EQ(f.About1()->menu(), nullptr);

    EXPECT_EQ(f.Files()->actions(),
              (QList<QAction*>{f.SaveGraphic2(), f.SaveData1(), f.LoadData1(), f.CompareWith1()}));
    EXPECT_EQ(f.SaveGraphic2()->text(), "Save &Graphic");
    EXPECT_EQ(f.SaveData1()->text(), "Save &Data");
    EXPECT_EQ(f.LoadData1()->text(), "&Load Data");
    EXPECT_EQ(f.CompareWith1()->text(), "&Compare With...");

    EXPECT_EQ(f.Options1()->actions(),
              (QList<QAction*>{f.AutoSave1(), f.N1(), f.N1000(), f.N800(), f.N600(), f.N2(),
                               f.ReadSpeed1()->menuAction()}));
    EXPECT_TRUE(f.N1()->isSeparator());
    EXPECT_TRUE(f.N2()->isSeparator());
    EXPECT_EQ(f.ReadSpeed1()->title(), "Read Speed");
    QStringList speeds;
    for (const QAction* item : f.ReadSpeed1()->actions()) {
        if (item->isVisible()) {
            speeds << item->text() + (item->isChecked() ? "*" : "");
        }
    }
    EXPECT_EQ(speeds.join(' '), "Max* 52x 48x 40x 32x 24x 16x 8x 4x");  // a CD's
    EXPECT_EQ(f.AutoSave1()->text(), "AutoSave");
    EXPECT_EQ(f.N1000()->text(), "1000");
    EXPECT_EQ(f.N800()->text(), "800-200");
    EXPECT_EQ(f.N600()->text(), "600-400");
    EXPECT_EQ(f.Timer1()->interval(), 5);
}

TEST(WindowStartUp, StatesAfterStartUp) {
    Window w;
    ui::qt::TForm1& f = *w.form;
    EXPECT_FALSE(f.StartUpStatus().has_value());
    ExpectStates(w, kIdleBeforeFirstRun, "after start-up");
    EXPECT_TRUE(f.LoadData1()->isEnabled());
    EXPECT_EQ(f.focusWidget(), f.Button1());

    EXPECT_FALSE(f.AutoSave1()->isChecked());
    EXPECT_FALSE(f.N1000()->isChecked());
    EXPECT_TRUE(f.N800()->isChecked());
    EXPECT_FALSE(f.N600()->isChecked());
    EXPECT_EQ(w.Panel(Panel::State), "System Stopped");

    ASSERT_EQ(f.ComboBox1()->count(), 1);
    EXPECT_EQ(f.ComboBox1()->currentText(), "sim");
    EXPECT_FALSE(f.State().NoDrive);

    const ui::forms::GaugeCore& gauge = f.Gauge1()->Core();
    EXPECT_EQ(gauge.Kind(), ui::forms::gkHorizontalBar);
    EXPECT_EQ(gauge.BorderStyle(), ui::forms::bsNone);
    EXPECT_TRUE(gauge.ShowText());
    EXPECT_EQ(gauge.BackColor(), 0xDBEAEAu);
    EXPECT_EQ(gauge.ForeColor(), 0x205858u);

    // The empty chart frame is on show.
    EXPECT_EQ(Grab(f.Image1()), ui::qt::ToQImage(f.ChartPicture().bitmap));
    EXPECT_NE(f.ChartPicture().bitmap, platform::Bitmap(591, 352));
}

TEST(WindowStartUp, WithoutDrivesListsNAAndStartSaysSo) {
    Window w(fakes::SmallDisc(), [](platform::SimSystem& s) { s.candidates.clear(); });
    ui::qt::TForm1& f = *w.form;
    ASSERT_FALSE(f.StartUpStatus().has_value());
    ASSERT_EQ(f.ComboBox1()->count(), 1);
    EXPECT_EQ(f.ComboBox1()->currentText(), "NA");
    EXPECT_TRUE(f.State().NoDrive);

    f.Button1()->click();
    EXPECT_EQ(w.prompts->sounds, std::vector<std::string>{"ERROR"});
    EXPECT_EQ(w.prompts->errors, std::vector<std::string>{"No drive"});
    EXPECT_EQ(w.drive->ReadCount(), 0u);
    EXPECT_EQ(w.Panel(Panel::State), "System Stopped");
    ExpectStates(w, kIdleBeforeFirstRun, "after a refused start");
}

TEST(WindowStartUp, AFailedStartSaysWhyAsTheCommandLineDoes) {
    InTempDir temp;
    const std::string here = std::filesystem::current_path().string();
    fixtures::WriteImage("numbers.img", 40);  // sector 16 holds no volume descriptor
    fixtures::WriteImage("short.img", 10);
    struct Row {
        const char* name;
        std::string entry;
        std::string error;
        std::string state;  // the state panel afterwards
    };
    for (const Row& row : {
             Row{"named drive missing", here + "/none.iso",
                 "No drive\n" + here + "/none.iso left out: cannot find " + here +
                     "/none.iso: No such file or directory",
                 "System Stopped"},
             Row{"no data volume", here + "/numbers.img",
                 here + "/numbers.img holds no data volume (neither an ISO 9660 volume "
                        "descriptor at sector 16 nor a UDF volume)",
                 "No data volume on this disc"},
             Row{"nothing at sector 16", here + "/short.img",
                 "No disc or unreadable volume descriptor in " + here +
                     "/short.img: it holds only 10 sectors",
                 "System Stopped"},
         }) {
        SCOPED_TRACE(row.name);
        App();
        auto ownPrompts = std::make_unique<fakes::FakePrompts>();
        fakes::FakePrompts& prompts = *ownPrompts;
        ui::qt::TForm1 f(platform::MakeNativeSystem(row.entry), std::move(ownPrompts));
        f.Button1()->click();
        EXPECT_EQ(prompts.sounds, std::vector<std::string>{"ERROR"});
        EXPECT_EQ(prompts.errors, std::vector<std::string>{row.error});
        EXPECT_EQ(f.StatusBar1()->PanelText(static_cast<int>(Panel::State)).toStdString(),
                  row.state);
        EXPECT_FALSE(f.Timer1()->isActive());
    }
}

TEST(WindowStartUp, ASecondWindowFindsTheDriveBusyUntilTheFirstRunEnds) {
    Window first;
    auto ownPrompts = std::make_unique<fakes::FakePrompts>();
    fakes::FakePrompts& prompts = *ownPrompts;
    ui::qt::TForm1 second(std::make_unique<platform::SimSystem>(first.drive),
                          std::move(ownPrompts));
    first.form->Button1()->click();
    ASSERT_TRUE(first.form->Timer1()->isActive());
    const std::uint64_t reads = first.drive->ReadCount();

    second.Button1()->click();
    EXPECT_EQ(prompts.sounds, std::vector<std::string>{"ERROR"});
    EXPECT_EQ(prompts.errors,
              std::vector<std::string>{"The drive is busy with another measurement (sim)"});
    EXPECT_FALSE(second.Timer1()->isActive());
    EXPECT_EQ(first.drive->ReadCount(), reads) << "the refused run read nothing";

    first.RunToEnd();
    second.Button1()->click();
    EXPECT_TRUE(second.Timer1()->isActive()) << "the drive is free once the first run ends";
    EXPECT_EQ(prompts.errors.size(), 1u);
}

TEST(WindowStartUp, MissingSectorLibraryEndsWithStatusOneBeforeShowing) {
    Window w(fakes::SmallDisc(), [](platform::SimSystem& s) {
        s.version.platformId = platform::kPlatformWin95;
        s.modules.clear();
    });
    EXPECT_EQ(w.form->StartUpStatus(), std::optional<int>(1));
    EXPECT_FALSE(w.form->isVisible());
    EXPECT_EQ(w.form->ComboBox1()->count(), 0);  // start-up stopped before the drive list
    EXPECT_TRUE(w.prompts->messages.empty());
    EXPECT_TRUE(w.prompts->errors.empty());
}

TEST(WindowMenus, SequencerMarksAndAutoSaveToggle) {
    Window w;
    ui::qt::TForm1& f = *w.form;
    const auto marks = [&f] {
        return std::vector<bool>{f.N1000()->isChecked(), f.N800()->isChecked(),
                                 f.N600()->isChecked()};
    };
    f.N1000Click();
    EXPECT_EQ(marks(), (std::vector<bool>{true, false, false}));
    f.N600Click();
    EXPECT_EQ(marks(), (std::vector<bool>{false, false, true}));

    // Through the menu items, as a user clicks them: Qt's own flip of a checkable item must
    // not undo the handler's work, and the marked item stays marked.
    f.N800()->trigger();
    EXPECT_EQ(marks(), (std::vector<bool>{false, true, false}));
    f.N800()->trigger();
    EXPECT_EQ(marks(), (std::vector<bool>{false, true, false}));
    f.N1000()->trigger();
    EXPECT_EQ(marks(), (std::vector<bool>{true, false, false}));

    f.AutoSave1()->trigger();
    EXPECT_TRUE(f.AutoSave1()->isChecked());
    f.AutoSave1()->trigger();
    EXPECT_FALSE(f.AutoSave1()->isChecked());
    f.AutoSave1Click();
    EXPECT_TRUE(f.AutoSave1()->isChecked());

    // The next run times as many sectors as the marked item says.
    f.N600()->trigger();
    f.Button1Click();
    EXPECT_EQ(w.drive->ReadLog().back(), (platform::SimRead{1000, 600, true}));
}

TEST(WindowRun, CompleteRunWithoutAutoSave) {
    Window w;
    ui::qt::TForm1& f = *w.form;
    f.Button1()->click();
    ExpectStates(w, kRunning, "run in progress");
    EXPECT_EQ(f.focusWidget(), f.Button2());
    EXPECT_EQ(w.Panel(Panel::State), "Proceed...");
    EXPECT_EQ(w.Panel(Panel::SectorsTotal), "Sectors Total : 20000");
    EXPECT_EQ(f.Gauge1()->Core().MaxValue(), 20);

    f.Timer1Timer();
    EXPECT_EQ(w.Panel(Panel::BlocksRead), "Blocks Read : 3");
    EXPECT_EQ(w.Panel(Panel::BlocksError), "Blocks Error : 0");
    EXPECT_EQ(w.Panel(Panel::Speed), "Transfer Speed Kb/s : 8000");
    EXPECT_EQ(f.Gauge1()->Core().Progress(), 3);
    EXPECT_EQ(f.Document().back(), "3 8000");

    EXPECT_EQ(w.RunToEnd(), 9);
    EXPECT_EQ(w.Panel(Panel::State), "Complete");
    EXPECT_EQ(w.Panel(Panel::BlocksRead), "Blocks Read : 20");
    EXPECT_EQ(f.Gauge1()->Core().PercentDone(), 100);
    EXPECT_EQ(f.Document().back(), "19 8000");
    EXPECT_EQ(w.prompts->sounds, std::vector<std::string>{"DONE"});
    EXPECT_TRUE(w.prompts->messages.empty());
    EXPECT_EQ(f.State().DeviceHandle, nullptr);
    ExpectStates(w, kEndedOffered, "after a complete run, AutoSave off");
    EXPECT_EQ(f.focusWidget(), f.Button1());

    // What the window shows is the chart and the gauge as the run left them.
    EXPECT_EQ(Grab(f.Image1()), ui::qt::ToQImage(f.ChartPicture().bitmap));
    EXPECT_EQ(Grab(f.Gauge1()), ui::qt::ToQImage(f.Gauge1()->Core().Paint()));
}

TEST(WindowRun, TimerTicksReachTheTickHandler) {
    Window w;
    ui::qt::TForm1& f = *w.form;
    f.Button1Click();
    ASSERT_TRUE(f.Timer1()->isActive());
    // What the event loop does when the 5 ms have passed, delivered at once.
    QTimerEvent tick(f.Timer1()->timerId());
    QCoreApplication::sendEvent(f.Timer1(), &tick);
    EXPECT_EQ(f.State().BlockIndex, 3);
    EXPECT_EQ(f.Document().back(), "3 8000");
    EXPECT_TRUE(f.Timer1()->isActive());  // the run goes on
}

// The pause wakes a millisecond before Timer1 is due and ends the pause when it is, never
// earlier; a wake after the run ended ticks nothing.
TEST(WindowRun, ASlowReadLeavesTheWindowRunningAndTakesStopAndACloseAfterIt) {
    Window w(fakes::SmallDisc(40000));
    ui::qt::TForm1& f = *w.form;
    f.Button1()->click();
    ASSERT_TRUE(f.Timer1()->isActive());
    // The first tick reads block 2 untimed and times block 3: that read takes five seconds of
    // the drive's time, and is held out until the window has been used meanwhile.
    w.drive->ScriptDurations({250.0, 5000.0});
    std::promise<void> release;
    const std::shared_future<void> released = release.get_future().share();
    w.drive->SetReadHook([released](std::int64_t first) {
        if (first == 3000) {
            released.wait_for(std::chrono::seconds(30));  // bounded, should the window hang
        }
    });
    f.ReadingNote()->setInterval(0);  // the note's second, at once

    bool readOut = false;
    std::string note;
    const std::uint64_t readsBefore = w.drive->ReadCount();
    QTimer::singleShot(0, &f, [&] {
        readOut = f.ReadOut();
        f.Button1()->click();  // not taken while the read is out
        f.Button2()->click();  // taken, and honoured at the next tick
        f.close();             // waits for the read
        QTimer::singleShot(0, &f, [&] {
            note = w.Panel(Panel::State).toStdString();
            release.set_value();
        });
    });
    f.Timer1Timer();
    EXPECT_TRUE(readOut) << "the window ran its events while the read was out";
    EXPECT_EQ(note, "Reading... block 3");
    EXPECT_EQ(w.Panel(Panel::State), "Proceed...") << "the note goes with the read";
    EXPECT_EQ(w.drive->ReadCount(), readsBefore + 2) << "no read but the tick's own";
    // Timed on the read's own length, however long the window took over its events.
    EXPECT_EQ(f.Document().back(), "3 320");
    EXPECT_FALSE(f.Closing());

    w.RunToEnd();
    EXPECT_EQ(w.Panel(Panel::State), "System Stopped");
    EXPECT_EQ(w.drive->ReadCount(), readsBefore + 2);
    QCoreApplication::processEvents();  // the close put off until the read was back
    EXPECT_TRUE(f.Closing());
}

TEST(WindowRun, PausesWakeEarlyAndEndWhenTheTimerIsDue) {
    Window w;
    ui::qt::TForm1& f = *w.form;
    ui::qt::PrecisePause& pause = *f.Pause();
    int due = 0;
    QObject::connect(&pause, &ui::qt::PrecisePause::Due, [&due] { ++due; });
    const auto wake = [&pause] {
        QTimerEvent event(pause.EarlyWake().timerId());
        QCoreApplication::sendEvent(&pause.EarlyWake(), &event);
    };

    const auto started = std::chrono::steady_clock::now();
    f.Button1Click();
    ASSERT_TRUE(f.Timer1()->isActive());
    EXPECT_EQ(f.Timer1()->interval(), 5);
    ASSERT_TRUE(pause.EarlyWake().isActive());
    EXPECT_EQ(pause.EarlyWake().interval(), 4);
    wake();
    EXPECT_GE(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(5));
    EXPECT_EQ(due, 1);
    EXPECT_EQ(f.State().BlockIndex, 3);  // the tick was made
    EXPECT_TRUE(f.Timer1()->isActive());
    EXPECT_TRUE(pause.EarlyWake().isActive());  // and the next pause begun

    f.Button2Click();
    w.RunToEnd();
    EXPECT_FALSE(pause.EarlyWake().isActive());
    pause.EarlyWake().start(4);
    wake();
    EXPECT_EQ(due, 1);
}

TEST(WindowRun, StopEndsTheRunAtTheNextTick) {
    Window w;
    ui::qt::TForm1& f = *w.form;
    f.Button1Click();
    f.Timer1Timer();
    f.Timer1Timer();
    const auto readsBefore = w.drive->ReadCount();
    f.Button2()->click();
    EXPECT_TRUE(f.Timer1()->isActive());  // Stop only asks
    f.Timer1Timer();
    EXPECT_EQ(w.drive->ReadCount(), readsBefore);
    EXPECT_EQ(w.Panel(Panel::State), "System Stopped");
    EXPECT_TRUE(w.prompts->sounds.empty());
    EXPECT_FALSE(f.State().StopRequest);
    EXPECT_EQ(f.State().DeviceHandle, nullptr);
    ExpectStates(w, kEndedOffered, "after a stopped run, AutoSave off");
    EXPECT_EQ(f.focusWidget(), f.Button1());
}

TEST(WindowRun, StopWhileIdleDoesNotStopTheNextRun) {
    Window w;
    ui::qt::TForm1& f = *w.form;
    f.Button2Click();
    EXPECT_EQ(w.Panel(Panel::State), "System Stopped");
    ExpectStates(w, kIdleBeforeFirstRun, "after Stop while idle");
    f.Button1Click();
    w.RunToEnd();
    EXPECT_EQ(w.Panel(Panel::State), "Complete");
}

TEST(WindowRun, AutoSaveWritesBothFilesAndLeavesTheSaveItemsAlone) {
    InTempDir temp;
    for (const bool stop : {false, true}) {
        Window w;
        ui::qt::TForm1& f = *w.form;
        f.AutoSave1Click();
        f.Button1Click();
        if (stop) {
            f.Timer1Timer();
            f.Button2Click();
        }
        w.RunToEnd();
        EXPECT_EQ(w.Panel(Panel::State), stop ? "System Stopped" : "Complete");
        EXPECT_EQ(w.prompts->messages,
                  std::vector<std::string>{"Note: Graphic and Data Saved in .bmp and .dat Files"});
        EXPECT_TRUE(w.prompts->errors.empty());
        ExpectStates(w, {true, true, true, true, false, false}, "after a run, AutoSave on");
        EXPECT_EQ(f.focusWidget(), f.Button1());

        const std::string saved = fixtures::ReadBytes(kSmallLabel + ".dat");
        EXPECT_NE(saved.find("[TransferResults]\r\n1 8000\r\n3 8000\r\n"), std::string::npos);
        EXPECT_EQ(saved.find("19 8000") != std::string::npos, !stop);
        EXPECT_GT(std::filesystem::file_size(kSmallLabel + ".bmp"), 591u * 352u * 3u);
    }
}

TEST(WindowRun, ClosingTheWindowStopsARunAndLetsTheDriveGo) {
    Window w;
    ui::qt::TForm1& f = *w.form;
    f.Button1Click();
    f.Timer1Timer();
    ASSERT_NE(f.State().DeviceHandle, nullptr);
    EXPECT_FALSE(f.Closing());
    f.close();
    EXPECT_TRUE(f.Closing());  // a long operation that lets events run stops at its next step
    EXPECT_FALSE(f.Timer1()->isActive());
    EXPECT_EQ(f.State().DeviceHandle, nullptr);
}

TEST(WindowFiles, SaveItemsWriteWhatTheUserNamesAndLoadOnlyAsks) {
    InTempDir temp;
    Window w;
    ui::qt::TForm1& f = *w.form;
    f.Button1Click();
    w.RunToEnd();
    w.prompts->answers = {std::nullopt, "run.bmp", "run.dat", "missing/dir/run.dat"};
    f.SaveGraphic2()->trigger();  // cancelled
    f.SaveGraphic2()->trigger();
    f.SaveData1()->trigger();
    f.SaveData1()->trigger();
    EXPECT_EQ(w.prompts->asked,
              (std::vector<FileDialog>{FileDialog::SaveGraphic, FileDialog::SaveGraphic,
                                       FileDialog::SaveData, FileDialog::SaveData}));
    EXPECT_TRUE(std::filesystem::exists("run.bmp"));
    EXPECT_TRUE(std::filesystem::exists("run.dat"));
    EXPECT_EQ(w.prompts->errors,
              std::vector<std::string>{
                  "Cannot create file missing/dir/run.dat: No such file or directory"});

    const results::DataList before = f.Document();
    w.prompts->answers = {"run.dat"};
    f.LoadData1()->trigger();
    EXPECT_EQ(w.prompts->asked.back(), FileDialog::LoadData);
    EXPECT_EQ(f.Document(), before);
    int aboutShown = 0;
    f.SetAboutBox([&](QWidget* parent) {
        EXPECT_EQ(parent, &f);
        ++aboutShown;
    });
    f.About1()->trigger();
    EXPECT_EQ(aboutShown, 1);
}

TEST(WindowFiles, DialogsCarryTheirTitlesFiltersAndExtensions) {
    App();
    struct Expected {
        FileDialog which;
        const char* title;
        const char* filter;
        const char* suffix;
        QFileDialog::AcceptMode mode;
    };
    for (const auto& e : {
             Expected{FileDialog::SaveGraphic, "Save Graphic", "Bit Map Files (*.bmp)", "bmp",
                      QFileDialog::AcceptSave},
             Expected{FileDialog::SaveData, "Save Data", "Data Files (*.dat)", "dat",
                      QFileDialog::AcceptSave},
             Expected{FileDialog::LoadData, "Load Data", "Data Files (*.dat)", "dat",
                      QFileDialog::AcceptOpen},
             Expected{FileDialog::CompareWith, "Compare With", "Data Files (*.dat)", "dat",
                      QFileDialog::AcceptOpen},
         }) {
        const auto dialog = ui::qt::MakeFileDialog(e.which, nullptr);
        EXPECT_EQ(dialog->windowTitle(), e.title);
        EXPECT_EQ(dialog->nameFilters(), (QStringList{e.filter, "All Files (*)"}));
        EXPECT_EQ(dialog->defaultSuffix(), e.suffix);
        EXPECT_EQ(dialog->acceptMode(), e.mode);
        EXPECT_TRUE(dialog->testOption(QFileDialog::DontConfirmOverwrite));
    }
}

TEST(WindowPictures, ButtonPicturesAndWhereStartShowsThem) {
    App();
    const QImage start = ui::qt::StartPicture().toImage();
    ASSERT_EQ(start.size(), QSize(13, 13));
    EXPECT_EQ(qAlpha(start.pixel(0, 0)), 0);  // silver shows the button face
    EXPECT_EQ(start.pixel(6, 6), qRgb(18, 226, 107));
    EXPECT_EQ(start.pixel(0, 6), qRgb(0, 0, 0));
    EXPECT_EQ(start.pixel(12, 6), qRgb(0, 0, 0));  // the tip, pointing right

    const QImage stop = ui::qt::StopPicture().toImage();
    ASSERT_EQ(stop.size(), QSize(12, 13));
    EXPECT_EQ(stop.pixel(5, 5), qRgb(255, 0, 0));
    EXPECT_EQ(stop.pixel(0, 0), qRgb(128, 0, 0));
    EXPECT_EQ(stop.pixel(11, 6), qRgb(128, 128, 128));
    EXPECT_EQ(stop.pixel(6, 12), qRgb(128, 128, 128));
    EXPECT_EQ(qAlpha(stop.pixel(0, 12)), 0);
    EXPECT_EQ(qAlpha(stop.pixel(11, 0)), 0);

    // On the button, the arrow starts 10 pixels from the left edge (its first green column is
    // the picture's second) and the caption 8 pixels after the picture.
    Window w;
    const QImage button = Grab(w.form->Button1());
    int firstGreen = -1;
    int firstCaption = -1;
    for (int x = 0; x < button.width(); ++x) {
        for (int y = 3; y < button.height() - 3; ++y) {
            const QRgb c = button.pixel(x, y);
            if (firstGreen < 0 && c == qRgb(18, 226, 107)) {
                firstGreen = x;
            }
            if (firstCaption < 0 && x > 23 && x < 60 && qGray(c) < 96) {
                firstCaption = x;
            }
        }
    }
    EXPECT_EQ(firstGreen, 11);
    EXPECT_GE(firstCaption, 31);
    EXPECT_LE(firstCaption, 33);
}

TEST(WindowRobustness, AnyOrderOfClicksKeepsTheWindowConsistent) {
    InTempDir temp;
    Window w;
    ui::qt::TForm1& f = *w.form;
    std::mt19937 random(4);
    for (int step = 0; step < 3000; ++step) {
        w.prompts->answers = {std::nullopt};
        switch (random() % 10) {
            case 0:
                f.Button1()->click();
                break;
            case 1:
                f.Button2()->click();
                break;
            case 2:
                f.N1000()->trigger();
                break;
            case 3:
                f.N600()->trigger();
                break;
            case 4:
                f.AutoSave1()->trigger();
                break;
            case 5:
                if (f.Files()->menuAction()->isEnabled()) {
                    f.SaveGraphic2()->trigger();
                    f.LoadData1()->trigger();
                }
                break;
            default:
                if (f.Timer1()->isActive()) {
                    f.Timer1Timer();
                }
                break;
        }
        // Start and the timer never run together, and a run always leaves Stop usable.
        ASSERT_NE(f.Button1()->isEnabled(), f.Timer1()->isActive()) << step;
        ASSERT_EQ(f.ComboBox1()->isEnabled(), f.Button1()->isEnabled()) << step;
        ASSERT_TRUE(f.Button2()->isEnabled()) << step;
    }
    EXPECT_TRUE(w.prompts->errors.empty());
}

TEST(WindowReplay, ASavedRunLoadsBackOntoTheChart) {
    InTempDir temp;
    Window w;
    ui::qt::TForm1& f = *w.form;
    f.Button1Click();
    w.RunToEnd();
    const platform::Bitmap live = f.ChartPicture().bitmap;
    w.prompts->answers = {"run.dat"};
    f.SaveData1Click();

    Window other;
    ui::qt::TForm1& g = *other.form;
    other.prompts->answers = {"run.dat"};
    g.LoadData1()->trigger();
    EXPECT_EQ(g.Document(), f.Document());
    EXPECT_EQ(other.Panel(run::Panel::State), "Complete");
    EXPECT_EQ(other.Panel(run::Panel::BlocksRead), w.Panel(run::Panel::BlocksRead));
    EXPECT_EQ(g.State().MaxSpeed, f.State().MaxSpeed);
    // The same picture below the title: every speed of this disc is a whole number.
    for (int y = 14; y < live.Height(); ++y) {
        for (int x = 0; x < live.Width(); ++x) {
            ASSERT_EQ(g.ChartPicture().bitmap.Pixel(x, y), live.Pixel(x, y)) << x << "," << y;
        }
    }
    EXPECT_TRUE(other.prompts->sounds.empty());
    EXPECT_FALSE(g.SaveData1()->isEnabled());  // loading leaves the save items as they were
}

TEST(WindowReplay, ClicksDuringAReplayCannotChangeItsDocument) {
    InTempDir temp;
    fakes::WriteLongDataFile("long.dat");
    Window w;
    ui::qt::TForm1& f = *w.form;
    int passes = 0;
    w.prompts->onEvents = [&] {
        ++passes;
        w.prompts->answers = {"long.dat"};
        f.Button1()->click();
        f.LoadData1()->trigger();
        f.About1()->trigger();  // still allowed: it changes nothing of the run
        if (passes == 50) {
            f.close();
        }
    };
    w.prompts->answers = {"long.dat"};
    f.LoadData1()->trigger();

    EXPECT_EQ(passes, 50);                    // closing ended the replay at its next line
    EXPECT_EQ(w.prompts->asked.size(), 1u);   // Load Data was refused meanwhile
    EXPECT_TRUE(w.drive->ReadLog().empty());  // and so was Start
    EXPECT_FALSE(f.Timer1()->isActive());
    EXPECT_EQ(w.aboutShown, 50);
    EXPECT_EQ(f.State().BlockIndex, 101);  // the line drawn before the window closed
    EXPECT_NE(w.Panel(run::Panel::State), "Complete");
    EXPECT_TRUE(f.Button1()->isEnabled());  // given back after the replay
    EXPECT_TRUE(f.LoadData1()->isEnabled());
}

TEST(WindowParity, ScriptedRunsWriteWhatEveryFrontEndWrites) {
    const bool update = std::getenv(parity::kUpdateVariable) != nullptr;
    const std::filesystem::path kept = DISCOMETER_PARITY_DIR;
    for (const parity::Run& run : parity::kRuns) {
        SCOPED_TRACE(run.drive);
        InTempDir temp;
        App();
        auto ownPrompts = std::make_unique<fakes::FakePrompts>();
        fakes::FakePrompts& prompts = *ownPrompts;
        ui::qt::TForm1 f(platform::MakeNativeSystem(run.drive), std::move(ownPrompts));
        ASSERT_EQ(f.ComboBox1()->currentText().toStdString(), run.drive);
        f.Button1()->click();
        for (int ticks = 0; f.Timer1()->isActive() && ticks < 100000; ++ticks) {
            f.Timer1Timer();
        }
        ASSERT_EQ(f.StatusBar1()->PanelText(static_cast<int>(Panel::State)), "Complete");
        prompts.answers = {"run.bmp", "run.dat"};
        f.SaveGraphic2()->trigger();
        f.SaveData1()->trigger();
        const std::string dat = fixtures::ReadBytes("run.dat");
        const std::string bmp = fixtures::ReadBytes("run.bmp");
        ASSERT_FALSE(dat.empty());
        ASSERT_FALSE(bmp.empty());

        if (update) {
            std::filesystem::copy_file("run.dat", kept / run.dataFile,
                                       std::filesystem::copy_options::overwrite_existing);
            std::filesystem::copy_file("run.bmp", kept / run.pictureFile,
                                       std::filesystem::copy_options::overwrite_existing);
            continue;
        }
        // Made again with the variable set when the chart or the document changes on purpose.
        EXPECT_EQ(parity::LinesWithoutSystem(dat),
                  parity::LinesWithoutSystem(fixtures::ReadBytes(kept / run.dataFile)))
            << "set " << parity::kUpdateVariable << " to write them anew";
        EXPECT_EQ(parity::PictureDifference(bmp, fixtures::ReadBytes(kept / run.pictureFile)),
                  std::nullopt);
    }
    if (update) {
        GTEST_SKIP() << "wrote the files every front end must write into " << kept;
    }
}

TEST(WindowLargeVolumes, StatusPanelsHoldTheLongerNumbersAndACdKeepsItsWidths) {
    InTempDir temp;
    const auto write = [](const char* name, const std::string& size, const std::string& lines) {
        std::ofstream(name, std::ios::binary)
            << "[VolInfo]\r\nVolSize=" << size << "\r\n\r\n[TransferResults]\r\n1 4000\r\n"
            << lines;
    };
    write("bd.dat", "16777215", "16775 61523\r\n16777 123456\r\n");
    write("cd.dat", "333000", "331 7804\r\n");

    Window w;
    ui::qt::TForm1& f = *w.form;
    const ui::qt::TStatusBar& bar = *f.StatusBar1();
    const QRect classic[] = {bar.PanelRect(0), bar.PanelRect(1), bar.PanelRect(2), bar.PanelRect(3),
                             bar.PanelRect(4)};
    // Every text whole, in whatever font the bar ends up with.
    const auto everyTextFits = [&bar] {
        const QFontMetrics metrics(bar.font());
        for (int i = 0; i < ui::qt::TStatusBar::kPanels; ++i) {
            const QString text = bar.PanelText(i);
            // The frame and an indent of two pixels on either side.
            EXPECT_LE(metrics.horizontalAdvance(text), bar.PanelRect(i).width() - 6)
                << text.toStdString();
        }
        EXPECT_EQ(bar.PanelRect(4).right(), bar.width() - 1);
    };
    w.prompts->answers = {"bd.dat"};
    f.LoadData1()->trigger();
    EXPECT_EQ(w.Panel(Panel::BlocksRead), "Blocks Read : 16778");
    f.StatusBar1()->SetPanelText(static_cast<int>(Panel::BlocksError), "Blocks Error : 16777");
    everyTextFits();
    // A BD-50 read from an image as fast as memory goes.
    f.StatusBar1()->SetPanelText(static_cast<int>(Panel::SectorsTotal), "Sectors Total : 24438784");
    f.StatusBar1()->SetPanelText(static_cast<int>(Panel::Speed), "Transfer Speed Kb/s : 1600000");
    f.StatusBar1()->SetPanelText(static_cast<int>(Panel::State), "System Stopped");
    everyTextFits();

    w.prompts->answers = {"cd.dat"};
    f.LoadData1()->trigger();
    for (int i = 0; i < ui::qt::TStatusBar::kPanels; ++i) {
        EXPECT_EQ(bar.PanelRect(i), classic[i]) << i;
    }
    EXPECT_EQ(classic[1].left(), 105);
    EXPECT_EQ(classic[4].left(), 105 + 98 + 94 + 145);
    if (qEnvironmentVariableIsEmpty("DISCOMETER_TEST_FONTS")) {
        EXPECT_EQ(bar.font().pixelSize(), 11);  // the faces the layout was made in fit it
    }
    // A USB stick's volume is CD-sized, its speeds are not.
    f.StatusBar1()->SetPanelText(static_cast<int>(Panel::Speed), "Transfer Speed Kb/s : 98765");
    everyTextFits();
}

TEST(WindowLargeVolumes, ADriveThatReadsFasterThanAskedIsNotedOnceAtTheEnd) {
    platform::SimDiscParams disc = fakes::SmallDisc(40000);  // 8000 KB/s throughout
    disc.ignoresReadSpeed = true;
    Window w(disc);
    w.form->ReadSpeedItems()[6]->trigger();  // 16x
    w.form->Button1()->click();
    w.RunToEnd();
    EXPECT_EQ(w.prompts->messages,
              std::vector<std::string>{"Note: 16x asked (2400 KB/s), the drive read up to 8000 "
                                       "KB/s: the read speed was not honoured by the drive"});
}

TEST(WindowLargeVolumes, TheReadSpeedMenuHoldsTheSpeedsOfTheLoadedMedium) {
    App();
    ui::qt::TForm1 f(platform::MakeNativeSystem("sim-unpaced,sim-dvd-unpaced,sim-bd-unpaced"),
                     std::make_unique<fakes::FakePrompts>());
    const auto shown = [&f] {
        QStringList speeds;
        for (const QAction* item : f.ReadSpeedItems()) {
            if (item->isVisible()) {
                speeds << item->text() + (item->isChecked() ? "*" : "");
            }
        }
        return speeds.join(' ').toStdString();
    };
    f.ReadSpeedItems()[1]->trigger();  // 52x
    EXPECT_EQ(shown(), "Max 52x* 48x 40x 32x 24x 16x 8x 4x");
    f.ComboBox1()->setCurrentIndex(1);
    EXPECT_EQ(shown(), "Max* 16x 12x 8x 6x 4x 2x 1x") << "52x is no DVD speed: Max again";
    f.ReadSpeedItems()[9]->trigger();  // 8x
    f.ComboBox1()->setCurrentIndex(2);
    EXPECT_EQ(shown(), "Max 12x 10x 8x* 6x 4x 2x 1x") << "8x a Blu-ray disc has too";
    f.ComboBox1()->setCurrentIndex(0);
    EXPECT_EQ(shown(), "Max 52x 48x 40x 32x 24x 16x 8x* 4x");
}

TEST(WindowLargeVolumes, ReadSpeedMenuAndTheDrivesIdentity) {
    Window w(fakes::SmallDisc(40000));
    ui::qt::TForm1& f = *w.form;
    // The submenu holds the speeds the command line takes too, Max checked.
    ASSERT_EQ(f.ReadSpeedItems().size(), run::kReadSpeeds.size());
    for (std::size_t i = 0; i < run::kReadSpeeds.size(); ++i) {
        const QAction* item = f.ReadSpeedItems()[i];
        EXPECT_EQ(item->data().toInt(), run::kReadSpeeds[i]);
        EXPECT_EQ(item->text().toStdString(), run::ReadSpeedCaption(run::kReadSpeeds[i]));
        EXPECT_EQ(item->parent(), f.ReadSpeed1());
    }
    EXPECT_EQ(f.ReadSpeedChoice(), 0);
    f.ReadSpeedItems()[6]->trigger();  // 16x
    EXPECT_EQ(f.ReadSpeedChoice(), 16);
    int checkedItems = 0;
    for (const QAction* item : f.ReadSpeedItems()) {
        checkedItems += item->isChecked() ? 1 : 0;
    }
    EXPECT_EQ(checkedItems, 1);
    f.ReadSpeedItems()[6]->trigger();  // a second click keeps the choice
    EXPECT_TRUE(f.ReadSpeedItems()[6]->isChecked());

    f.Button1()->click();
    EXPECT_EQ(w.drive->SpeedCap(), 2400.0);
    w.RunToEnd();
    EXPECT_EQ(w.drive->SpeedCap(), std::nullopt);
    EXPECT_LE(f.State().MaxSpeed, 2400.0);
    EXPECT_TRUE(w.prompts->messages.empty()) << "a drive that follows the request is not noted";

    // The list's tooltip names the drive shown.
    App();
    auto prompts = std::make_unique<fakes::FakePrompts>();
    InTempDir temp;
    const std::string image = (std::filesystem::current_path() / "a-long-image-name.iso").string();
    std::ofstream(image, std::ios::binary) << std::string(2048 * 20, '\0');
    ui::qt::TForm1 routed(platform::MakeNativeSystem("sim-dvd-unpaced,sim," + image),
                          std::move(prompts));
    QComboBox& list = *routed.ComboBox1();
    EXPECT_EQ(list.toolTip(), "sim-dvd-unpaced\nDiscometer Simulated DVD-ROM 16x SIM1  DVD-ROM");
    list.setCurrentIndex(1);
    EXPECT_EQ(list.toolTip(), "sim\nDiscometer Simulated CD-ROM 52x SIM1  CD-ROM");
    // Each entry in full as its tip; an image has no identity. The list opens as wide as its
    // longest entry.
    ASSERT_EQ(list.count(), 3);
    EXPECT_EQ(list.itemData(2, Qt::ToolTipRole).toString().toStdString(), image);
    EXPECT_EQ(list.itemData(0, Qt::ToolTipRole).toString(),
              "sim-dvd-unpaced\nDiscometer Simulated DVD-ROM 16x SIM1  DVD-ROM");
    EXPECT_GE(list.view()->minimumWidth(),
              list.view()->fontMetrics().horizontalAdvance(QString::fromStdString(image)));
}
