#pragma once

#include <QMainWindow>
#include <functional>
#include <map>
#include <memory>
#include <optional>

#include "engine/RunContext.h"
#include "engine/RunState.h"
#include "engine/RunWindow.h"
#include "platform/System.h"
#include "results/ResultsDocument.h"
#include "ui/FormBuilder.h"

class QAction;
class QApplication;
class QComboBox;
class QLabel;
class QMenu;
class QTimer;

namespace ui {

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
// bar, the menus and the timer that drives a run. It owns the run state, the results document
// and the chart for the program's whole life; the run logic itself lives in the engine, and
// the handlers here only hand it the window.
class TForm1 : public QMainWindow, public engine::RunWindow {
    Q_OBJECT

  public:
    // Creating the window runs FormCreate; check StartUpStatus() before showing it.
    TForm1(std::unique_ptr<platform::System> system, std::unique_ptr<engine::UserPrompts> prompts,
           QWidget* parent = nullptr);
    ~TForm1() override;

    // Shows the about box; tests put their own in its place, as the box is modal.
    void SetAboutBox(std::function<void(QWidget* parent)> show) { showAbout_ = std::move(show); }

    // The exit status when start-up found that the program cannot run, else nothing.
    std::optional<int> StartUpStatus() const { return startUpStatus_; }

    // Event handlers.
    void Button1Click();
    void Button2Click();
    void Timer1Timer();
    void SaveGraphic1Click();
    void SaveData1Click();
    void LoadData1Click();
    void AutoSave1Click();
    void N1000Click();
    void N800Click();
    void N600Click();
    void About1Click();

    // What the run works on.
    engine::RunContext& Context() { return ctx_; }
    engine::RunState& State() { return state_; }
    results::DataList& Document() { return dataList_; }
    engine::Chart& ChartPicture() { return chart_; }
    engine::UserPrompts& Prompts() { return *prompts_; }

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
    QAction* AutoSave1() const { return autoSave1_; }
    QAction* N1() const { return n1_; }
    QAction* N1000() const { return n1000_; }
    QAction* N800() const { return n800_; }
    QAction* N600() const { return n600_; }
    QAction* About1() const { return about1_; }
    QTimer* Timer1() const { return timer1_; }

    // What a run shows.
    void SetPanelText(engine::Panel panel, std::string_view text) override;
    void SetGaugeProgress(std::int32_t value) override;
    void SetGaugeMaxValue(std::int32_t value) override;
    void SetGaugeColors(platform::Color back, platform::Color fore) override;
    void SetEnabled(engine::Control control, bool enabled) override;
    bool IsEnabled(engine::Control control) const override;
    void SetFocus(engine::Control control) override;
    bool IsChecked(engine::MenuMark item) const override;
    void SetChecked(engine::MenuMark item, bool checked) override;
    void SetTimerEnabled(bool enabled) override;
    void SetDriveList(const std::vector<std::string>& items) override;
    std::string DriveListText() const override;
    void ChartChanged() override;
    bool Closing() const override { return closing_; }

  protected:
    // A run in progress simply stops: the timer ends and the drive is let go.
    void closeEvent(QCloseEvent* event) override;

  private:
    void FormCreate();
    void BuildControls();
    void BuildMenus();
    void ConnectEvents();
    void CentreOnScreen();
    void StopRunNow();
    QWidget* ControlWidget(engine::Control control) const;
    QAction* ControlAction(engine::Control control) const;
    // Runs a handler for Qt; an error that escapes it goes to the error box, not to Qt.
    template <typename Handler>
    void Guarded(Handler handler);

    std::unique_ptr<platform::System> system_;
    std::unique_ptr<engine::UserPrompts> prompts_;
    engine::RunState state_;
    results::DataList dataList_;
    engine::Chart chart_;
    engine::RunContext ctx_;
    std::optional<int> startUpStatus_;
    std::function<void(QWidget* parent)> showAbout_;
    bool closing_ = false;

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
    QAction* autoSave1_ = nullptr;
    QAction* n1_ = nullptr;
    QAction* n1000_ = nullptr;
    QAction* n800_ = nullptr;
    QAction* n600_ = nullptr;
    QAction* about1_ = nullptr;
    QTimer* timer1_ = nullptr;

    // What the run logic's names stand for in this window.
    std::map<engine::Control, QWidget*> controlWidgets_;
    std::map<engine::Control, QAction*> controlActions_;
    std::map<engine::MenuMark, QAction*> markActions_;
};

}  // namespace ui
