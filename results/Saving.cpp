#include "results/Saving.h"

#include "platform/BmpFile.h"
#include "platform/Files.h"
#include "results/ResultsDocument.h"
#include "results/VolumeLabel.h"

namespace results {

namespace {

bool SavePicture(run::RunContext& ctx, const std::string& path) {
    const std::error_code error = platform::WriteBmpFile(path, ctx.chart.bitmap);
    if (error) {
        ctx.prompts.ShowCreateError(path, error);
    }
    return !error;
}

bool SaveList(run::RunContext& ctx, const std::string& path) {
    const std::error_code error = WriteDocument(ctx.dataList, path);
    if (error) {
        ctx.prompts.ShowCreateError(path, error);
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

bool AutoSave(run::RunContext& ctx) {
    const std::string base = AutoSaveBaseName(ctx.state.VolumeLabel);
    return SavePicture(ctx, base + ".bmp") && SaveList(ctx, base + ".dat");
}

void SaveGraphic(run::RunContext& ctx) {
    if (const auto path = ctx.prompts.AskFileName(run::FileDialog::SaveGraphic)) {
        SavePicture(ctx, *path);
    }
}

void SaveData(run::RunContext& ctx) {
    if (const auto path = ctx.prompts.AskFileName(run::FileDialog::SaveData)) {
        SaveList(ctx, *path);
    }
}

void ToggleAutoSave(run::RunWindow& window) {
    window.SetChecked(run::MenuMark::AutoSave, !window.IsChecked(run::MenuMark::AutoSave));
}

}  // namespace results
