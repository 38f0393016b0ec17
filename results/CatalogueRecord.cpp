#include "results/CatalogueRecord.h"

#include <cmath>

#include "results/JsonText.h"
#include "results/NumberText.h"

namespace results {

namespace {

std::optional<Verdict> VerdictByName(std::string_view name) {
    for (const Verdict v : {Verdict::Same, Verdict::Worse, Verdict::Better}) {
        if (VerdictName(v) == name) {
            return v;
        }
    }
    return std::nullopt;
}

std::string OrNull(const std::optional<std::string>& text) {
    return text ? JsonString(*text) : "null";
}

}  // namespace

std::string SideFileText(const SideRecord& r) {
    const auto member = [](std::string_view name, const std::string& value, bool last = false) {
        return "  " + JsonString(name) + ": " + value + (last ? "\n" : ",\n");
    };
    std::string text = "{\n";
    text += member("format", JsonString(kSideFileFormat));
    text += member("format_version", std::to_string(kSideFileVersion));
    text += member("time", JsonString(r.time));
    text += member("disc_id", JsonString(r.discId));
    text += member("label", JsonString(r.label));
    text += member("volume_size", TruncToText(r.volumeSize));
    text += member("drive", JsonString(r.drive));
    text += member("vendor", JsonString(r.identity.vendor));
    text += member("model", JsonString(r.identity.model));
    text += member("revision", JsonString(r.identity.revision));
    text += member("medium", JsonString(r.identity.medium));
    text +=
        member("read_speed", r.readSpeed == 0 ? JsonString("max") : std::to_string(r.readSpeed));
    text += member("read_speed_taken", r.readSpeedTaken ? "true" : "false");
    text += member("sequencer", std::to_string(r.sequencer));
    text += member("ended", JsonString(r.ended));
    text += member("program", JsonString(r.program));
    text += member("version", JsonString(r.version));
    text += member("host", JsonString(r.host));
    text += member("compared_with", OrNull(r.comparedWith));
    text += member("verdict", r.verdict ? JsonString(VerdictName(*r.verdict)) : std::string("null"),
                   true);
    return text + "}\n";
}

std::optional<SideFacts> ReadSideFacts(std::string_view text, std::string_view discId) {
    const auto object = ParseJsonObject(text);
    if (!object || JsonText(*object, "format") != kSideFileFormat ||
        JsonText(*object, "disc_id") != discId) {
        return std::nullopt;
    }
    const auto label = JsonText(*object, "label");
    const auto size = JsonNumber(*object, "volume_size");
    if (!label || !size || !(*size >= 0) || *size != std::floor(*size)) {
        return std::nullopt;
    }
    SideFacts facts{*label, *size, std::nullopt};
    if (const auto verdict = JsonText(*object, "verdict")) {
        facts.verdict = VerdictByName(*verdict);
        if (!facts.verdict) {
            return std::nullopt;
        }
    }
    return facts;
}

}  // namespace results
