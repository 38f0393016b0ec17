#include "cli/Summary.h"

#include <cmath>

#include "cli/TerminalText.h"
#include "results/NumberText.h"
#include "run/ReadSpeed.h"

namespace cli {

namespace {

// Trailing blanks fill a label to 32 characters; they say nothing on a terminal.
std::string TrimmedLabel(const std::string& label) {
    const std::size_t end = label.find_last_not_of(' ');
    return end == std::string::npos ? std::string() : label.substr(0, end + 1);
}

void Line(std::FILE* out, const char* name, const std::string& value) {
    std::fprintf(out, "%-16s %s\n", name, value.c_str());
}

}  // namespace

void PrintRunSummary(std::FILE* out, const run::RunState& s, const TerminalWindow& window,
                     const std::vector<std::string>& written) {
    Line(out, "State:", window.PanelText(run::Panel::State));
    Line(out, "Volume:",
         Quoted(TrimmedLabel(s.VolumeLabel.str())) + ", " + results::TruncToText(s.VolumeSize) +
             " sectors");
    Line(out, "Blocks read:", results::IntToText(s.BlockIndex));
    Line(out, "Blocks in error:", results::IntToText(s.ErrorCount));
    Line(out, "Maximum speed:", results::TruncToText(s.MaxSpeed) + " KB/s");
    Line(out, "Minimum speed:", results::TruncToText(s.MinSpeed) + " KB/s");
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

void PrintReadSpeed(std::FILE* out, const run::RunState& s) {
    std::string text = run::ReadSpeedCaption(s.ReadSpeed);
    if (!s.ReadSpeedTaken) {
        text += ", refused by the drive: read at its own speed";
    }
    Line(out, "Read speed:", text);
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
