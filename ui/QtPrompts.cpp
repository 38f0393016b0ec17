#include "ui/QtPrompts.h"

#include <QApplication>
#include <QFile>
#include <QMessageBox>

namespace ui {

namespace {

struct DialogSetup {
    const char* title;
    QFileDialog::AcceptMode mode;
    const char* filter;
    const char* suffix;
};

DialogSetup SetupOf(engine::FileDialog which) {
    switch (which) {
        case engine::FileDialog::SaveGraphic:
            return {"Save Graphic", QFileDialog::AcceptSave, "Bit Map Files (*.bmp)", "bmp"};
        case engine::FileDialog::SaveData:
            return {"Save Data", QFileDialog::AcceptSave, "Data Files (*.dat)", "dat"};
        case engine::FileDialog::LoadData:
            break;
    }
    return {"Load Data", QFileDialog::AcceptOpen, "Data Files (*.dat)", "dat"};
}

QString FromLocal(std::string_view text) {
    return QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size()));
}

void ShowBox(QMessageBox::Icon icon, std::string_view text) {
    QMessageBox box(icon, QApplication::applicationDisplayName(), FromLocal(text), QMessageBox::Ok,
                    QApplication::activeWindow());
    box.exec();
}

}  // namespace

std::unique_ptr<QFileDialog> MakeFileDialog(engine::FileDialog which, QWidget* parent) {
    const DialogSetup setup = SetupOf(which);
    auto dialog = std::make_unique<QFileDialog>(parent, QString::fromLatin1(setup.title));
    dialog->setAcceptMode(setup.mode);
    dialog->setFileMode(setup.mode == QFileDialog::AcceptSave ? QFileDialog::AnyFile
                                                              : QFileDialog::ExistingFile);
    dialog->setNameFilters({QString::fromLatin1(setup.filter), QStringLiteral("All Files (*)")});
    dialog->setDefaultSuffix(QString::fromLatin1(setup.suffix));
    dialog->setOption(QFileDialog::DontConfirmOverwrite);
    return dialog;
}

void QtPrompts::Sound_Done() {
    player_->Play(platform::SoundCue::Done);
}

void QtPrompts::Sound_Error() {
    player_->Play(platform::SoundCue::Error);
}

void QtPrompts::ShowMessage(std::string_view text) {
    ShowBox(QMessageBox::NoIcon, text);
}

void QtPrompts::ShowError(std::string_view text) {
    ShowBox(QMessageBox::Critical, text);
}

std::optional<std::string> QtPrompts::AskFileName(engine::FileDialog which) {
    const auto dialog = MakeFileDialog(which, QApplication::activeWindow());
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return QFile::encodeName(dialog->selectedFiles().constFirst()).toStdString();
}

void QtPrompts::ProcessPendingEvents() {
    QCoreApplication::processEvents();
}

}  // namespace ui
