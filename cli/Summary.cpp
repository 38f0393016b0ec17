#include "cli/Summary.h"

#include <cmath>
#include <optional>

#include "cli/TerminalText.h"
#include "results/ChartAxes.h"
#include "results/DocumentHeader.h"
#include "results/NumberText.h"
#include "results/ReadSpeedReport.h"
#include "results/ResultsDocument.h"
#include "results/VolumeLabel.h"
#include "run/ReadSpeed.h"

namespace cli {

namespace {

void Line(std::FILE* out, const char* name, const std::string& value) {
    std::fprintf(out, "%-16s %s\n", name, value.c_str());
}

const char* MediumName(run::Medium medium) {
    switch (medium) {
        case run::Medium::CD:
            return "CD";
        case run::Medium::DVD:
            return "DVD";
        case run::Medium::BluRay:
            return "BD";
    }
    return "CD";
}

// "21917 KB/s (16.2x DVD)": the figure as the chart gives it, and the multiple of the single
// speed of the medium the volume's size makes it.
std::string SpeedText(double kbPerSecond, double volumeSize) {
    const run::Medium medium = results::MediumOf(volumeSize);
    const double single = results::SpeedScaleOf(medium).singleSpeedKBs;
    char multiple[48];
    std::snprintf(multiple, sizeof multiple, " (%.1fx %s)", kbPerSecond / single,
                  MediumName(medium));
    return results::TruncToText(kbPerSecond) + " KB/s" + multiple;
}

// The mean speed of the blocks the document holds results of, errors left out; nothing
// when none was measured.
std::optional<double> MeanSpeed(const run::DataList& document) {
    const std::int32_t first = results::SearchKey(document, results::kResultsHeader);
    if (first <= 0) {
        return std::nullopt;
    }
    double sum = 0;
    std::int64_t blocks = 0;
    for (std::size_t i = static_cast<std::size_t>(first); i < document.size(); ++i) {
        const auto result = results::ReadBlockResult(document[i]);
        if (result && result->Speed > 0) {
            sum += result->Speed;
            ++blocks;
        }
    }
    if (blocks == 0) {
        return std::nullopt;
    }
    return sum / static_cast<double>(blocks);
}

}  // namespace

void PrintRunSummary(std::FILE* out, const run::RunState& s, const TerminalWindow& window,
                     const run::DataList& document, const std::vector<std::string>& written) {
    Line(out, "State:", window.PanelText(run::Panel::State));
    Line(out, "Volume:",
         Quoted(results::WithoutFill(s.VolumeLabel.str())) + ", " +
             results::TruncToText(s.VolumeSize) + " sectors");
    Line(out, "Blocks read:", results::IntToText(s.BlockIndex));
    Line(out, "Blocks in error:", results::IntToText(s.ErrorCount));
    Line(out, "Maximum speed:", SpeedText(s.MaxSpeed, s.VolumeSize));
    Line(out, "Minimum speed:", SpeedText(s.MinSpeed, s.VolumeSize));
    if (const auto mean = MeanSpeed(document)) {
        Line(out, "Mean speed:", SpeedText(*mean, s.VolumeSize));
    }
    for (const std::string& file : written) {
        Line(out, "Written:", Quoted(file));
    }
    std::fflush(out);
}

void PrintReplayHeader(std::FILE* out, const run::RunState& s) {
    Line(out, "Program:", Printable(s.ProgramTitle));
    Line(out, "Copyright:", Printable(s.CopyrightLine));
    Line(out, "System:", Printable(s.OSName.str()));
    Line(out, "Drive:", Printable(s.DriveName));
}

void PrintDrive(std::FILE* out, const std::string& identity) {
    if (!identity.empty()) {
        Line(out, "Drive:", Printable(identity));
    }
}

void PrintReadSpeed(std::FILE* out, const run::RunState& s) {
    Line(out, "Read speed:", results::ReadSpeedText(s));
}

void PrintTimes(std::FILE* out, const TimedTotals& timed, double wallSeconds, bool modelled) {
    if (timed.microseconds > 0) {
        const double kbPerSecond = static_cast<double>(timed.sectors) * 2000.0 * 1000.0 /
                                   static_cast<double>(timed.microseconds);
        char text[96];
        std::snprintf(text, sizeof text, "%.0f KB/s (%lld sectors in %lld ms)", kbPerSecond,
                      static_cast<long long>(timed.sectors),
                      static_cast<long long>(timed.microseconds / 1000));
        Line(out, "Timed speed:", text);
    }
    char wall[32];
    std::snprintf(wall, sizeof wall, "%.2f s", wallSeconds);
    Line(out, "Wall time:",
         std::string(wall) +
             (modelled ? "; the timed figures are the simulated drive's modelled time" : ""));
    std::fflush(out);
}

}  // namespace cli
