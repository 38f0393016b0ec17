#include "results/ReadSpeedReport.h"

#include "results/ChartAxes.h"
#include "results/NumberText.h"
#include "run/ReadSpeed.h"

namespace results {

namespace {

constexpr double kTolerance = 1.05;

std::string Asked(const run::RunState& s, double kBs) {
    return run::ReadSpeedCaption(s.ReadSpeed) + " asked (" + TruncToText(kBs) + " KB/s)";
}

}  // namespace

std::optional<double> AskedKBs(const run::RunState& s) {
    if (s.ReadSpeed <= run::kMaxReadSpeed || !s.ReadSpeedTaken) {
        return std::nullopt;
    }
    return s.ReadSpeed * platform::SingleSpeedKBs(MediumOf(s.VolumeSize));
}

bool ReadSpeedNotHonoured(const run::RunState& s) {
    const auto asked = AskedKBs(s);
    return asked && s.MaxSpeed > *asked * kTolerance;
}

std::string ReadSpeedText(const run::RunState& s) {
    if (s.ReadSpeed > run::kMaxReadSpeed && !s.ReadSpeedTaken) {
        return run::ReadSpeedCaption(s.ReadSpeed) + ", refused by the drive: read at its own speed";
    }
    const auto asked = AskedKBs(s);
    if (!asked) {
        return run::ReadSpeedCaption(s.ReadSpeed);
    }
    std::string text =
        Asked(s, *asked) + "; the drive read up to " + TruncToText(s.MaxSpeed) + " KB/s";
    if (ReadSpeedNotHonoured(s)) {
        text += ": not honoured by the drive";
    }
    return text;
}

std::string ReadSpeedNote(const run::RunState& s) {
    if (!ReadSpeedNotHonoured(s)) {
        return {};
    }
    return "Note: " + Asked(s, *AskedKBs(s)) + ", the drive read up to " + TruncToText(s.MaxSpeed) +
           " KB/s: the read speed was not honoured by the drive";
}

}  // namespace results
