#include "ui/qt/About.h"

#include <QDesktopServices>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <memory>

#include "ui/forms/AboutForm.h"
#include "ui/forms/HelpText.h"

namespace ui::qt {

QUrl HomePageUrl() {
    const QString installed = QStringLiteral(DISCOMETER_INSTALLED_HOME_PAGE);
    if (QFile::exists(installed)) {
        return QUrl::fromLocalFile(installed);
    }
    return QUrl::fromLocalFile(QStringLiteral(DISCOMETER_SOURCE_HOME_PAGE));
}

}  // namespace ui::qt

namespace {

int DialogResultOf(ui::forms::ModalResult result) {
    return result == ui::forms::ModalResult::Ok ? QDialog::Accepted : QDialog::Rejected;
}

}  // namespace

TAboutDialog::TAboutDialog(QWidget* parent, std::function<void(const QUrl&)> openUrl)
    : QDialog(parent), openUrl_(std::move(openUrl)) {
    const ui::forms::FormSpec& form = ui::forms::AboutForm();
    setObjectName(ui::qt::FromUtf8(form.name));
    setWindowTitle(ui::qt::FromUtf8(form.caption));
    setWindowFlags(ui::qt::WindowFlagsOf(form));
    setFixedSize(form.clientWidth, form.clientHeight);
    ui::qt::ApplyFont(this, form.font);  // only the controls without a font of their own keep it

    const ui::qt::ControlMap controls = ui::qt::BuildFormControls(form, this, {});
    Panel1 = ui::qt::Named<ui::qt::TPanel>(controls, "Panel1");
    ProgramIcon = ui::qt::Named<QLabel>(controls, "ProgramIcon");
    ProductName = ui::qt::Named<QLabel>(controls, "ProductName");
    Version = ui::qt::Named<QLabel>(controls, "Version");
    Copyright = ui::qt::Named<QLabel>(controls, "Copyright");
    TM = ui::qt::Named<QLabel>(controls, "TM");
    Address = ui::qt::Named<ui::qt::ClickLabel>(controls, "Address");
    AboutMemo = ui::qt::Named<QPlainTextEdit>(controls, "AboutMemo");
    OKButton = ui::qt::Named<QPushButton>(controls, "OKButton");

    for (const ui::forms::ControlSpec& control : form.controls) {
        if (control.command == ui::forms::Command::OpenHomePage) {
            connect(ui::qt::Named<ui::qt::ClickLabel>(controls, control.name),
                    &ui::qt::ClickLabel::clicked, this, &TAboutDialog::AddressClick);
        }
        if (control.modalResult != ui::forms::ModalResult::None) {
            const int result = DialogResultOf(control.modalResult);
            connect(ui::qt::Named<QPushButton>(controls, control.name), &QPushButton::clicked, this,
                    [this, result] { done(result); });
        }
        if (control.isCancel) {
            cancelResult_ = DialogResultOf(control.modalResult);
        }
    }
    ui::qt::FocusFirst(form, controls);
}

void TAboutDialog::AddressClick() {
    const QUrl url = ui::qt::HomePageUrl();
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
        ui::qt::FromUtf8(help).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    dialog->exec();
}
