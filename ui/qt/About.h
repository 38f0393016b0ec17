#pragma once

#include <QDialog>
#include <QLabel>
#include <QUrl>
#include <functional>

#include "ui/qt/Bevels.h"
#include "ui/qt/FormBuilder.h"

class QPlainTextEdit;
class QPushButton;

namespace ui::qt {

// Where the program's home page is: the documentation installed with it, or the copy in
// the source tree when the program runs from its build folder.
QUrl HomePageUrl();

}  // namespace ui::qt

// The about box: product name, version, notices, the home page link and the help text.
class TAboutDialog : public QDialog {
    Q_OBJECT
  public:
    // openUrl opens an address with the desktop's handler; tests put their own in its place.
    explicit TAboutDialog(QWidget* parent = nullptr,
                          std::function<void(const QUrl&)> openUrl = nullptr);

    ui::qt::TPanel* Panel1 = nullptr;
    QLabel* ProgramIcon = nullptr;
    QLabel* ProductName = nullptr;
    QLabel* Version = nullptr;
    QLabel* Copyright = nullptr;
    QLabel* TM = nullptr;
    ui::qt::ClickLabel* Address = nullptr;
    QPlainTextEdit* AboutMemo = nullptr;
    QPushButton* OKButton = nullptr;

  public slots:
    void AddressClick();
    // Esc and the close box press the cancel button, which ends the dialog like OK: it asks
    // nothing.
    void reject() override;

  private:
    std::function<void(const QUrl&)> openUrl_;
    int cancelResult_ = QDialog::Rejected;
};

// Shows the about box modally with the help text and frees it when it closes.
void ShowAboutDialog(QWidget* parent, std::function<void(const QUrl&)> openUrl = nullptr);
