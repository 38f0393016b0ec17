#include "ui/About.h"

#include <QDesktopServices>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <memory>

#include "ui/forms/AboutForm.h"
#include "ui/forms/HelpText.h"

namespace ui {

QUrl HomePageUrl() {
    const QString installed = QStringLiteral(DISCOMETER_INSTALLED_HOME_PAGE);
    if (QFile::exists(installed)) {
        return QUrl::fromLocalFile(installed);
    }
    return QUrl::fromLocalFile(QStringLiteral(DISCOMETER_SOURCE_HOME_PAGE));
}

}  // namespace ui

namespace {

int DialogResultOf(ui::forms::ModalResult result) {
    return result == ui::forms::ModalResult::Ok ? QDialog::Accepted : QDialog::Rejected;
}

}  // namespace

TAboutDialog::TAboutDialog(QWidget* parent, std::function<void(const QUrl&)> openUrl)
    : QDialog(parent), openUrl_(std::move(openUrl)) {
    const ui::forms::FormSpec& form = ui::forms::AboutForm();
    setObjectName(ui::FromUtf8(form.name));
    setWindowTitle(ui::FromUtf8(form.caption));
    setWindowFlags(ui::WindowFlagsOf(form));
    setFixedSize(form.clientWidth, form.clientHeight);
    ui::ApplyFont(this, form.font);  // only the controls without a font of their own keep it

    const ui::ControlMap controls = ui::BuildFormControls(form, this, {});
    Panel1 = ui::Named<ui::TPanel>(controls, "Panel1");
    ProgramIcon = ui::Named<QLabel>(controls, "ProgramIcon");
    ProductName = ui::Named<QLabel>(controls, "ProductName");
    Version = ui::Named<QLabel>(controls, "Version");
    Copyright = ui::Named<QLabel>(controls, "Copyright");
    TM = ui::Named<QLabel>(controls, "TM");
    Address = ui::Named<ui::ClickLabel>(controls, "Address");
    AboutMemo = ui::Named<QPlainTextEdit>(controls, "AboutMemo");
    OKButton = ui::Named<QPushButton>(controls, "OKButton");

    for (const ui::forms::ControlSpec& control : form.controls) {
        if (control.command == ui::forms::Command::OpenHomePage) {
            connect(ui::Named<ui::ClickLabel>(controls, control.name), &ui::ClickLabel::clicked,
                    this, &TAboutDialog::AddressClick);
        }
        if (control.modalResult != ui::forms::ModalResult::None) {
            const int result = DialogResultOf(control.modalResult);
            connect(ui::Named<QPushButton>(controls, control.name), &QPushButton::clicked, this,
                    [this, result] { done(result); });
        }
        if (control.isCancel) {
            cancelResult_ = DialogResultOf(control.modalResult);
        }
    }
    ui::FocusFirst(form, controls);
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
    done(cancelResult_);
}

void ShowAboutDialog(QWidget* parent, std::function<void(const QUrl&)> openUrl) {
    const std::string help = ui::forms::HelpText();
    // Freed when it closes, and also when showing it fails.
    auto dialog = std::make_unique<TAboutDialog>(parent, std::move(openUrl));
    dialog->AboutMemo->setPlainText(
        ui::FromUtf8(help).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    dialog->exec();
}
