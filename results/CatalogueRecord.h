// The side file filed beside each run of a catalogue: what the run's document does not hold
// (when and where it was measured, with what drive and settings, by which program) and its
// comparison with the disc's run before it, so that a listing of the catalogue need not
// read and compare documents.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/System.h"
#include "results/RunComparison.h"

namespace results {

// What the side file's "format" member says, so that no other JSON passes for one.
inline constexpr std::string_view kSideFileFormat = "discometer-catalogue-run";
inline constexpr std::int32_t kSideFileVersion = 1;

struct SideRecord {
    std::string time;  // "2026-01-09T10:15:00Z"
    std::string discId;
    std::string label;  // the document's VolLabel, blanks at its end left out
    double volumeSize = 0.0;
    std::string drive;  // the drive-list entry measured
    platform::DriveIdentity identity;
    std::int32_t readSpeed = 0;  // the multiple asked; 0 for the drive's maximum
    bool readSpeedTaken = true;
    std::int32_t sequencer = 0;  // sectors timed per block: 1000, 800 or 600
    std::string ended;           // "complete", "stopped", "disc removed", "disc changed"
    std::string program;         // the program title, with its version
    std::string version;
    std::string host;
    // The run compared with, its file name in the disc's folder, and the verdict.
    std::optional<std::string> comparedWith;
    std::optional<Verdict> verdict;
};

// The side file's text: one JSON object, a member a line.
std::string SideFileText(const SideRecord& record);

// What a listing of the catalogue reads back from a side file.
struct SideFacts {
    std::string label;
    double volumeSize = 0.0;
    std::optional<Verdict> verdict;  // nothing when the run was compared with none
};

// Nothing for a file that is no side file of this program, or names another disc.
std::optional<SideFacts> ReadSideFacts(std::string_view text, std::string_view discId);

}  // namespace results
