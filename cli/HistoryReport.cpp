#include "cli/HistoryReport.h"

#include <algorithm>

#include "cli/TerminalText.h"
#include "platform/Utf8.h"
#include "results/JsonText.h"
#include "results/NumberText.h"

namespace cli {

namespace {

using results::DiscHistory;

std::string VerdictText(const DiscHistory& disc) {
    return disc.verdict ? std::string(results::VerdictName(*disc.verdict)) : std::string("-");
}

// The characters a terminal shows for the text: UTF-8 continuation bytes take no room.
std::size_t Shown(const std::string& text) {
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return !platform::IsUtf8Continuation(static_cast<std::uint8_t>(c));
    }));
}

std::string PaddedTo(const std::string& text, std::size_t width) {
    return text + std::string(width - std::min(width, Shown(text)), ' ');
}

std::string RightAligned(const std::string& text, std::size_t width) {
    return std::string(width - std::min(width, text.size()), ' ') + text;
}

}  // namespace

void PrintHistory(std::FILE* out, const std::vector<DiscHistory>& discs) {
    if (discs.empty()) {
        return;
    }
    std::vector<std::string> labels;
    std::size_t labelWidth = 5;  // LABEL
    for (const DiscHistory& disc : discs) {
        labels.push_back(Printable(disc.label.empty() ? std::string("-") : disc.label));
        labelWidth = std::max(labelWidth, Shown(labels.back()));
    }
    const std::string header = PaddedTo("LABEL", labelWidth) +
                               "    SECTORS  RUNS  FIRST                 LAST                  "
                               "VERDICT";
    std::fprintf(out, "%s\n", header.c_str());
    for (std::size_t i = 0; i < discs.size(); ++i) {
        const DiscHistory& d = discs[i];
        const std::string line = PaddedTo(labels[i], labelWidth) + "  " +
                                 RightAligned(results::TruncToText(d.volumeSize), 9) + "  " +
                                 RightAligned(std::to_string(d.runs), 4) + "  " +
                                 results::IsoTextOf(d.first) + "  " + results::IsoTextOf(d.last) +
                                 "  " + VerdictText(d);
        std::fprintf(out, "%s\n", line.c_str());
    }
    std::fflush(out);
}

std::string HistoryJson(const std::vector<DiscHistory>& discs) {
    std::string json = "{\"discs\": [";
    for (std::size_t i = 0; i < discs.size(); ++i) {
        const DiscHistory& d = discs[i];
        json += std::string(i == 0 ? "" : ", ") + "{\"id\": " + results::JsonString(d.id) +
                ", \"label\": " + results::JsonString(d.label) +
                ", \"size\": " + results::TruncToText(d.volumeSize) +
                ", \"runs\": " + std::to_string(d.runs) +
                ", \"first\": " + results::JsonString(results::IsoTextOf(d.first)) +
                ", \"last\": " + results::JsonString(results::IsoTextOf(d.last)) +
                ", \"verdict\": " +
                (d.verdict ? results::JsonString(results::VerdictName(*d.verdict)) : "null") + "}";
    }
    return json + "]}";
}

}  // namespace cli
