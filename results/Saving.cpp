#include "results/Saving.h"

#include "platform/BmpFile.h"
#include "platform/Files.h"
#include "results/ResultsDocument.h"

namespace results {

namespace {

bool SavePicture(engine::RunContext& ctx, const std::string& path) {
    if (platform::SaveBmpFile(path, ctx.chart.bitmap)) {
        return true;
    }
    ctx.prompts.ShowError("Cannot create file " + path);
    return false;
}

bool SaveList(engine::RunContext& ctx, const std::string& path) {
    if (SaveDocument(ctx.dataList, path)) {
        return true;
    }
    ctx.prompts.ShowError("Cannot create file " + path);
    return false;
}

}  // namespace

std::string AutoSaveBaseName(std::string_view volumeLabel) {
    std::string name(volumeLabel);
    if (name == "." || name == "..") {
        return std::string(name.size(), '_');
    }
    for (char& c : name) {
        if (!platform::FileNameMayHold(c)) {
            c = '_';
        }
    }
    if (platform::IsDeviceFileName(name)) {
        name = "_" + name;
    }
    return name;
}

bool AutoSave(engine::RunContext& ctx) {
    const std::string base = AutoSaveBaseName(ctx.state.VolumeLabel);
    return SavePicture(ctx, base + ".bmp") && SaveList(ctx, base + ".dat");
}

void SaveGraphic(engine::RunContext& ctx) {
    if (const auto path = ctx.prompts.AskFileName(engine::FileDialog::SaveGraphic)) {
        SavePicture(ctx, *path);
    }
}

void SaveData(engine::RunContext& ctx) {
    if (const auto path = ctx.prompts.AskFileName(engine::FileDialog::SaveData)) {
        SaveList(ctx, *path);
    }
}

void ToggleAutoSave(engine::RunWindow& window) {
    window.SetChecked(engine::MenuMark::AutoSave, !window.IsChecked(engine::MenuMark::AutoSave));
}

}  // namespace results
