#include "cli/Arguments.h"

#include <cstddef>
#include <string_view>

#include "engine/ReadSpeed.h"

namespace cli {

namespace {

using Args = std::vector<std::string>;

// Splits "--name=value" so that both "--dat FILE" and "--dat=FILE" are understood.
struct Option {
    std::string_view name;
    std::optional<std::string> inlineValue;
};

Option SplitOption(const std::string& arg) {
    const std::size_t eq = arg.find('=');
    if (eq == std::string::npos) {
        return {arg, std::nullopt};
    }
    return {std::string_view(arg).substr(0, eq), arg.substr(eq + 1)};
}

bool IsOption(const std::string& arg) {
    return arg.size() > 1 && arg.front() == '-';
}

// The value of an option that takes one: inline, or the next argument.
std::optional<std::string> TakeValue(const Args& args, std::size_t& i, const Option& option) {
    if (option.inlineValue) {
        return option.inlineValue;
    }
    if (i + 1 >= args.size()) {
        return std::nullopt;
    }
    return args[++i];
}

std::optional<engine::MenuMark> SequencerByName(std::string_view name) {
    if (name == "1000") {
        return engine::MenuMark::N1000;
    }
    if (name == "800-200") {
        return engine::MenuMark::N800;
    }
    if (name == "600-400") {
        return engine::MenuMark::N600;
    }
    return std::nullopt;
}

// "max" or a multiple that the window's Read Speed menu offers.
std::optional<std::int32_t> ReadSpeedByName(std::string_view name) {
    for (const std::int32_t speed : engine::kReadSpeeds) {
        if (name == (speed == engine::kMaxReadSpeed ? "max" : std::to_string(speed))) {
            return speed;
        }
    }
    return std::nullopt;
}

UsageError Usage(std::string message) {
    return UsageError{std::move(message)};
}

// Sets a file option once; a second one is a mistake rather than a choice.
std::optional<UsageError> SetFile(std::optional<std::string>& target, std::string_view name,
                                  const std::optional<std::string>& value) {
    if (!value || value->empty()) {
        return Usage(std::string(name) + " needs a file name");
    }
    if (target) {
        return Usage(std::string(name) + " given twice");
    }
    target = *value;
    return std::nullopt;
}

Command ParseMeasure(const Args& args) {
    MeasureCommand m;
    bool sequencerSet = false;
    bool speedSet = false;
    std::optional<std::string> drive;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (!IsOption(arg)) {
            if (drive) {
                return Usage("measure takes one drive, not also '" + arg + "'");
            }
            drive = arg;
            continue;
        }
        const Option option = SplitOption(arg);
        if (option.name == "--sequencer") {
            const auto value = TakeValue(args, i, option);
            const auto mark = value ? SequencerByName(*value) : std::nullopt;
            if (!mark) {
                return Usage("--sequencer takes 1000, 800-200 or 600-400");
            }
            if (sequencerSet) {
                return Usage("--sequencer given twice");
            }
            m.sequencer = *mark;
            sequencerSet = true;
        } else if (option.name == "--speed") {
            const auto value = TakeValue(args, i, option);
            const auto speed = value ? ReadSpeedByName(*value) : std::nullopt;
            if (!speed) {
                return Usage("--speed takes max, 52, 48, 40, 32, 24, 16, 8 or 4");
            }
            if (speedSet) {
                return Usage("--speed given twice");
            }
            m.readSpeed = *speed;
            speedSet = true;
        } else if (option.name == "--dat") {
            if (auto e = SetFile(m.datFile, option.name, TakeValue(args, i, option))) {
                return *e;
            }
        } else if (option.name == "--bmp") {
            if (auto e = SetFile(m.bmpFile, option.name, TakeValue(args, i, option))) {
                return *e;
            }
        } else if (option.name == "--autosave" && !option.inlineValue) {
            m.autoSave = true;
        } else {
            return Usage("unknown option '" + arg + "' for measure");
        }
    }
    if (!drive || drive->empty()) {
        return Usage("measure needs a drive");
    }
    // The drive list splits its entries at commas; one drive is measured at a time.
    if (drive->find(',') != std::string::npos) {
        return Usage("measure takes one drive, not a list");
    }
    if (m.datFile && m.bmpFile && *m.datFile == *m.bmpFile) {
        return Usage("--dat and --bmp name the same file");
    }
    m.drive = *drive;
    return m;
}

Command ParseReplay(const Args& args) {
    ReplayCommand r;
    std::optional<std::string> file;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (!IsOption(arg)) {
            if (file) {
                return Usage("replay takes one data file, not also '" + arg + "'");
            }
            file = arg;
            continue;
        }
        const Option option = SplitOption(arg);
        if (option.name == "--bmp") {
            if (auto e = SetFile(r.bmpFile, option.name, TakeValue(args, i, option))) {
                return *e;
            }
        } else {
            return Usage("unknown option '" + arg + "' for replay");
        }
    }
    if (!file || file->empty()) {
        return Usage("replay needs a data file");
    }
    r.datFile = *file;
    return r;
}

}  // namespace

Command ParseArguments(const Args& args) {
    if (args.empty()) {
        return Usage("no command given");
    }
    const std::string& command = args.front();
    if (command == "--help" || command == "-h" || command == "help") {
        return HelpCommand{};
    }
    if (command == "--version") {
        return VersionCommand{};
    }
    if (command == "drives") {
        if (args.size() > 1) {
            return Usage("drives takes no arguments");
        }
        return DrivesCommand{};
    }
    if (command == "measure") {
        return ParseMeasure(args);
    }
    if (command == "replay") {
        return ParseReplay(args);
    }
    return Usage("unknown command '" + command + "'");
}

const char* UsageText() {
    return "Usage:\n"
           "  discometer-cli drives\n"
           "  discometer-cli measure DRIVE [--sequencer 1000|800-200|600-400]\n"
           "                 [--speed N|max] [--dat FILE] [--bmp FILE] [--autosave]\n"
           "  discometer-cli replay FILE.dat [--bmp OUT.bmp]\n"
           "  discometer-cli --help | --version\n"
           "\n"
           "DRIVE is an entry of the drive list (sr0), an absolute path of a device or a\n"
           "disc image, or a simulated drive: sim (52x CD), sim-dvd (16x DVD) or sim-bd\n"
           "(12x Blu-ray), each also as -unpaced to read as fast as the machine goes.\n"
           "\n"
           "  drives       list the drives as the window shows them, or NA, each with\n"
           "               its vendor, model and firmware where the system knows them\n"
           "  measure      read the disc in DRIVE from start to end and time it\n"
           "    --sequencer  sectors timed per block: 1000, 800-200 (default) or 600-400\n"
           "    --speed N    ask the drive to read at most N x 150 KB/s (52, 48, 40, 32,\n"
           "                 24, 16, 8 or 4) or, by default, max; set back after the run\n"
           "    --dat FILE   write the results document at the end\n"
           "    --bmp FILE   write the chart picture at the end\n"
           "    --autosave   write both under the volume label, in the current folder\n"
           "  replay       redraw a saved data file, optionally into a picture\n"
           "\n"
           "Ctrl-C or SIGTERM stops a run at the next block; what was measured is\n"
           "written as usual. Exit status: 0 done, 1 error, 2 usage, 130 stopped.\n";
}

}  // namespace cli
