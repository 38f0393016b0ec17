#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "run/RunWindow.h"

namespace cli {

// What a help text is about: the whole program or one of its commands.
enum class HelpTopic { Program, Drives, Measure, Replay, Compare, History };

struct HelpCommand {
    HelpTopic topic = HelpTopic::Program;
};
struct VersionCommand {};
struct DrivesCommand {};

struct MeasureCommand {
    std::string drive;
    run::MenuMark sequencer = run::MenuMark::N800;  // the window's default
    std::int32_t readSpeed = 0;                     // one of run::kReadSpeeds
    std::optional<std::string> datFile;
    std::optional<std::string> bmpFile;
    bool autoSave = false;
    std::optional<std::string> compareFile;  // an earlier run of the disc
    std::optional<std::string> catalogue;    // --catalogue; the variable is read by the run
};

struct ReplayCommand {
    std::string datFile;
    std::optional<std::string> bmpFile;
};

struct CompareCommand {
    std::string earlierFile;
    std::string laterFile;
    std::optional<std::string> bmpFile;
    bool json = false;
    bool force = false;  // compares runs of different discs too
};

struct HistoryCommand {
    std::string catalogue;
    bool json = false;
};

// A command line that makes no sense; the text says why.
struct UsageError {
    std::string message;
};

using Command = std::variant<HelpCommand, VersionCommand, DrivesCommand, MeasureCommand,
                             ReplayCommand, CompareCommand, HistoryCommand, UsageError>;

// The arguments after the program's name.
Command ParseArguments(const std::vector<std::string>& args);

// What --help prints, for the program or one command.
std::string HelpText(HelpTopic topic);

// The lines of usage alone, which follow a usage error.
std::string UsageText();

}  // namespace cli
