#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "engine/RunWindow.h"

namespace cli {

struct HelpCommand {};
struct VersionCommand {};
struct DrivesCommand {};

struct MeasureCommand {
    std::string drive;
    engine::MenuMark sequencer = engine::MenuMark::N800;  // the window's default
    std::int32_t readSpeed = 0;                           // one of engine::kReadSpeeds
    std::optional<std::string> datFile;
    std::optional<std::string> bmpFile;
    bool autoSave = false;
};

struct ReplayCommand {
    std::string datFile;
    std::optional<std::string> bmpFile;
};

// A command line that makes no sense; the text says why.
struct UsageError {
    std::string message;
};

using Command = std::variant<HelpCommand, VersionCommand, DrivesCommand, MeasureCommand,
                             ReplayCommand, UsageError>;

// The arguments after the program's name.
Command ParseArguments(const std::vector<std::string>& args);

// What --help prints and what follows a usage error.
const char* UsageText();

}  // namespace cli
