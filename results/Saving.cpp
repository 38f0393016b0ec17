#include "results/Saving.h"

#include <filesystem>

#include "platform/BmpFile.h"
#include "platform/Files.h"
#include "results/ResultsDocument.h"
#include "results/VolumeLabel.h"

namespace results {

namespace {

std::error_code WritePicture(run::RunContext& ctx, const std::string& path) {
    return platform::WriteBmpFile(path, ctx.chart.bitmap);
}

std::error_code WriteList(run::RunContext& ctx, const std::string& path) {
    return WriteDocument(ctx.dataList, path);
}

using Writer = std::error_code (*)(run::RunContext&, const std::string&);

// Writes the file the user chose; shows why when it cannot.
bool SaveChosen(run::RunContext& ctx, const std::string& path, Writer write) {
    const std::error_code error = write(ctx, path);
    if (error) {
        ctx.prompts.ShowCreateError(path, error);
    }
    return !error;
}

// Writes a file of AutoSave's; one that cannot be written is named with its folder, which
// the user never chose and may not know.
bool SaveAutomatically(run::RunContext& ctx, const std::string& name, Writer write) {
    const std::error_code error = write(ctx, name);
    if (error) {
        ctx.prompts.ShowCreateError(InCurrentFolder(name), error);
    }
    return !error;
}

}  // namespace

std::string AutoSaveBaseName(std::string_view volumeLabel) {
    std::string name(WithoutCutCharacter(volumeLabel));
    if (name == "." || name == "..") {
        return std::string(name.size(), '_');
    }
    for (char& c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F || !platform::FileNameMayHold(c)) {
            c = '_';
        }
    }
    if (platform::IsDeviceFileName(name)) {
        name = "_" + name;
    }
    return name;
}

std::string InCurrentFolder(const std::string& name) {
    std::error_code unknown;
    const std::filesystem::path full = std::filesystem::absolute(name, unknown);
    return unknown ? name : full.string();
}

bool AutoSave(run::RunContext& ctx) {
    const std::string base = AutoSaveBaseName(ctx.state.VolumeLabel);
    // Each file on its own: a disk too full for the picture may still take the data.
    const bool picture = SaveAutomatically(ctx, base + ".bmp", WritePicture);
    const bool list = SaveAutomatically(ctx, base + ".dat", WriteList);
    return picture && list;
}

void SaveGraphic(run::RunContext& ctx) {
    if (const auto path = ctx.prompts.AskFileName(run::FileDialog::SaveGraphic)) {
        SaveChosen(ctx, *path, WritePicture);
    }
}

void SaveData(run::RunContext& ctx) {
    if (const auto path = ctx.prompts.AskFileName(run::FileDialog::SaveData)) {
        SaveChosen(ctx, *path, WriteList);
    }
}

void ToggleAutoSave(run::RunWindow& window) {
    window.SetChecked(run::MenuMark::AutoSave, !window.IsChecked(run::MenuMark::AutoSave));
}

}  // namespace results
