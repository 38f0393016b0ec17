// What the command-line companion writes and says: files written over devices, pipes and
// links, outputs that are one file, a reader that goes away, signals in bursts, honest exit
// statuses, labels with escape sequences, the terminal's width, command lines, help and the
// drive list; and the window's start without a display.
#include <sys/stat.h>

#include <gtest/gtest.h>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <random>
#include <thread>

#include "cli/Arguments.h"
#include "cli/Progress.h"
#include "cli/TerminalText.h"
#include "platform/BmpFile.h"
#include "platform/SimDrive.h"
#include "support/CliProcess.h"
#include "support/PosixFiles.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;
using namespace cliprocess;
using fixtures::PipeReader;
using fixtures::ReadBytes;
using fixtures::TempDir;

namespace {

// A disc image whose descriptor names the label and the volume size the run takes, in a file
// of `fileSectors` sectors (fewer than the volume: a cut image).
void WriteImage(const fs::path& path, const std::string& label, std::uint32_t volumeSectors,
                std::uint32_t fileSectors) {
    platform::SimDiscParams disc;
    disc.volumeSectors = volumeSectors;
    disc.mediumSectors = fileSectors;
    disc.volumeId = label;
    ASSERT_TRUE(platform::WriteSparseImage(disc, path.string())) << path;
}

bool IsLink(const fs::path& path) {
    return fs::is_symlink(fs::symlink_status(path));
}

bool LoadsAsChart(const fs::path& path) {
    const auto picture = platform::LoadBmpFile(path.string());
    return picture && picture->Width() == 591 && picture->Height() == 352;
}

// The first lines of a data file, up to its Nth result line.
std::vector<std::string> DocumentUpTo(const std::string& dat, std::size_t results) {
    std::vector<std::string> lines = Lines(dat);
    const auto header = std::find(lines.begin(), lines.end(), "[TransferResults]");
    const std::size_t keep = static_cast<std::size_t>(header - lines.begin()) + 1 + results;
    lines.resize(std::min(keep, lines.size()));
    return lines;
}

// Bursts of SIGINT and SIGTERM at random moments, from the first block line until the
// program has ended, its final save included.
class SignalStorm {
  public:
    SignalStorm(pid_t pid, unsigned seed)
        : thread_([this, pid, seed] {
              std::mt19937 random(seed);
              while (!stop_) {
                  for (unsigned burst = 1 + random() % 8; burst > 0; --burst) {
                      ::kill(pid, random() % 2 == 0 ? SIGINT : SIGTERM);
                      ++sent_;
                  }
                  for (unsigned pause = random() % 5000; pause > 0 && !stop_; --pause) {
                      std::this_thread::yield();
                  }
              }
          }) {}
    ~SignalStorm() { Stop(); }
    SignalStorm(const SignalStorm&) = delete;
    SignalStorm& operator=(const SignalStorm&) = delete;
    // Called once the program has ended and before it is waited for, so that no signal can
    // reach another process that takes its number.
    void Stop() {
        stop_ = true;
        if (thread_.joinable()) {
            thread_.join();
        }
    }
    int Sent() const { return sent_; }

  private:
    std::atomic<bool> stop_{false};
    std::atomic<int> sent_{0};
    std::thread thread_;
};

// One complete run of the simulated disc, the reference for runs that stop early.
class CliReference : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        dir_ = new TempDir;
        run_ = new Finished(
            RunCli({"measure", "sim-unpaced", "--dat", (*dir_ / "reference.dat").string()}));
        dat_ = new std::string(ReadBytes(*dir_ / "reference.dat"));
    }
    static void TearDownTestSuite() {
        delete dat_;
        delete run_;
        delete dir_;
    }

    // The files of a run stopped after some blocks: whole, and what the complete run
    // measured up to there.
    static void ExpectStoppedRunFiles(const fs::path& dat, const fs::path& bmp) {
        const std::string stopped = ReadBytes(dat);
        const std::size_t measured = ResultLines(stopped).size();
        EXPECT_GE(measured, 1u);
        EXPECT_LT(measured, ResultLines(*dat_).size());
        EXPECT_EQ(Lines(stopped), DocumentUpTo(*dat_, measured));
        EXPECT_TRUE(stopped.ends_with("\r\n"));
        EXPECT_TRUE(LoadsAsChart(bmp));
    }

    static TempDir* dir_;
    static Finished* run_;
    static std::string* dat_;
};
TempDir* CliReference::dir_ = nullptr;
Finished* CliReference::run_ = nullptr;
std::string* CliReference::dat_ = nullptr;

}  // namespace

// --- Saving over what is there ------------------------------------------------------------

TEST_F(CliReference, PipesDevicesAndLinksAreWrittenThroughAndStayWhatTheyWere) {
    ASSERT_EQ(run_->status, 3) << run_->err;
    TempDir dir;
    const fs::path fifo = dir / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::ofstream(dir / "picture.bmp") << "earlier";
    fs::create_symlink("picture.bmp", dir / "to-picture");

    // A pipe with a reader gets the document; a link to a file has the file replaced.
    {
        PipeReader reader(fifo);
        const Finished piped = RunCli({"measure", "sim-unpaced", "--dat", fifo.string(), "--bmp",
                                       (dir / "to-picture").string()});
        EXPECT_EQ(piped.status, 3) << piped.err;
        EXPECT_EQ(reader.Take(), *dat_);
    }
    EXPECT_TRUE(fs::is_fifo(fifo));
    EXPECT_TRUE(IsLink(dir / "to-picture"));
    EXPECT_TRUE(LoadsAsChart(dir / "picture.bmp"));

    const fs::path null = dir / "null";
    const fs::path full = dir / "full";
    if (!fixtures::MakeNullAndFullDevices(null, full)) {
        GTEST_SKIP() << "making device nodes needs root";
    }
    // The picture goes to a pipe nobody reads, the document to a full device: both are said
    // with their reasons, at once, and neither is turned into a file.
    const Finished f =
        RunCli({"measure", "sim-unpaced", "--bmp", fifo.string(), "--dat", full.string()});
    EXPECT_EQ(f.status, 1);
    EXPECT_NE(f.err.find("cannot create file '" + fifo.string() +
                         "': no program is reading from the pipe"),
              std::string::npos)
        << f.err;
    EXPECT_NE(f.err.find("cannot create file '" + full.string() + "': No space left on device"),
              std::string::npos)
        << f.err;
    EXPECT_EQ(f.err.find("Written:"), std::string::npos);

    // The null device throws the document away and stays the null device.
    const Finished thrown = RunCli({"measure", "sim-unpaced", "--dat", null.string()});
    EXPECT_EQ(thrown.status, 3) << thrown.err;
    EXPECT_NE(thrown.err.find("Written:         '" + null.string() + "'"), std::string::npos);
    for (const fs::path& device : {null, full}) {
        EXPECT_TRUE(fs::is_character_file(device)) << device;
    }
    EXPECT_TRUE(fs::is_fifo(fifo));
}

TEST(CliFiles, OneFileNamedTwiceIsRefusedHoweverSpelt) {
    TempDir dir;
    WriteRandomFile(dir / "disc.img", 40 * 2048, 5);
    std::ofstream(dir / "c.dat") << "earlier";
    std::ofstream(dir / "copy.dat") << "[TransferResults]\r\n1 100\r\n";
    fs::create_symlink("disc.img", dir / "to-disc");
    fs::create_hard_link(dir / "disc.img", dir / "hard.img");
    fs::create_symlink("copy.dat", dir / "to-copy");
    fs::create_directories(dir / "sub");
    const std::string disc = (dir / "disc.img").string();
    const std::string image = ReadBytes(dir / "disc.img");

    const std::vector<std::vector<std::string>> cases = {
        {"measure", "./disc.img", "--bmp", "disc.img"},
        {"measure", disc, "--dat", "to-disc"},
        {"measure", "./hard.img", "--dat", disc},
        {"measure", "sim-unpaced", "--dat", "new.dat", "--bmp", "./new.dat"},
        {"measure", "sim-unpaced", "--dat", "sub/../new.dat", "--bmp", "new.dat"},
        {"measure", "sim-unpaced", "--dat", "c.dat", "--bmp", dir.path().string() + "/c.dat"},
        {"replay", "copy.dat", "--bmp", "copy.dat"},
        {"replay", "copy.dat", "--bmp", "./to-copy"},
    };
    for (const auto& args : cases) {
        const Finished f = RunCli(args, {}, dir.path());
        const std::string shown = args[1] + " " + args[3] + " " + args.back();
        EXPECT_EQ(f.status, 2) << shown;
        // Both names are said.
        EXPECT_NE(f.err.find("'" + args.back() + "'"), std::string::npos) << f.err;
        EXPECT_NE(f.err.find("are the same file"), std::string::npos) << f.err;
        EXPECT_NE(f.err.find("Usage:"), std::string::npos) << shown;
        EXPECT_EQ(f.out, "") << shown;
    }
    EXPECT_EQ(ReadBytes(dir / "disc.img"), image);
    EXPECT_EQ(ReadBytes(dir / "c.dat"), "earlier");
    EXPECT_EQ(ReadBytes(dir / "copy.dat"), "[TransferResults]\r\n1 100\r\n");
    EXPECT_FALSE(fs::exists(dir / "new.dat"));
}

// --- A reader that goes, and signals ------------------------------------------------------

TEST_F(CliReference, AReaderThatGoesStopsTheRunAndTheFilesAreWritten) {
    // `| head -n 3`: the reader takes three lines and goes.
    TempDir dir;
    Child head(CliArgs({"measure", "sim", "--dat", (dir / "head.dat").string(), "--bmp",
                        (dir / "head.bmp").string()}));
    for (int i = 0; i < 3; ++i) {
        const auto line = head.ReadLine();
        ASSERT_TRUE(line.has_value()) << head.err;
        EXPECT_TRUE(StartsWithTwoNumbers(*line)) << *line;
    }
    head.CloseOut();
    const Finished h = head.Finish();
    EXPECT_EQ(h.status, 130) << h.err;
    EXPECT_NE(h.err.find("State:           System Stopped\n"), std::string::npos) << h.err;
    ExpectStoppedRunFiles(dir / "head.dat", dir / "head.bmp");

    // `| tee speeds.txt`, then Ctrl-C: the terminal signals both, and tee is gone.
    Child tee(CliArgs({"measure", "sim", "--dat", (dir / "tee.dat").string(), "--bmp",
                       (dir / "tee.bmp").string()}));
    ASSERT_TRUE(tee.ReadLine().has_value()) << tee.err;
    tee.Signal(SIGINT);
    tee.CloseOut();
    const Finished t = tee.Finish();
    EXPECT_EQ(t.status, 130) << t.err;
    EXPECT_NE(t.err.find("Written:         '" + (dir / "tee.dat").string() + "'\n"),
              std::string::npos)
        << t.err;
    ExpectStoppedRunFiles(dir / "tee.dat", dir / "tee.bmp");
}

TEST_F(CliReference, BurstsOfSignalsNeverLoseTheRun) {
    for (unsigned seed = 1; seed <= 3; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        TempDir dir;
        Child child(CliArgs({"measure", "sim", "--dat", (dir / "r.dat").string(), "--bmp",
                             (dir / "r.bmp").string()}));
        ASSERT_TRUE(child.ReadLine().has_value()) << child.err;
        SignalStorm storm(child.Pid(), seed);
        child.ReadToEnd();
        storm.Stop();
        const Finished f = child.Finish();
        EXPECT_GT(storm.Sent(), 0);
        EXPECT_EQ(f.status, 130) << f.err;
        ExpectStoppedRunFiles(dir / "r.dat", dir / "r.bmp");
        // Nothing half-written is left beside them.
        EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 2);
    }
}

// --- Honest exit statuses -------------------------------------------------------------------

TEST_F(CliReference, ExitStatusSaysWhetherEveryBlockWasRead) {
    // The simulated disc has two scratched areas: complete, but not every block read.
    EXPECT_EQ(run_->status, 3);
    EXPECT_NE(run_->err.find("Blocks in error: 2\n"), std::string::npos);
    // Timed figures of a simulated drive are its model's, and the summary says so.
    EXPECT_NE(run_->err.find("the timed figures are the simulated drive's modelled time"),
              std::string::npos);

    TempDir dir;
    // Whole images: every block read. One a little short (a copy without the run-out
    // sectors) ends as complete within its last 1000 sectors.
    WriteImage(dir / "whole.iso", "WHOLE", 3000, 3000);
    WriteImage(dir / "short.iso", "SHORT", 3000, 2900);
    // A name may hold a comma, which a list of drives would split at.
    WriteImage(dir / "disc 1,2.iso", "COMMA", 3000, 3000);
    // An image cut in its last 2000 sectors is measured, and its missing end counted.
    WriteImage(dir / "cut.iso", "CUT", 6000, 4500);
    // A UDF volume alone: the image's length is the volume's size.
    platform::SimDiscParams udf;
    udf.udfOnly = true;
    udf.volumeSectors = 3000;
    udf.volumeId = "UDF ONLY";
    ASSERT_TRUE(platform::WriteSparseImage(udf, (dir / "udf.img").string()));
    struct Case {
        std::string image;
        int status;
        std::string errors;
    };
    for (const Case& c :
         {Case{"whole.iso", 0, "0"}, Case{"short.iso", 0, "0"}, Case{"disc 1,2.iso", 0, "0"},
          Case{"cut.iso", 3, "1"}, Case{"udf.img", 0, "0"}}) {
        const Finished f = RunCli({"measure", "./" + c.image}, {}, dir.path());
        EXPECT_EQ(f.status, c.status) << c.image << ": " << f.err;
        if (c.image == "udf.img") {
            EXPECT_NE(f.err.find("Volume:          'UDF ONLY', 3000 sectors\n"), std::string::npos)
                << f.err;
        }
        EXPECT_NE(f.err.find("State:           Complete\n"), std::string::npos) << f.err;
        EXPECT_NE(f.err.find("Blocks in error: " + c.errors + "\n"), std::string::npos) << f.err;
        EXPECT_EQ(f.err.find("modelled time"), std::string::npos);  // a real clock
    }
}

TEST(CliMeasure, WhatCannotBeMeasuredIsSaidBeforeTheRunAndExits1) {
    TempDir dir;
    // A volume descriptor that cannot be read: the image ends before sector 16.
    WriteRandomFile(dir / "short.img", 9 * 2048, 2);
    WriteRandomFile(dir / "random.bin", 4 << 20, 6);
    WriteImage(dir / "cut.iso", "CUT", 6000, 3000);
    // An image that ends inside the first measured block, though too little is missing to
    // call it cut before reading.
    WriteImage(dir / "early.iso", "EARLY", 3000, 1500);
    WriteImage(dir / "small.iso", "SMALL", 1700, 1700);
    WriteImage(dir / "huge.iso", "HUGE", 4294967295u, 3000);
    fs::create_directories(dir / "folder");
    fs::create_symlink("folder", dir / "to-folder");
    fs::create_symlink("loop-b", dir / "loop-a");
    fs::create_symlink("loop-a", dir / "loop-b");
    struct Case {
        std::vector<std::string> args;
        std::string message;
    };
    const std::string early = (dir / "early.iso").string();
    const std::vector<Case> cases = {
        {{"./short.img"}, "no disc or unreadable volume descriptor"},
        {{"./random.bin"}, "/random.bin holds no data volume (neither an ISO 9660"},
        {{"./cut.iso"}, "is cut short: it ends after 3000 sectors, though its volume holds 6000"},
        {{early}, "cannot read sectors 1000 to 1799 of " + early + ": it ends after 1500 sectors"},
        {{"./small.iso"},
         "the volume is too small to measure: it holds 1700 sectors, a run "
         "needs at least 1800"},
        {{"./small.iso", "--sequencer", "600"}, ""},  // 1600 sectors are enough for 600-400
        {{"./huge.iso"}, "the volume is too large to measure: it holds 4294967295 sectors"},
        {{"NA"}, "no optical drive was found"},
        {{"/no/such/device"}, "cannot find /no/such/device: No such file or directory"},
        {{"sr97"}, "cannot find /dev/sr97"},
        {{dir.path().string()}, dir.path().string() + " is a directory"},
        {{"small.iso"}, " - for the file in this folder, write ./small.iso"},  // a kernel name
        // Results that cannot be written are found before the run, not after it.
        {{"sim", "--bmp", "no/such/folder/x.bmp"}, "cannot create file 'no/such/folder/x.bmp'"},
        {{"sim", "--bmp", "to-folder"}, "cannot create file 'to-folder': Is a directory"},
        {{"sim", "--bmp", "loop-a"},
         "cannot create file 'loop-a': Too many levels of symbolic links"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args{"measure"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        args.insert(args.end(), {"--dat", "x.dat"});
        const Finished f = RunCli(args, {}, dir.path());
        if (c.message.empty()) {
            EXPECT_EQ(f.status, 0) << c.args.front() << ": " << f.err;
            fs::remove(dir / "x.dat");
            continue;
        }
        EXPECT_EQ(f.status, 1) << c.args.front();
        EXPECT_TRUE(f.err.starts_with("discometer-cli: ")) << c.args.front() << ": " << f.err;
        EXPECT_NE(f.err.find(c.message), std::string::npos) << f.err;
        // Plain ASCII, which a Windows console shows as it is.
        EXPECT_TRUE(std::all_of(f.err.begin(), f.err.end(), [](char ch) {
            return static_cast<unsigned char>(ch) < 0x80;
        })) << f.err;
        EXPECT_EQ(f.out, "") << c.args.front();  // no block measured
        EXPECT_FALSE(fs::exists(dir / "x.dat")) << c.args.front();
    }
    EXPECT_TRUE(IsLink(dir / "to-folder"));
}

TEST(CliMeasure, AutoSaveFolderIsCheckedBeforeTheRun) {
    TempDir dir;
    fs::create_directories(dir / "locked");
    ::chmod(dir.path().c_str(), 0755);
    ::chmod((dir / "locked").c_str(), 0555);
    std::vector<std::string> argv = CliArgs({"measure", "sim-unpaced", "--autosave"});
    if (::geteuid() == 0) {
        // Root writes everywhere: run as nobody instead.
        const auto setpriv = FindTool("setpriv");
        if (!setpriv) {
            GTEST_SKIP() << "setpriv is needed to drop root";
        }
        argv.insert(argv.begin(), {*setpriv, "--reuid=65534", "--regid=65534", "--clear-groups"});
    }
    Child child(argv, {}, dir / "locked");
    const Finished f = child.Finish();
    EXPECT_EQ(f.status, 1);
    EXPECT_NE(f.err.find("--autosave cannot create files in the current folder: Permission "
                         "denied"),
              std::string::npos)
        << f.err;
    EXPECT_EQ(f.out, "");
}

// --- What reaches the terminal ------------------------------------------------------------

TEST(CliTerminal, EscapeSequencesOfALabelNeverReachTheTerminalOrAFileName) {
    TempDir dir;
    const std::string label = "\x1b[31mRED\x1b]0;TITLE\x07";
    WriteImage(dir / "colour.iso", label, 2000, 2000);
    const Finished f = RunCli({"measure", "./colour.iso", "--autosave"}, {}, dir.path());
    ASSERT_EQ(f.status, 0) << f.err;
    const std::string base = "_[31mRED_]0;TITLE_" + std::string(14, ' ');
    EXPECT_TRUE(fs::exists(dir / (base + ".bmp")));
    EXPECT_TRUE(fs::exists(dir / (base + ".dat")));
    EXPECT_NE(f.err.find("Volume:          '_[31mRED_]0;TITLE_', 2000 sectors\n"),
              std::string::npos)
        << f.err;
    // Names quoted, so that the label's trailing blanks show.
    EXPECT_NE(f.err.find("Written:         '" + base + ".dat'\n"), std::string::npos) << f.err;

    // The document holds the label with its control bytes as "_"; a document written before
    // that, with the bytes themselves, replays safely.
    std::string dat = ReadBytes(dir / (base + ".dat"));
    const std::size_t at = dat.find("VolLabel=" + base + "\r\n");
    ASSERT_NE(at, std::string::npos) << dat;
    dat.replace(at + 9, label.size(), label);
    std::ofstream(dir / "earlier.dat", std::ios::binary) << dat;
    const Finished replay = RunCli({"replay", "earlier.dat"}, {}, dir.path());
    EXPECT_EQ(replay.status, 0) << replay.err;
    EXPECT_NE(replay.out.find("[31mRED"), std::string::npos) << replay.out;
    for (const std::string* text : {&f.out, &f.err, &replay.out, &replay.err}) {
        EXPECT_EQ(text->find('\x1b'), std::string::npos);
        EXPECT_EQ(text->find('\x07'), std::string::npos);
    }
    // NUL and DEL too, and a backslash, so that the escaped text reads back one way; UTF-8
    // passes.
    EXPECT_EQ(cli::Printable(std::string("\x1b[0m\x00\x7f\\\xc3\xa9", 9)),
              "\\x1B[0m\\x00\\x7F\\\\\xc3\xa9");
}

TEST(CliTerminal, ProgressLineFitsTheTerminalAndNotesStayOffIt) {
    TempDir dir;
    Child child(CliArgs({"measure", "sim-unpaced", "--autosave"}), {}, dir.path(), 60);
    const Finished run = child.Finish();
    const std::string& screen = run.out;
    EXPECT_EQ(run.status, 3) << screen;
    const std::string note = "discometer-cli: Note: Graphic and Data Saved";
    const std::size_t noteAt = screen.find(note);
    ASSERT_NE(noteAt, std::string::npos) << screen;
    // The note starts a line of its own: the progress line was cleared or ended before it.
    const std::string before = screen.substr(0, noteAt);
    EXPECT_TRUE(before.ends_with("\r\x1b[K") || before.ends_with("\n"))
        << before.substr(before.size() > 80 ? before.size() - 80 : 0);

    // Every drawing of the progress line fits in 59 columns, and none starts a new line.
    const std::size_t summary = screen.find("State:");
    ASSERT_NE(summary, std::string::npos);
    int drawings = 0;
    std::istringstream lines(screen.substr(0, summary));
    for (std::string line; std::getline(lines, line);) {
        if (line.starts_with(note) || line == "\r") {
            continue;
        }
        std::istringstream parts(line);
        for (std::string part; std::getline(parts, part, '\r');) {
            if (const std::size_t clear = part.find("\x1b[K"); clear != std::string::npos) {
                part.erase(clear);
            }
            EXPECT_LE(part.size(), 59u) << part;
            drawings += part.empty() ? 0 : 1;
        }
    }
    EXPECT_GE(drawings, 2);
}

TEST(CliTerminal, ProgressLineKeepsBlockAndSpeedAtEveryWidth) {
    cli::ProgressFigures f;
    f.block = 107;
    f.total = 333;
    f.speed = "123456";  // an image read from the page cache
    f.errors = 12;
    f.left = "12:34";
    for (int columns = 0; columns <= 120; ++columns) {
        SCOPED_TRACE(columns);
        const std::string line = cli::ProgressLine(f, columns);
        EXPECT_LE(line.size(), static_cast<std::size_t>(std::max(columns - 1, 0)));
        if (columns >= 30) {
            EXPECT_NE(line.find("block 107/333  123456 KB/s"), std::string::npos) << line;
        }
    }
    EXPECT_EQ(cli::ProgressLine(f, 100),
              "[#######-----------------]  32%  block 107/333  123456 KB/s  errors 12  left 12:34");
    // A 60-column pane: the time left makes way first.
    EXPECT_EQ(cli::ProgressLine(f, 60),
              "[######-------------] block 107/333  123456 KB/s  errors 12");
    EXPECT_EQ(cli::ProgressLine(f, 30), "block 107/333  123456 KB/s");
}

TEST(CliTerminal, DrivesShowTheirIdentityOnATerminalAndStandAloneForAScript) {
    TempDir dir;
    const EnvChanges entries = {{platform::kDrivesVariable, "sim,sim-dvd-unpaced"}};
    Child child(CliArgs({"drives"}), entries, dir.path(), 80);
    const Finished run = child.Finish();
    EXPECT_EQ(run.status, 0) << run.out;
    EXPECT_EQ(run.out, "sim" + std::string(14, ' ') +
                           "Discometer Simulated CD-ROM 52x SIM1  CD-ROM\r\n" +
                           "sim-dvd-unpaced  Discometer Simulated DVD-ROM 16x SIM1  DVD-ROM\r\n");
    const Finished piped = RunCli({"drives"}, entries);
    EXPECT_EQ(piped.out, "sim\nsim-dvd-unpaced\n");
}

// --- Command line, help and the drive list ------------------------------------------------

TEST(CliUsage, HelpAndVersionForTheProgramAndEachCommand) {
    for (const std::vector<std::string>& args : {std::vector<std::string>{"measure", "--help"},
                                                 {"measure", "sim", "--frob", "-h"},
                                                 {"replay", "--help"},
                                                 {"drives", "--help"},
                                                 {"help", "measure"}}) {
        const Finished f = RunCli(args);
        const std::string command = args.front() == "help" ? args[1] : args.front();
        EXPECT_EQ(f.status, 0) << command;
        EXPECT_TRUE(f.out.starts_with("Usage:\n  discometer-cli " + command))
            << command << ": " << f.out;
        EXPECT_EQ(f.err, "");
    }
    const Finished help = RunCli({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.err, "");
    for (const char* text :
         {"measure DRIVE", "800 and 600 say the same", "3 done, with\nunreadable blocks"}) {
        EXPECT_NE(help.out.find(text), std::string::npos) << text;
    }
    const Finished version = RunCli({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, std::string("discometer-cli ") + DISCOMETER_VERSION + "\n");
}

TEST(CliUsage, BadCommandLinesExit2WithTheReasonAndTheUsage) {
    struct Bad {
        std::vector<std::string> args;
        std::string message;
    };
    const Bad cases[] = {
        {{}, "no command given"},
        {{"frob"}, "unknown command 'frob'"},
        {{"drives", "x"}, "drives takes no arguments"},
        {{"measure"}, "measure needs a drive"},
        {{"measure", "sim", "x"}, "measure takes one drive, not also 'x'"},
        {{"measure", "sim,sim-unpaced"}, "measure takes one drive, not a list"},
        {{"measure", "sim", "--frob"}, "unknown option '--frob' for measure"},
        {{"measure", "sim", "--sequencer", "700-300"}, "--sequencer takes 1000"},
        {{"measure", "sim", "--sequencer"}, "--sequencer needs a value"},
        {{"measure", "sim", "--dat"}, "--dat needs a file name"},
        {{"measure", "sim", "--bmp=a", "--bmp=b"}, "--bmp given twice"},
        {{"measure", "sim", "--dat", "same", "--bmp", "same"}, "are the same file"},
        {{"replay"}, "replay needs a data file"},
        {{"replay", "a.dat", "--dat", "b.dat"}, "unknown option '--dat' for replay"},
    };
    for (const Bad& bad : cases) {
        const Finished f = RunCli(bad.args);
        EXPECT_EQ(f.status, 2) << bad.message;
        EXPECT_TRUE(f.err.starts_with("discometer-cli: ")) << f.err;
        EXPECT_NE(f.err.find(bad.message), std::string::npos) << f.err;
        EXPECT_NE(f.err.find("Usage:"), std::string::npos) << bad.message;
        EXPECT_EQ(f.out, "") << bad.message;
    }
}

TEST(CliUsage, ArgumentsAreReadAsBeforeAndInTheWordsUsersType) {
    using cli::MeasureCommand;
    const auto measure = [](std::vector<std::string> args) {
        args.insert(args.begin(), "measure");
        const cli::Command c = cli::ParseArguments(args);
        if (std::holds_alternative<MeasureCommand>(c)) {
            return std::get<MeasureCommand>(c);
        }
        MeasureCommand refused;
        refused.drive = "(refused)";
        return refused;
    };
    EXPECT_EQ(measure({"sim"}).sequencer, run::MenuMark::N800);
    for (const auto& [word, mark] :
         {std::pair{"1000", run::MenuMark::N1000}, std::pair{"800", run::MenuMark::N800},
          std::pair{"800-200", run::MenuMark::N800}, std::pair{"600", run::MenuMark::N600},
          std::pair{"600-400", run::MenuMark::N600}}) {
        EXPECT_EQ(measure({"sim", "--sequencer", word}).sequencer, mark) << word;
        EXPECT_EQ(measure({"--sequencer=" + std::string(word), "sim"}).sequencer, mark) << word;
    }
    const MeasureCommand all = measure({"--dat=a.dat", "sim", "--bmp", "b.bmp", "--autosave"});
    EXPECT_EQ(all.drive, "sim");
    EXPECT_EQ(all.datFile, "a.dat");
    EXPECT_EQ(all.bmpFile, "b.bmp");
    EXPECT_TRUE(all.autoSave);
    EXPECT_EQ(measure({"--", "-odd-name"}).drive, "-odd-name");
}

TEST(CliDrives, BlockDevicesTheUserNamesAreMeasured) {
    TempDir dir;
    WriteImage(dir / "stick.iso", "ON_A_LOOP", 3000, 3000);
    const auto losetup = FindTool("losetup");
    if (::geteuid() != 0 || !losetup) {
        GTEST_SKIP() << "a loop device needs root and losetup";
    }
    const Finished attach = RunTool({*losetup, "--find", "--show", (dir / "stick.iso").string()});
    if (attach.status != 0) {
        GTEST_SKIP() << "no loop device: " << attach.err;
    }
    const std::string device = Lines(attach.out).front();
    const Finished listed = RunCli({"drives"}, {{platform::kDrivesVariable, device}});
    const Finished f = RunCli({"measure", device, "--dat", (dir / "loop.dat").string()});
    RunTool({*losetup, "--detach", device});
    EXPECT_EQ(listed.out, device + "\n") << listed.err;
    EXPECT_EQ(f.status, 0) << f.err;
    EXPECT_NE(ReadBytes(dir / "loop.dat").find("VolSize=3000"), std::string::npos);
}

// --- The window without a display -----------------------------------------------------------

TEST(WindowStart, WithoutADisplayItSaysSoAndHelpNeedsNone) {
    const EnvChanges headless = {{"DISPLAY", std::nullopt},
                                 {"WAYLAND_DISPLAY", std::nullopt},
                                 {"QT_QPA_PLATFORM", std::nullopt}};
    EnvChanges x11 = headless;
    x11["QT_QPA_PLATFORM"] = "xcb";  // chosen, but it needs the display that is not there
    for (const EnvChanges& env : {headless, x11}) {
        Child bare({DISCOMETER_GUI}, env);
        const Finished f = bare.Finish();
        EXPECT_EQ(f.status, 1);
        EXPECT_EQ(Lines(f.err).size(), 1u) << f.err;
        EXPECT_NE(f.err.find("no display found"), std::string::npos) << f.err;
        EXPECT_NE(f.err.find("discometer-cli"), std::string::npos);
        EXPECT_NE(f.err.find("xvfb-run"), std::string::npos);
    }

    Child help({DISCOMETER_GUI, "--help"}, headless);
    const Finished h = help.Finish();
    EXPECT_EQ(h.status, 0);
    EXPECT_TRUE(h.out.starts_with("Usage: discometer")) << h.out;
    Child version({DISCOMETER_GUI, "--version"}, headless);
    const Finished v = version.Finish();
    EXPECT_EQ(v.status, 0);
    EXPECT_EQ(v.out, std::string("discometer ") + DISCOMETER_VERSION + "\n");
}

TEST(RunScript, WithoutADisplayMeasuresTheSimulatedDriveOnTheCommandLine) {
    // run.sh beside a set-up that only names the build folder: what is tested is what the
    // script does after the set-up, as a newcomer on a server meets it.
    TempDir root;
    fs::create_directories(root / "scripts");
    fs::copy_file(fs::path(DISCOMETER_SOURCE_DIR) / "run.sh", root / "run.sh");
    {
        std::ofstream setup(root / "scripts" / "setup.sh");
        setup << "BUILD_DIR=\"${BUILD_DIR:?}\"\n";
    }
    const EnvChanges headless = {{"DISPLAY", std::nullopt},
                                 {"WAYLAND_DISPLAY", std::nullopt},
                                 {"QT_QPA_PLATFORM", std::nullopt},
                                 {"DISCOMETER_DRIVES", std::nullopt},
                                 {"BUILD_DIR", DISCOMETER_BUILD_DIR}};
    // Its own process group, so that Ctrl-C reaches the script and the companion it runs.
    Child run({"/usr/bin/setsid", "/bin/bash", (root / "run.sh").string()}, headless, root.path());
    const std::optional<std::string> said = run.ReadLine();
    ASSERT_TRUE(said.has_value());
    EXPECT_EQ(*said,
              "No display found: measuring the simulated drive with discometer-cli "
              "instead of the window.");
    // The paced simulated drive's first measured block, then Ctrl-C rather than its 20 s.
    const std::optional<std::string> block = run.ReadLine();
    ASSERT_TRUE(block.has_value()) << run.err;
    EXPECT_TRUE(block->starts_with("1 ")) << *block;
    ::kill(-run.Pid(), SIGINT);
    const Finished f = run.Finish();
    EXPECT_EQ(f.status, 130) << f.err;
    EXPECT_NE(f.err.find("State:           System Stopped"), std::string::npos) << f.err;
    // Nothing is written unless asked for.
    EXPECT_EQ(std::distance(fs::directory_iterator(root.path()), fs::directory_iterator()), 2);
}
