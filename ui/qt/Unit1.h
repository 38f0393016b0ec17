#pragma once

#include <QMainWindow>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "platform/System.h"
#include "run/RunWindow.h"
#include "ui/forms/BackgroundReads.h"
#include "ui/forms/MainFormCore.h"
#include "ui/qt/FormBuilder.h"
#include "ui/qt/PrecisePause.h"

class QAction;
class QApplication;
class QComboBox;
class QLabel;
class QMenu;
class QTimer;

namespace ui::qt {

class BitmapView;
class TBevel;
class TGauge;
class TPanel;
class TPictureButton;
class TStatusBar;

// The classic look the window is laid out for: Qt's "Windows" style with its face colours and
// the window's font, an 8-point (11 pixel) sans serif. Call before the window is made.
void UseClassicLook(QApplication& app);

// The main window: the chart, the progress gauge, the drive list, Start and Stop, the status
// bar, the menus and the timer that drives a run, in Qt. What it runs on and the handlers
// that hand the run to the engine come from MainFormCore.
class TForm1 : public QMainWindow, public forms::MainFormCore {
    Q_OBJECT

  public:
    // Creating the window runs FormCreate; check StartUpStatus() before showing it.
    TForm1(std::unique_ptr<platform::System> system, std::unique_ptr<run::UserPrompts> prompts,
           QWidget* parent = nullptr);
    ~TForm1() override;

    // Shows the about box; tests put their own in its place, as the box is modal.
    void SetAboutBox(std::function<void(QWidget* parent)> show) { showAbout_ = std::move(show); }

    // Event handlers of this window's own.
    void About1Click() override;
    // The Read Speed items: the chosen one takes the check mark.
    void ReadSpeedClick(QAction* item);

    // The controls.
    QWidget* ClientArea() const { return client_; }
    TBevel* Bevel1() const { return bevel1_; }
    TBevel* Bevel2() const { return bevel2_; }
    TBevel* Bevel3() const { return bevel3_; }
    BitmapView* Image1() const { return image1_; }
    TPanel* Panel1() const { return panel1_; }
    TPanel* Panel2() const { return panel2_; }
    TPanel* Panel3() const { return panel3_; }
    QLabel* Label1() const { return label1_; }
    QLabel* Label2() const { return label2_; }
    TGauge* Gauge1() const { return gauge1_; }
    QComboBox* ComboBox1() const { return comboBox1_; }
    TPictureButton* Button1() const { return button1_; }
    TPictureButton* Button2() const { return button2_; }
    TStatusBar* StatusBar1() const { return statusBar1_; }
    QMenu* Files() const { return files_; }
    QMenu* Options1() const { return options1_; }
    QAction* SaveGraphic2() const { return saveGraphic2_; }
    QAction* SaveData1() const { return saveData1_; }
    QAction* LoadData1() const { return loadData1_; }
    QAction* CompareWith1() const { return compareWith1_; }
    QAction* AutoSave1() const { return autoSave1_; }
    QAction* N1() const { return n1_; }
    QAction* N1000() const { return n1000_; }
    QAction* N800() const { return n800_; }
    QAction* N600() const { return n600_; }
    QAction* N2() const { return n2_; }
    QMenu* ReadSpeed1() const { return readSpeed1_; }
    // The items of the Read Speed menu, in the description's order.
    const std::vector<QAction*>& ReadSpeedItems() const { return readSpeedItems_; }
    QAction* About1() const { return about1_; }
    QTimer* Timer1() const { return timer1_; }
    PrecisePause* Pause() const { return pause_; }
    // Shows "Reading..." with the block number once a read has been out a second.
    QTimer* ReadingNote() const { return readingNote_; }
    bool ReadOut() const { return reads_->ReadOut(); }

    // What a run shows.
    void SetPanelText(run::Panel panel, std::string_view text) override;
    void SetStatusNote(std::string_view text) override;
    void SetPanelWidths(run::PanelWidths widths) override;
    void SetGaugeProgress(std::int32_t value) override;
    void SetGaugeMaxValue(std::int32_t value) override;
    void SetGaugeColors(platform::Color back, platform::Color fore) override;
    void SetEnabled(run::Control control, bool enabled) override;
    bool IsEnabled(run::Control control) const override;
    void SetFocus(run::Control control) override;
    bool IsChecked(run::MenuMark item) const override;
    void SetChecked(run::MenuMark item, bool checked) override;
    std::int32_t ReadSpeedChoice() const override;
    void SetTimerEnabled(bool enabled) override;
    void SetDriveList(const std::vector<std::string>& items) override;
    std::string DriveListText() const override;
    void ChartChanged() override;
    bool Closing() const override { return closing_; }

  protected:
    // A run in progress simply stops: the timer ends and the drive is let go.
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void FormCreate();
    void BuildControls();
    void BuildMenus();
    void AddMenuItems(QMenu* menu, std::span<const forms::MenuItemSpec> items);
    void ConnectEvents();
    void CentreOnScreen();
    void StopRunNow();
    // Runs the window's events until the read that is out comes back; no command but Stop is
    // taken meanwhile, and a close waits for the read.
    void WaitForRead(const std::function<bool()>& done);
    void ShowReadingNote();
    // The drive list's tooltip: what the system knows of the drive shown.
    void ShowDriveIdentity();
    // A drive list entry in full, and on a second line the drive's identity where it has one.
    QString DriveTip(const std::string& entry, const platform::DriveIdentity& identity);
    // The Read Speed items of these speeds alone; a choice not among them goes back to Max.
    void ShowReadSpeeds(const std::vector<std::int32_t>& speeds);
    QWidget* ControlWidget(run::Control control) const;
    QAction* ControlAction(run::Control control) const;

    std::function<void(QWidget* parent)> showAbout_;
    bool closing_ = false;
    forms::BackgroundReadSystem* reads_ = nullptr;  // the system the window runs on
    QTimer* readingNote_ = nullptr;
    std::optional<QString> stateBeforeNote_;  // the state panel's text while the note shows
    bool closeWhenReadBack_ = false;

    QWidget* client_ = nullptr;
    ControlMap controls_;
    TBevel* bevel1_ = nullptr;
    TBevel* bevel2_ = nullptr;
    TBevel* bevel3_ = nullptr;
    BitmapView* image1_ = nullptr;
    TPanel* panel1_ = nullptr;
    TPanel* panel2_ = nullptr;
    TPanel* panel3_ = nullptr;
    QLabel* label1_ = nullptr;
    QLabel* label2_ = nullptr;
    TGauge* gauge1_ = nullptr;
    QComboBox* comboBox1_ = nullptr;
    TPictureButton* button1_ = nullptr;
    TPictureButton* button2_ = nullptr;
    TStatusBar* statusBar1_ = nullptr;
    QMenu* files_ = nullptr;
    QMenu* options1_ = nullptr;
    QAction* saveGraphic2_ = nullptr;
    QAction* saveData1_ = nullptr;
    QAction* loadData1_ = nullptr;
    QAction* compareWith1_ = nullptr;
    QAction* autoSave1_ = nullptr;
    QAction* n1_ = nullptr;
    QAction* n1000_ = nullptr;
    QAction* n800_ = nullptr;
    QAction* n600_ = nullptr;
    QAction* n2_ = nullptr;
    QMenu* readSpeed1_ = nullptr;
    std::vector<QAction*> readSpeedItems_;
    QAction* about1_ = nullptr;
    QTimer* timer1_ = nullptr;
    PrecisePause* pause_ = nullptr;  // Timer1's pauses, kept to the millisecond

    // What the run logic's names stand for in this window.
    std::map<run::Control, QWidget*> controlWidgets_;
    std::map<run::Control, QAction*> controlActions_;
    std::map<run::MenuMark, QAction*> markActions_;
};

}  // namespace ui::qt
