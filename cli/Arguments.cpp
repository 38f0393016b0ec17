#include "cli/Arguments.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <array>
#include <cctype>
#include <string_view>

#include "cli/DocumentStreams.h"
#include "run/ReadSpeed.h"

namespace cli {

namespace {

using Values = std::vector<std::string>;

UsageError Usage(std::string message) {
    return UsageError{std::move(message)};
}

// A command of the program, or the program itself: CLI11 splits the words ("--dat FILE",
// "--dat=FILE", "--"), and this program judges them and words its own messages. Its help is
// its own text, so CLI11's help flag makes way for a plain one.
CLI::App* Quiet(CLI::App* app, bool& help) {
    app->set_help_flag();
    app->allow_extras();
    app->add_flag("-h,--help", help);
    return app;
}

// An option that takes one value, collected however often it is given so that a repeat or a
// missing value is said in this program's words.
CLI::Option* ValueOption(CLI::App* app, const std::string& name, Values& values) {
    return app->add_option(name, values)
        ->expected(0, 1)
        ->allow_extra_args(false)  // "--dat=FILE DRIVE": the drive is no second value
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
}

// The words CLI11 did not take: an unknown option, or what follows a command that takes
// nothing. "--", which ends the options, is no such word.
std::optional<UsageError> Leftover(const CLI::App& app, std::string_view command) {
    for (const std::string& word : app.remaining()) {
        if (word == "--") {
            continue;
        }
        if (word.size() > 1 && word.front() == '-') {
            return Usage("unknown option '" + word + "' for " + std::string(command));
        }
        return Usage(std::string(command) + " takes no arguments, not '" + word + "'");
    }
    return std::nullopt;
}

// The one value of an option given at most once.
std::optional<UsageError> TakeOne(const Values& values, const std::string& name,
                                  const std::string& what, std::optional<std::string>& into) {
    if (values.empty()) {
        return std::nullopt;
    }
    if (values.size() > 1) {
        return Usage(name + " given twice");
    }
    if (values.front().empty()) {
        return Usage(name + " needs " + what);
    }
    into = values.front();
    return std::nullopt;
}

// The one positional argument of a command.
std::optional<UsageError> TakeOperand(const Values& values, const std::string& command,
                                      const std::string& noun, std::string& into) {
    if (values.empty() || values.front().empty()) {
        return Usage(command + " needs a " + noun);
    }
    if (values.size() > 1) {
        return Usage(command + " takes one " + noun + ", not also '" + values[1] + "'");
    }
    into = values.front();
    return std::nullopt;
}

// The sequencer as the menu names it, or by the sectors it times.
std::optional<run::MenuMark> SequencerByName(std::string_view name) {
    if (name == "1000") {
        return run::MenuMark::N1000;
    }
    if (name == "800-200" || name == "800") {
        return run::MenuMark::N800;
    }
    if (name == "600-400" || name == "600") {
        return run::MenuMark::N600;
    }
    return std::nullopt;
}

// "max" or a multiple that the window's Read Speed menu offers.
std::optional<std::int32_t> ReadSpeedByName(std::string_view name) {
    for (const std::int32_t speed : run::kReadSpeeds) {
        if (name == (speed == run::kMaxReadSpeed ? "max" : std::to_string(speed))) {
            return speed;
        }
    }
    return std::nullopt;
}

// The words of `measure`, as CLI11 collects them.
struct MeasureWords {
    bool help = false;
    Values drive;
    Values sequencer;
    Values speed;
    Values dat;
    Values bmp;
    bool autoSave = false;
    Values compare;
    Values catalogue;
};

CLI::App* AddMeasure(CLI::App& app, MeasureWords& w) {
    CLI::App* measure = Quiet(app.add_subcommand("measure"), w.help);
    measure->add_option("drive", w.drive);
    ValueOption(measure, "--sequencer", w.sequencer);
    ValueOption(measure, "--speed", w.speed);
    ValueOption(measure, "--dat", w.dat);
    ValueOption(measure, "--bmp", w.bmp);
    measure->add_flag("--autosave", w.autoSave);
    ValueOption(measure, "--compare", w.compare);
    ValueOption(measure, "--catalogue", w.catalogue);
    return measure;
}

Command JudgeMeasure(const CLI::App& app, const MeasureWords& w) {
    if (w.help) {
        return HelpCommand{HelpTopic::Measure};
    }
    if (auto e = Leftover(app, "measure")) {
        return *e;
    }
    MeasureCommand m;
    if (auto e = TakeOperand(w.drive, "measure", "drive", m.drive)) {
        return *e;
    }
    std::optional<std::string> sequencer;
    if (auto e = TakeOne(w.sequencer, "--sequencer", "a value", sequencer)) {
        return *e;
    }
    if (sequencer) {
        const auto mark = SequencerByName(*sequencer);
        if (!mark) {
            return Usage("--sequencer takes 1000, 800-200 (or 800) or 600-400 (or 600)");
        }
        m.sequencer = *mark;
    }
    std::optional<std::string> speed;
    if (auto e = TakeOne(w.speed, "--speed", "a value", speed)) {
        return *e;
    }
    if (speed) {
        const auto chosen = ReadSpeedByName(*speed);
        if (!chosen) {
            return Usage("--speed takes max, 52, 48, 40, 32, 24, 16, 8 or 4");
        }
        m.readSpeed = *chosen;
    }
    if (auto e = TakeOne(w.dat, "--dat", "a file name", m.datFile)) {
        return *e;
    }
    if (auto e = TakeOne(w.bmp, "--bmp", "a file name", m.bmpFile)) {
        return *e;
    }
    m.autoSave = w.autoSave;
    if (auto e = TakeOne(w.compare, "--compare", "a data file", m.compareFile)) {
        return *e;
    }
    if (auto e = TakeOne(w.catalogue, "--catalogue", "a folder", m.catalogue)) {
        return *e;
    }
    return m;
}

struct ReplayWords {
    bool help = false;
    Values file;
    Values bmp;
};

CLI::App* AddReplay(CLI::App& app, ReplayWords& w) {
    CLI::App* replay = Quiet(app.add_subcommand("replay"), w.help);
    replay->add_option("file", w.file);
    ValueOption(replay, "--bmp", w.bmp);
    return replay;
}

Command JudgeReplay(const CLI::App& app, const ReplayWords& w) {
    if (w.help) {
        return HelpCommand{HelpTopic::Replay};
    }
    if (auto e = Leftover(app, "replay")) {
        return *e;
    }
    ReplayCommand r;
    if (auto e = TakeOperand(w.file, "replay", "data file", r.datFile)) {
        return *e;
    }
    if (auto e = TakeOne(w.bmp, "--bmp", "a file name", r.bmpFile)) {
        return *e;
    }
    return r;
}

struct CompareWords {
    bool help = false;
    Values files;
    Values bmp;
    bool json = false;
    bool force = false;
};

CLI::App* AddCompare(CLI::App& app, CompareWords& w) {
    CLI::App* compare = Quiet(app.add_subcommand("compare"), w.help);
    compare->add_option("files", w.files);
    ValueOption(compare, "--bmp", w.bmp);
    compare->add_flag("--json", w.json);
    compare->add_flag("--force", w.force);
    return compare;
}

Command JudgeCompare(const CLI::App& app, const CompareWords& w) {
    if (w.help) {
        return HelpCommand{HelpTopic::Compare};
    }
    if (auto e = Leftover(app, "compare")) {
        return *e;
    }
    CompareCommand c;
    if (w.files.size() < 2 ||
        std::any_of(w.files.begin(), w.files.end(), [](const auto& f) { return f.empty(); })) {
        return Usage("compare needs two data files, the earlier run's and the later run's");
    }
    if (w.files.size() > 2) {
        return Usage("compare takes two data files, not also '" + w.files[2] + "'");
    }
    c.earlierFile = w.files[0];
    c.laterFile = w.files[1];
    if (c.earlierFile == kStandardStream && c.laterFile == kStandardStream) {
        return Usage("only one of the data files can be standard input");
    }
    if (auto e = TakeOne(w.bmp, "--bmp", "a file name", c.bmpFile)) {
        return *e;
    }
    c.json = w.json;
    c.force = w.force;
    return c;
}

struct HistoryWords {
    bool help = false;
    Values folder;
    bool json = false;
};

CLI::App* AddHistory(CLI::App& app, HistoryWords& w) {
    CLI::App* history = Quiet(app.add_subcommand("history"), w.help);
    history->add_option("folder", w.folder);
    history->add_flag("--json", w.json);
    return history;
}

Command JudgeHistory(const CLI::App& app, const HistoryWords& w) {
    if (w.help) {
        return HelpCommand{HelpTopic::History};
    }
    if (auto e = Leftover(app, "history")) {
        return *e;
    }
    HistoryCommand h;
    if (auto e = TakeOperand(w.folder, "history", "catalogue folder", h.catalogue)) {
        return *e;
    }
    h.json = w.json;
    return h;
}

// --- Help texts ----------------------------------------------------------------------------

struct CommandText {
    HelpTopic topic;
    std::string_view name;
    std::string_view synopsis;
    std::string_view summary;  // the command and its options, a line each
    std::string_view notes;    // what more there is to know, in paragraphs
    std::string_view exits;    // its exit statuses
};

constexpr std::string_view kSimpleExits = "Exit status: 0 done; 1 error; 2 usage.\n";

constexpr std::string_view kRunExits =
    "Exit status: 0 done, every block read; 1 error; 2 usage; 3 done, with\n"
    "unreadable blocks; 4 worse than the run --compare names, or than the disc's\n"
    "last run in the catalogue; 130 stopped.\n";

constexpr CommandText kDrivesText{
    HelpTopic::Drives,
    "drives",
    "discometer-cli drives",
    "  drives       list the drives as the window shows them, one a line; on a\n"
    "               terminal each with its vendor, model and firmware\n",
    "drives names the entries of DISCOMETER_DRIVES that it leaves out, with the\n"
    "reason, on standard error; with no drive at all it prints nothing and exits\n"
    "with status 1.\n",
    kSimpleExits};

constexpr CommandText kMeasureText{
    HelpTopic::Measure,
    "measure",
    "discometer-cli measure DRIVE [--sequencer 1000|800-200|600-400]\n"
    "                 [--speed N|max] [--dat FILE] [--bmp FILE] [--autosave]\n"
    "                 [--compare EARLIER.dat] [--catalogue DIR]",
    "  measure      read the disc in DRIVE from start to end and time it\n"
    "    --sequencer  sectors timed per block: 1000, 800-200 (the default) or\n"
    "                 600-400; 800 and 600 say the same\n"
    "    --speed N    ask the drive to read at most N x 150 KB/s (52, 48, 40, 32,\n"
    "                 24, 16, 8 or 4) or, by default, max; set back after the run\n"
    "    --dat FILE   write the results document at the end; - for standard output,\n"
    "                 which then holds it alone (the block lines go to standard error)\n"
    "    --bmp FILE   write the chart picture at the end\n"
    "    --autosave   write both under the volume label, in the current folder\n"
    "    --compare EARLIER.dat\n"
    "                 compare the run with an earlier run of the disc, as compare\n"
    "                 does, in the summary; exit 4 when it is worse\n"
    "    --catalogue DIR\n"
    "                 file the run in the catalogue DIR (DISCOMETER_CATALOGUE when\n"
    "                 not given) and compare it with the disc's last run there\n",
    "DRIVE is an entry of the drive list (sr0), an absolute path of a device or a\n"
    "disc image, a relative path of an image with a slash (./disc.iso), or a\n"
    "simulated drive: sim (52x CD), sim-aged (the same CD years older), sim-dvd\n"
    "(16x DVD), sim-bd (12x Blu-ray) or sim-bd-udf (the same disc with a UDF\n"
    "volume alone), each also as -unpaced to read as fast as the machine goes.\n"
    "\n"
    "On a terminal a progress line shows the run; otherwise standard output holds\n"
    "one line \"BLOCK SPEED\" per measured block, and the summary goes to standard\n"
    "error. Ctrl-C or SIGTERM, or standard output closing, stops a run at the\n"
    "next block; what was measured is written as usual, however many signals\n"
    "follow.\n"
    "\n"
    "A catalogue holds a folder per disc, named by an id made from the disc's\n"
    "volume descriptor, and in it each run as DATE-TIME.dat (UTC) with a\n"
    "DATE-TIME.json beside it: the drive, the settings, the host and the\n"
    "comparison. Files are written whole and never replaced; several programs\n"
    "may file into one catalogue at once.\n",
    kRunExits};

constexpr CommandText kReplayText{
    HelpTopic::Replay,
    "replay",
    "discometer-cli replay FILE.dat [--bmp OUT.bmp]",
    "  replay       redraw a saved data file, optionally into a picture\n",
    "FILE.dat is - for standard input.\n",
    kSimpleExits};

constexpr CommandText kCompareText{
    HelpTopic::Compare,
    "compare",
    "discometer-cli compare EARLIER.dat LATER.dat [--bmp OUT.bmp] [--json]\n"
    "                 [--force]",
    "  compare      compare two saved runs of one disc: the blocks it can no longer\n"
    "               read, those it reads again, and where it reads slower\n"
    "    --bmp FILE   write the later run's chart with the earlier curve behind it\n"
    "    --json       print the comparison as one JSON object\n"
    "    --force      compare runs of different discs too\n",
    "A slower region is 3 or more blocks in a row below 80 % of the earlier\n"
    "run's speed, once a change of the whole curve (another drive, read speed or\n"
    "sequencer) is taken out. Runs of discs of another size or label are refused.\n"
    "Either data file may be - for standard input.\n",
    "Exit status: 0 the same or better; 1 error, different discs among them;\n"
    "2 usage; 4 worse.\n"};

constexpr CommandText kHistoryText{
    HelpTopic::History,
    "history",
    "discometer-cli history DIR [--json]",
    "  history      list the discs of a catalogue, a line each: label, size, runs,\n"
    "               first and last run, how the last run compared; worst first\n"
    "    --json       print them as one JSON object\n",
    "Files in the catalogue that are damaged or none of its own are passed over,\n"
    "each with a note on standard error.\n",
    kSimpleExits};

constexpr std::array kCommandTexts{&kDrivesText, &kMeasureText, &kReplayText, &kCompareText,
                                   &kHistoryText};

std::string CommandHelp(const CommandText& text) {
    std::string help = "Usage:\n  ";
    help += text.synopsis;
    help += "\n\n";
    help += text.summary;
    if (!text.notes.empty()) {
        help += "\n";
        help += text.notes;
    }
    help += "\n";
    help += text.exits;
    return help;
}

// The topic that "help WORD" asks for.
HelpTopic TopicOf(const std::vector<std::string>& words) {
    for (const CommandText* text : kCommandTexts) {
        if (!words.empty() && words.front() == text->name) {
            return text->topic;
        }
    }
    return HelpTopic::Program;
}

}  // namespace

Command ParseArguments(const std::vector<std::string>& args) {
    if (args.empty()) {
        return Usage("no command given");
    }
    CLI::App app;
    bool help = false;
    bool version = false;
    Quiet(&app, help);
    app.add_flag("--version", version);
    app.require_subcommand(0, 1);
    bool helpWord = false;
    bool drivesHelp = false;
    CLI::App* helpCommand = Quiet(app.add_subcommand("help"), helpWord);
    CLI::App* drives = Quiet(app.add_subcommand("drives"), drivesHelp);
    MeasureWords measureWords;
    CLI::App* measure = AddMeasure(app, measureWords);
    ReplayWords replayWords;
    CLI::App* replay = AddReplay(app, replayWords);
    CompareWords compareWords;
    CLI::App* compare = AddCompare(app, compareWords);
    HistoryWords historyWords;
    CLI::App* history = AddHistory(app, historyWords);

    try {
        // CLI11 takes the words last first.
        app.parse(std::vector<std::string>(args.rbegin(), args.rend()));
    } catch (const CLI::ParseError& e) {
        std::string message = e.what();
        message.front() =
            static_cast<char>(std::tolower(static_cast<unsigned char>(message.front())));
        return Usage(message);
    }

    if (help) {
        return HelpCommand{};
    }
    if (helpCommand->parsed()) {
        return HelpCommand{TopicOf(helpCommand->remaining())};
    }
    if (version) {
        return VersionCommand{};
    }
    for (const std::string& word : app.remaining()) {
        if (word != "--") {
            return Usage((word.front() == '-' ? "unknown option '" : "unknown command '") + word +
                         "'");
        }
    }
    if (drives->parsed()) {
        if (drivesHelp) {
            return HelpCommand{HelpTopic::Drives};
        }
        if (auto e = Leftover(*drives, "drives")) {
            return *e;
        }
        return DrivesCommand{};
    }
    if (measure->parsed()) {
        return JudgeMeasure(*measure, measureWords);
    }
    if (replay->parsed()) {
        return JudgeReplay(*replay, replayWords);
    }
    if (compare->parsed()) {
        return JudgeCompare(*compare, compareWords);
    }
    if (history->parsed()) {
        return JudgeHistory(*history, historyWords);
    }
    return Usage("no command given");
}

std::string UsageText() {
    std::string usage = "Usage:\n";
    for (const CommandText* text : kCommandTexts) {
        usage += "  ";
        usage += text->synopsis;
        usage += "\n";
    }
    usage += "  discometer-cli --help | --version\n";
    usage += "  discometer-cli COMMAND --help\n";
    return usage;
}

std::string HelpText(HelpTopic topic) {
    for (const CommandText* text : kCommandTexts) {
        if (text->topic == topic) {
            return CommandHelp(*text);
        }
    }
    std::string help = UsageText();
    help += "\n";
    for (const CommandText* text : kCommandTexts) {
        help += text->summary;
    }
    for (const CommandText* text : kCommandTexts) {
        if (!text->notes.empty()) {
            help += "\n";
            help += text->notes;
        }
    }
    help += "\n";
    help += kRunExits;
    return help;
}

}  // namespace cli
