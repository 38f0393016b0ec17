#include "ui/qt/QtPrompts.h"

#include <QApplication>
#include <QFile>
#include <QMessageBox>

#include "ui/forms/MainForm.h"
#include "ui/qt/FormBuilder.h"

namespace ui::qt {

namespace {

QString FromLocal(std::string_view text) {
    return QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size()));
}

// The boxes carry the program's title.
void ShowBox(QMessageBox::Icon icon, std::string_view text) {
    QMessageBox box(icon, FromUtf8(forms::MainForm().applicationTitle), FromLocal(text),
                    QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}

// A filter as Qt takes it: the descriptions, whose patterns in brackets Qt reads. "*.*" means
// every file on Windows but only names with a dot here.
QStringList NameFilters(std::string_view filter) {
    QStringList filters;
    for (const forms::FilterPair& pair : forms::FilterPairs(filter)) {
        QString description = FromUtf8(pair.description);
        if (pair.pattern == "*.*") {
            description.replace(QStringLiteral("*.*"), QStringLiteral("*"));
        }
        filters.append(description);
    }
    return filters;
}

}  // namespace

std::unique_ptr<QFileDialog> MakeFileDialog(run::FileDialog which, QWidget* parent) {
    const forms::FileDialogSpec& spec = forms::FileDialogOf(which);
    const bool save = spec.kind == forms::FileDialogKind::Save;
    auto dialog = std::make_unique<QFileDialog>(parent, FromUtf8(spec.title));
    dialog->setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    // Any name, for Load Data too: the dialog adds the default extension to a name typed
    // without one, and the program then finds the file the user meant (LoadDataPath).
    dialog->setFileMode(QFileDialog::AnyFile);
    dialog->setNameFilters(NameFilters(spec.filter));
    dialog->setDefaultSuffix(FromUtf8(spec.defaultExtension));
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

std::optional<std::string> QtPrompts::AskFileName(run::FileDialog which) {
    const auto dialog = MakeFileDialog(which, QApplication::activeWindow());
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return QFile::encodeName(dialog->selectedFiles().constFirst()).toStdString();
}

void QtPrompts::ProcessPendingEvents() {
    QCoreApplication::processEvents();
}

}  // namespace ui::qt
