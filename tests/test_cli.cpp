// The command-line companion, run as a process: its drive list, runs and replays, and the
// files it writes and installs, compared with the window's run of the same disc.
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include <QApplication>
#include <QTimer>

#include "platform/BmpFile.h"
#include "platform/DriveEntries.h"
#include "platform/SimRouting.h"
#include "platform/System.h"
#include "results/Replay.h"
#include "startup/DriveDiscovery.h"
#include "support/CliProcess.h"
#include "support/RunFakes.h"
#include "support/TempDir.h"
#include "support/WindowFixture.h"
#include "ui/qt/StatusBar.h"
#include "ui/qt/Unit1.h"

namespace fs = std::filesystem;
using fixtures::ReadBytes;
using fixtures::TempDir;

namespace {

using namespace cliprocess;

// --- Files ------------------------------------------------------------------------------

// An ISO 9660 image made by xorriso from `bytes` of random files; nothing when xorriso
// is not installed.
std::optional<fs::path> MakeImage(const TempDir& dir, const std::string& name,
                                  const std::string& label, std::size_t bytes) {
    const auto xorriso = FindTool("xorriso");
    if (!xorriso) {
        return std::nullopt;
    }
    const fs::path tree = dir / (name + ".tree");
    fs::create_directories(tree);
    const std::size_t fileBytes = 1 << 20;
    for (std::size_t i = 0; i * fileBytes < bytes; ++i) {
        WriteRandomFile(tree / ("file" + std::to_string(i) + ".bin"),
                        std::min(fileBytes, bytes - i * fileBytes), static_cast<unsigned>(i));
    }
    const fs::path image = dir / name;
    const Finished f = RunTool(
        {*xorriso, "-as", "mkisofs", "-quiet", "-V", label, "-o", image.string(), tree.string()});
    if (f.status != 0) {
        ADD_FAILURE() << "xorriso failed: " << f.err;
        return std::nullopt;
    }
    return image;
}

// The value after "key" on the line of isoinfo -d that starts with it.
std::string IsoinfoValue(const std::string& report, const std::string& key) {
    std::istringstream lines(report);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind(key, 0) == 0) {
            return line.substr(key.size());
        }
    }
    return {};
}

std::string ValueOf(const std::string& dat, const std::string& key) {
    for (const std::string& line : Lines(dat)) {
        if (line.rfind(key + "=", 0) == 0) {
            return line.substr(key.size() + 1);
        }
    }
    return "(missing)";
}

// --- The window's run of the same disc -----------------------------------------------------

// The program's window on the simulated drive that the CLI's "sim" entries read, on this
// machine's system, driven through its own handlers: Start, the ticks of its timer, Stop,
// and the Save and Load commands with the names typed into their dialogs.
class WindowRun {
  public:
    explicit WindowRun(run::MenuMark sequencer = run::MenuMark::N800) {
        fixtures::App();
        auto system = std::make_unique<platform::SimSystem>(
            std::make_shared<platform::SimDrive>(platform::DemoDisc(false)));
        system->version = platform::MakeNativeSystem()->QueryVersion();
        auto prompts = std::make_unique<fakes::FakePrompts>();
        prompts_ = prompts.get();
        form_ = std::make_unique<ui::qt::TForm1>(std::move(system), std::move(prompts));
        switch (sequencer) {
            case run::MenuMark::N1000:
                form_->N1000Click();
                break;
            case run::MenuMark::N600:
                form_->N600Click();
                break;
            default:
                form_->N800Click();
                break;
        }
    }

    bool Start() {
        form_->Button1Click();
        return Running();
    }
    bool Running() const { return form_->Timer1()->isActive(); }
    // One timeout of the window's timer.
    void Tick() { form_->Timer1Timer(); }
    void RunToEnd() {
        for (int ticks = 0; Running() && ticks < 100000; ++ticks) {
            Tick();
        }
    }
    void Stop() { form_->Button2Click(); }
    std::string State() const { return form_->StatusBar1()->PanelText(0).toStdString(); }

    std::string SaveData(const fs::path& path) {
        prompts_->answers.push_back(path.string());
        form_->SaveData1Click();
        return ReadBytes(path);
    }
    std::string SaveGraphic(const fs::path& path) {
        prompts_->answers.push_back(path.string());
        form_->SaveGraphic1Click();
        return ReadBytes(path);
    }
    void LoadData(const fs::path& path) {
        prompts_->answers.push_back(path.string());
        form_->LoadData1Click();
    }

  private:
    fakes::FakePrompts* prompts_ = nullptr;
    std::unique_ptr<ui::qt::TForm1> form_;
};

// --- Suite fixture: one complete run of the CLI, shared by the tests that read its files ---

class CliRun : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        dir_ = new TempDir;
        run_ = new Finished(RunCli({"measure", "sim-unpaced", "--dat", (*dir_ / "run.dat").string(),
                                    "--bmp", (*dir_ / "run.bmp").string(), "--autosave"},
                                   {}, dir_->path()));
    }
    static void TearDownTestSuite() {
        delete run_;
        delete dir_;
    }
    static TempDir* dir_;
    static Finished* run_;
};
TempDir* CliRun::dir_ = nullptr;
Finished* CliRun::run_ = nullptr;

}  // namespace

// --- drives ---------------------------------------------------------------------------------

TEST(CliDrives, ListsTheDrivesAsTheWindowDoes) {
    TempDir dir;
    WriteRandomFile(dir / "disc.img", 4096, 1);
    WriteRandomFile(dir / "here.img", 4096, 2);
    const std::string image = (dir / "disc.img").string();
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);

    // The entries of the variable that are optical drives or images, in its order; each entry
    // left out is explained.
    const Finished chosen =
        RunCli({"drives"},
               {{platform::kDrivesVariable,
                 " sim , /no/such/device," + image + "," + dir.path().string() + "," +
                     (dir / "fifo").string() + ",sim-unpaced,./here.img"}},
               dir.path());
    EXPECT_EQ(chosen.status, 0);
    EXPECT_EQ(chosen.out, "sim\n" + image + "\nsim-unpaced\n" + (dir / "here.img").string() + "\n");
    for (const std::string& reason :
         {std::string("cannot find /no/such/device: No such file or directory"),
          dir.path().string() + " is a directory",
          (dir / "fifo").string() + " is not a drive, a disc image or a disk device"}) {
        EXPECT_NE(chosen.err.find("DISCOMETER_DRIVES entry left out: " + reason), std::string::npos)
            << chosen.err;
    }

    // No drive: nothing for `for d in $(discometer-cli drives)` to measure, not "NA".
    const Finished none = RunCli({"drives"}, {{platform::kDrivesVariable, "/no/such/device"}});
    EXPECT_EQ(none.status, 1);
    EXPECT_EQ(none.out, "");
    EXPECT_NE(none.err.find("no drive"), std::string::npos) << none.err;

    // Without the variable: the kernel's optical drives, as the window's search finds them.
    const auto system = platform::MakeNativeSystem(std::nullopt);
    std::string expected;
    for (const auto& drive : startup::FindOpticalDrives(*system)) {
        expected += drive + "\n";
    }
    const Finished found = RunCli({"drives"});
    EXPECT_EQ(found.status, expected.empty() ? 1 : 0);
    EXPECT_EQ(found.out, expected);
}

// --- measure ----------------------------------------------------------------------------------

TEST_F(CliRun, MeasureWritesWhatTheWindowsRunWrites) {
    // Complete, with the two scratched areas of the simulated disc unread.
    ASSERT_EQ(run_->status, 3) << run_->err;
    TempDir saved;
    WindowRun window;
    ASSERT_TRUE(window.Start());
    window.RunToEnd();
    ASSERT_EQ(window.State(), "Complete");

    const std::string dat = window.SaveData(saved / "window.dat");
    ASSERT_FALSE(dat.empty());
    EXPECT_EQ(ReadBytes(*dir_ / "run.dat"), dat);
    EXPECT_EQ(ReadBytes(*dir_ / "run.bmp"), window.SaveGraphic(saved / "window.bmp"));

    // AutoSave wrote the same two files under the label, in the current folder.
    const std::string base = "DISCOMETER_DEMO" + std::string(17, ' ');
    EXPECT_EQ(ReadBytes(*dir_ / (base + ".dat")), ReadBytes(*dir_ / "run.dat"));
    EXPECT_EQ(ReadBytes(*dir_ / (base + ".bmp")), ReadBytes(*dir_ / "run.bmp"));
    EXPECT_NE(run_->err.find("Note: Graphic and Data Saved in .bmp and .dat Files"),
              std::string::npos);

    // Not on a terminal: standard output holds one line per measured block, exactly the
    // document's result lines; the summary goes to standard error.
    EXPECT_EQ(Lines(run_->out), ResultLines(dat));
    EXPECT_NE(run_->err.find("State:           Complete\n"), std::string::npos);
    EXPECT_NE(run_->err.find("Blocks read:     333\n"), std::string::npos);
    EXPECT_NE(run_->err.find("Blocks in error: 2\n"), std::string::npos);
    // The speeds also in multiples of 150 KB/s, and the mean of the blocks read without error.
    EXPECT_NE(run_->err.find("Maximum speed:   7804 KB/s (52.0x CD)\n"), std::string::npos);
    EXPECT_NE(run_->err.find("Minimum speed:   0 KB/s (0.0x CD)\n"), std::string::npos);
    double sum = 0;
    std::size_t measured = 0;
    const std::vector<std::string> results = ResultLines(dat);
    for (const std::string& line : results) {
        const double speed = std::stod(line.substr(line.find(' ') + 1));
        sum += speed;
        measured += speed > 0 ? 1 : 0;
    }
    ASSERT_EQ(measured, results.size() - 2);  // the blocks in error left out
    char mean[80];
    std::snprintf(mean, sizeof mean, "Mean speed:      %lld KB/s (%.1fx CD)\n",
                  static_cast<long long>(sum / static_cast<double>(measured)),
                  sum / static_cast<double>(measured) / 150.0);
    EXPECT_NE(run_->err.find(mean), std::string::npos) << mean << run_->err;
}

TEST_F(CliRun, TimedSpeedTotalsTheReadsThatWereTimed) {
    ASSERT_EQ(run_->status, 3) << run_->err;  // complete, with the disc's two scratched areas
    // Each readable block's line holds Trunc(sectors x 2000 / ms) of its timed read, which
    // gives back the whole milliseconds; a block in error (speed 0) counts for nothing.
    long long sectors = 0;
    long long milliseconds = 0;
    for (const std::string& line : ResultLines(ReadBytes(*dir_ / "run.dat"))) {
        const long speed = std::stol(line.substr(line.find(' ') + 1));
        if (speed == 0) {
            continue;
        }
        const long ms = 800 * 2000 / speed;
        ASSERT_EQ(800 * 2000 / ms, speed) << line;
        sectors += 800;
        milliseconds += ms;
    }
    char expected[96];
    std::snprintf(expected, sizeof expected,
                  "Timed speed:     %.0f KB/s (%lld sectors in %lld ms)\n",
                  static_cast<double>(sectors) * 2000.0 / static_cast<double>(milliseconds),
                  sectors, milliseconds);
    EXPECT_NE(run_->err.find(expected), std::string::npos) << expected << run_->err;
}

TEST(CliMeasure, SaveThatFailsAfterTheRunExits1) {
    // The AutoSave names come from the label, so nothing can check them before the run: a
    // folder where the picture should go is found only at the end, after the run.
    TempDir dir;
    const std::string base = "DISCOMETER_DEMO" + std::string(17, ' ');
    fs::create_directory(dir / (base + ".bmp"));
    const Finished f =
        RunCli({"measure", "sim-unpaced", "--autosave", "--dat", "run.dat"}, {}, dir.path());
    EXPECT_EQ(f.status, 1);
    EXPECT_NE(f.err.find("discometer-cli: cannot create file '" + (dir / (base + ".bmp")).string() +
                         "': Is a directory\n"),
              std::string::npos)
        << f.err;
    EXPECT_NE(f.err.find("State:           Complete\n"), std::string::npos);
    // What was written, and only that, is said to be: the picture failed, its data file did not.
    EXPECT_FALSE(ReadBytes(dir / "run.dat").empty());
    EXPECT_EQ(ReadBytes(dir / (base + ".dat")), ReadBytes(dir / "run.dat"));
    EXPECT_NE(f.err.find("Written:         'run.dat'\n"), std::string::npos) << f.err;
    EXPECT_NE(f.err.find("Written:         '" + base + ".dat'\n"), std::string::npos) << f.err;
    EXPECT_EQ(f.err.find("Written:         '" + base + ".bmp"), std::string::npos) << f.err;
}

TEST(CliMeasure, SequencersTimeWhatTheWindowTimes) {
    // "800" names the default sequencer, 800-200.
    for (const auto& [flag, mark] :
         {std::pair{"1000", run::MenuMark::N1000}, std::pair{"800", run::MenuMark::N800},
          std::pair{"600-400", run::MenuMark::N600}}) {
        TempDir dir;
        const Finished f = RunCli(
            {"measure", "sim-unpaced", "--sequencer", flag, "--dat", (dir / "s.dat").string()});
        ASSERT_EQ(f.status, 3) << flag << ": " << f.err;
        WindowRun window(mark);
        ASSERT_TRUE(window.Start());
        window.RunToEnd();
        EXPECT_EQ(ReadBytes(dir / "s.dat"), window.SaveData(dir / "window.dat")) << flag;
    }
}

TEST(CliMeasure, ReadSpeedIsHandedToTheDriveAndSaid) {
    TempDir dir;
    const Finished capped =
        RunCli({"measure", "sim-unpaced", "--speed", "16", "--dat", (dir / "capped.dat").string()});
    ASSERT_EQ(capped.status, 3) << capped.err;  // the scratched areas
    const std::vector<std::string> results = ResultLines(ReadBytes(dir / "capped.dat"));
    ASSERT_GT(results.size(), 100u);
    for (const std::string& line : results) {
        ASSERT_LE(std::stol(line.substr(line.find(' ') + 1)), 2400) << line;
    }
    EXPECT_NE(capped.err.find("Read speed:      16x asked (2400 KB/s); the drive read up to "),
              std::string::npos);
    EXPECT_EQ(capped.err.find("did not take"), std::string::npos);
    EXPECT_EQ(capped.err.find("not honoured"), std::string::npos);
    EXPECT_NE(capped.err.find("Drive:           Discometer Simulated CD-ROM 52x SIM1  CD-ROM\n"),
              std::string::npos)
        << capped.err;

    // A disc image takes no speed: said, and measured at its own.
    const fs::path image = dir / "disc.iso";
    platform::SimDiscParams disc;
    disc.volumeSectors = 20000;
    disc.volumeId = "IMAGE";
    ASSERT_TRUE(platform::WriteSparseImage(disc, image.string()));
    const Finished refused = RunCli({"measure", image.string(), "--speed=8"});
    EXPECT_EQ(refused.status, 0) << refused.err;
    EXPECT_NE(refused.err.find("the drive did not take the read speed 8x"), std::string::npos);
    EXPECT_NE(refused.err.find("Read speed:      8x, refused by the drive"), std::string::npos);
    EXPECT_EQ(refused.err.find("Drive:"), std::string::npos) << "an image has no identity";
    // A speed of no step of the medium is its maximum, and said so.
    const fs::path dvd = dir / "dvd.iso";
    disc.volumeSectors = 460000;
    ASSERT_TRUE(platform::WriteSparseImage(disc, dvd.string()));
    const Finished noStep = RunCli({"measure", dvd.string(), "--speed", "52"});
    EXPECT_EQ(noStep.status, 0) << noStep.err;
    EXPECT_NE(noStep.err.find("52x is no read speed of this disc's medium"), std::string::npos)
        << noStep.err;
    EXPECT_NE(noStep.err.find("Read speed:      Max\n"), std::string::npos) << noStep.err;
    const Finished fastest = RunCli({"measure", image.string(), "--speed", "max"});
    EXPECT_EQ(fastest.status, 0) << fastest.err;
    EXPECT_NE(fastest.err.find("Read speed:      Max\n"), std::string::npos);

    // Only the speeds of the window's menu, once.
    for (const char* bad : {"17", "0", "16x", "fast", ""}) {
        EXPECT_EQ(RunCli({"measure", "sim", "--speed", bad}).status, 2) << bad;
    }
    EXPECT_EQ(RunCli({"measure", "sim", "--speed", "16", "--speed", "8"}).status, 2);
    EXPECT_EQ(RunCli({"measure", "sim", "--speed"}).status, 2);
}

TEST(CliMeasure, DiscImageMadeByXorriso) {
    TempDir dir;
    const auto image = MakeImage(dir, "disc.iso", "CLI_TEST_DISC", 6 << 20);
    const auto isoinfo = FindTool("isoinfo");
    if (!image || !isoinfo) {
        GTEST_SKIP() << "xorriso and isoinfo (packages xorriso, genisoimage) are needed";
    }
    const Finished info = RunTool({*isoinfo, "-d", "-i", image->string()});
    ASSERT_EQ(info.status, 0) << info.err;
    const std::string volumeId = IsoinfoValue(info.out, "Volume id: ");
    const std::string volumeSize = IsoinfoValue(info.out, "Volume size is: ");
    ASSERT_EQ(volumeId, "CLI_TEST_DISC");
    ASSERT_GT(std::stol(volumeSize), 3000);

    // A relative path names the image, as the drive list's absolute one would.
    const Finished f = RunCli({"measure", "./disc.iso", "--dat", "disc.dat"}, {}, dir.path());
    ASSERT_EQ(f.status, 0) << f.err;
    const std::string dat = ReadBytes(dir / "disc.dat");
    EXPECT_EQ(ValueOf(dat, "VolLabel"), volumeId + std::string(32 - volumeId.size(), ' '));
    EXPECT_EQ(ValueOf(dat, "VolSize"), volumeSize);
    EXPECT_EQ(ValueOf(dat, "Name"), "CDROM");
    // Every block of the image is readable: the run ends complete without errors.
    const auto results = ResultLines(dat);
    ASSERT_FALSE(results.empty());
    for (const std::string& line : results) {
        EXPECT_TRUE(StartsWithTwoNumbers(line)) << line;
        EXPECT_NE(line.substr(line.find(' ') + 1), "0") << line;
    }
    EXPECT_NE(f.err.find("State:           Complete\n"), std::string::npos);
    EXPECT_NE(f.err.find("Blocks in error: 0\n"), std::string::npos);
}

TEST(CliMeasure, SignalsStopTheRunLikeTheStopButton) {
    TempDir dir;
    // The paced drive takes about 20 s for the whole disc: long enough to interrupt.
    Child child(CliArgs({"measure", "sim", "--dat", (dir / "stop.dat").string(), "--bmp",
                         (dir / "stop.bmp").string()}));
    const auto first = child.ReadLine();
    ASSERT_TRUE(first.has_value()) << child.err;
    EXPECT_TRUE(StartsWithTwoNumbers(*first)) << *first;
    EXPECT_EQ(first->rfind("1 ", 0), 0u) << *first;
    child.Signal(SIGINT);
    const Finished f = child.Finish();
    EXPECT_EQ(f.status, 130) << f.err;
    EXPECT_NE(f.err.find("State:           System Stopped\n"), std::string::npos) << f.err;

    // The files are those of a window whose Stop button was pressed after as many blocks.
    const std::string dat = ReadBytes(dir / "stop.dat");
    const std::size_t measured = ResultLines(dat).size();
    ASSERT_GE(measured, 1u);
    ASSERT_LT(measured, 160u);  // stopped well before the end of the 166 measured blocks
    WindowRun window;
    ASSERT_TRUE(window.Start());
    for (std::size_t i = 1; i < measured; ++i) {
        window.Tick();
    }
    window.Stop();
    window.Tick();
    ASSERT_FALSE(window.Running());
    ASSERT_EQ(window.State(), "System Stopped");
    EXPECT_EQ(dat, window.SaveData(dir / "window.dat"));
    EXPECT_EQ(ReadBytes(dir / "stop.bmp"), window.SaveGraphic(dir / "window.bmp"));

    // SIGTERM stops the same way.
    Child term(CliArgs({"measure", "sim"}));
    ASSERT_TRUE(term.ReadLine().has_value()) << term.err;
    term.Signal(SIGTERM);
    const Finished t = term.Finish();
    EXPECT_EQ(t.status, 130) << t.err;
    EXPECT_NE(t.err.find("System Stopped"), std::string::npos);
}

TEST(CliMeasure, UnreadableDeviceIsSaidWithTheReason) {
    TempDir dir;
    WriteRandomFile(dir / "locked.img", 4 * 2048, 4);
    ::chmod((dir / "locked.img").c_str(), 0600);
    ::chmod(dir.path().c_str(), 0755);
    std::vector<std::string> argv = CliArgs({"measure", (dir / "locked.img").string()});
    if (::geteuid() == 0) {
        // Root reads everything: run as nobody instead.
        const auto setpriv = FindTool("setpriv");
        if (!setpriv) {
            GTEST_SKIP() << "setpriv is needed to drop root";
        }
        argv.insert(argv.begin(), {*setpriv, "--reuid=65534", "--regid=65534", "--clear-groups"});
    }
    Child child(argv);
    const Finished f = child.Finish();
    EXPECT_EQ(f.status, 1);
    EXPECT_NE(f.err.find("cannot open " + (dir / "locked.img").string() + ": Permission denied"),
              std::string::npos)
        << f.err;
}

// --- replay ------------------------------------------------------------------------------------

TEST_F(CliRun, ReplayReproducesThePicture) {
    ASSERT_EQ(run_->status, 3) << run_->err;
    const fs::path replayed = *dir_ / "replayed.bmp";
    const Finished f = RunCli({"replay", (*dir_ / "run.dat").string(), "--bmp", replayed.string()});
    ASSERT_EQ(f.status, 0) << f.err;

    // What the window's Load Data draws from the same file.
    WindowRun window;
    window.LoadData(*dir_ / "run.dat");
    EXPECT_EQ(ReadBytes(replayed), window.SaveGraphic(*dir_ / "window-replay.bmp"));

    // And the live run's picture again, below the title (whose system name follows the
    // replay's rule): the file keeps whole KB/s, so the curve may lie one pixel apart.
    const auto live = platform::LoadBmpFile((*dir_ / "run.bmp").string());
    const auto again = platform::LoadBmpFile(replayed.string());
    ASSERT_TRUE(live && again);
    constexpr platform::Color kCurve = 0xE0E000;
    const auto curveNear = [](const platform::Bitmap& b, int x, int y) {
        for (int dy = -1; dy <= 1; ++dy) {
            if (b.Pixel(x, y + dy) == kCurve) {
                return true;
            }
        }
        return false;
    };
    int differing = 0;
    for (int y = 15; y < run::Chart::kHeight; ++y) {
        for (int x = 0; x < run::Chart::kWidth; ++x) {
            if (live->Pixel(x, y) != again->Pixel(x, y)) {
                ++differing;
                EXPECT_TRUE(curveNear(*live, x, y) && curveNear(*again, x, y))
                    << "at " << x << "," << y;
            }
        }
    }
    EXPECT_LT(differing, 60);

    EXPECT_NE(f.out.find("Program:         Discometer v2.32\n"), std::string::npos) << f.out;
    EXPECT_NE(f.out.find("Drive:           CDROM\n"), std::string::npos);
    EXPECT_NE(f.out.find("Volume:          'DISCOMETER_DEMO', 333000 sectors\n"),
              std::string::npos);
    EXPECT_NE(f.out.find("Blocks in error: 2\n"), std::string::npos);
    EXPECT_NE(f.out.find("State:           Complete\n"), std::string::npos);
}

TEST(CliStandardStreams, DashIsStandardOutputForTheDocumentAndStandardInputForAReplay) {
    TempDir dir;
    const Finished toFile = RunCli({"measure", "sim-unpaced", "--dat", "run.dat"}, {}, dir.path());
    ASSERT_EQ(toFile.status, 3) << toFile.err;
    const Finished toOut = RunCli({"measure", "sim-unpaced", "--dat", "-"}, {}, dir.path());
    EXPECT_EQ(toOut.status, 3) << toOut.err;
    // Standard output holds the document alone, byte for byte; the block lines make way.
    EXPECT_EQ(toOut.out, ReadBytes(dir / "run.dat"));
    EXPECT_EQ(Lines(toFile.out), ResultLines(toOut.out));
    EXPECT_NE(toOut.err.find(Lines(toFile.out).front() + "\n"), std::string::npos);
    EXPECT_NE(toOut.err.find("State:           Complete\n"), std::string::npos);
    EXPECT_FALSE(fs::exists(dir / "-"));

    const std::string cli = "'" + kCli + "'";
    const Finished fromIn = RunTool(
        {"/bin/sh", "-c",
         "cd '" + dir.path().string() + "' && " + cli + " replay - --bmp in.bmp < run.dat"});
    const Finished fromFile = RunCli({"replay", "run.dat", "--bmp", "file.bmp"}, {}, dir.path());
    EXPECT_EQ(fromIn.status, 0) << fromIn.err;
    EXPECT_EQ(ReadBytes(dir / "in.bmp"), ReadBytes(dir / "file.bmp"));
    const auto figures = [](const std::string& out) {
        const std::size_t from = out.find("State:");
        return out.substr(from, out.find("Written:") - from);
    };
    EXPECT_EQ(figures(fromIn.out), figures(fromFile.out)) << fromIn.out;

    // Nothing on standard input is no document.
    const Finished empty = RunTool({"/bin/sh", "-c", cli + " replay - < /dev/null"});
    EXPECT_EQ(empty.status, 1);
    EXPECT_NE(empty.err.find("No right Transfer Results in this file found"), std::string::npos)
        << empty.err;
}

TEST(CliReplay, SpeedsComeInTheMultiplesOfTheVolumesMedium) {
    TempDir dir;
    struct Row {
        const char* volumeSize;
        const char* maximum;
        const char* minimum;
        const char* mean;
    };
    for (const Row& row : {
             Row{"2295104", "21917 KB/s (16.2x DVD)", "0 KB/s (0.0x DVD)",
                 "20958 KB/s (15.5x DVD)"},
             Row{"12219392", "21917 KB/s (5.0x BD)", "0 KB/s (0.0x BD)", "20958 KB/s (4.8x BD)"},
         }) {
        SCOPED_TRACE(row.volumeSize);
        const fs::path file = dir / "run.dat";
        std::ofstream(file, std::ios::binary)
            << "[VolInfo]\r\nVolSize=" << row.volumeSize
            << "\r\n\r\n[TransferResults]\r\n1 21917\r\n3 0\r\n5 20000\r\n";
        const Finished f = RunCli({"replay", file.string()});
        EXPECT_EQ(f.status, 0) << f.err;
        EXPECT_NE(f.out.find(std::string("Maximum speed:   ") + row.maximum + "\n"),
                  std::string::npos)
            << f.out;
        EXPECT_NE(f.out.find(std::string("Minimum speed:   ") + row.minimum + "\n"),
                  std::string::npos);
        EXPECT_NE(f.out.find(std::string("Mean speed:      ") + row.mean + "\n"),
                  std::string::npos);
    }
}

TEST(CliReplay, FilesWithoutResultsAreRefused) {
    TempDir dir;
    std::ofstream(dir / "empty.dat", std::ios::binary) << "[Builder]\r\nProgram=P\r\n";
    const std::string out = (dir / "out.bmp").string();

    const Finished missing = RunCli({"replay", (dir / "none.dat").string(), "--bmp", out});
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("Cannot open file " + (dir / "none.dat").string() +
                               ": No such file or directory\n"),
              std::string::npos)
        << missing.err;

    const Finished folder = RunCli({"replay", dir.path().string(), "--bmp", out});
    EXPECT_EQ(folder.status, 1);
    EXPECT_NE(folder.err.find("Cannot open file " + dir.path().string() + ": Is a directory\n"),
              std::string::npos)
        << folder.err;

    const Finished empty = RunCli({"replay", (dir / "empty.dat").string(), "--bmp", out});
    EXPECT_EQ(empty.status, 1);
    EXPECT_NE(empty.err.find("No right Transfer Results in this file found"), std::string::npos)
        << empty.err;
    EXPECT_FALSE(fs::exists(out));
}

// --- Installing -------------------------------------------------------------------------------

TEST(CliInstall, InstalledFilesAreWhereTheDesktopLooksAndValidate) {
    TempDir prefix;
    for (const char* component : {"cli", "desktop", "doc"}) {
        const Finished f = RunTool({DISCOMETER_CMAKE, "--install", DISCOMETER_BUILD_DIR, "--prefix",
                                    prefix.path().string(), "--component", component});
        ASSERT_EQ(f.status, 0) << component << ": " << f.out << f.err;
    }
    const fs::path share = prefix / "share";
    const fs::path desktop = share / "applications/discometer.desktop";
    const fs::path metainfo = share / "metainfo/io.github.discometer.Discometer.metainfo.xml";
    const fs::path docdir = prefix / DISCOMETER_INSTALL_DOCDIR;
    for (const fs::path& p : {prefix / "bin/discometer-cli", share / "man/man1/discometer-cli.1.gz",
                              share / "bash-completion/completions/discometer-cli", desktop,
                              metainfo, docdir / "index.html", docdir / "README.md",
                              docdir / "copyright", docdir / "changelog.gz"}) {
        EXPECT_TRUE(fs::is_regular_file(p)) << p;
    }

    // The icon the entry names, as a 32 x 32 PNG in the theme's folder of that size.
    const std::string png = ReadBytes(share / "icons/hicolor/32x32/apps/discometer.png");
    ASSERT_GE(png.size(), 24u);
    EXPECT_EQ(png.substr(0, 8), "\x89PNG\r\n\x1a\n");
    EXPECT_EQ(png.substr(12, 12), std::string("IHDR\0\0\0\x20\0\0\0\x20", 12));
    EXPECT_NE(ReadBytes(desktop).find("\nIcon=discometer\n"), std::string::npos);

    // The installed program runs.
    const Finished version = RunTool({(prefix / "bin/discometer-cli").string(), "--version"});
    EXPECT_EQ(version.status, 0);

    const auto desktopValidate = FindTool("desktop-file-validate");
    const auto appstreamcli = FindTool("appstreamcli");
    if (!desktopValidate || !appstreamcli) {
        GTEST_SKIP() << "desktop-file-validate and appstreamcli (packages desktop-file-utils, "
                        "appstream) are needed to validate";
    }
    const Finished entry = RunTool({*desktopValidate, desktop.string()});
    EXPECT_EQ(entry.status, 0) << entry.out << entry.err;
    EXPECT_EQ(entry.out.find("error"), std::string::npos) << entry.out;
    const Finished meta = RunTool({*appstreamcli, "validate", "--no-net", metainfo.string()});
    EXPECT_EQ(meta.status, 0) << meta.out << meta.err;
}

TEST(CliInstall, BashCompletesCommandsOptionsTheirValuesDrivesAndDataFiles) {
    TempDir dir;
    std::ofstream(dir / "run.dat") << "x";
    std::ofstream(dir / "run.txt") << "x";
    // A program in the place of discometer-cli whose drive list holds a drive that is no file.
    const fs::path lister = dir / "lister";
    std::ofstream(lister) << "#!/bin/sh\n[ \"$1\" = drives ] && echo sr7\n";
    fs::permissions(lister, fs::perms::owner_all);
    const std::string completion =
        (fs::path(DISCOMETER_SOURCE_DIR) / "packaging/discometer-cli.bash").string();
    // The completion of the last word, as bash asks for it, one candidate a line.
    const auto complete = [&](const std::string& program, const std::vector<std::string>& words) {
        std::string script = "source '" + completion + "'; COMP_WORDS=('" + program + "'";
        for (const std::string& w : words) {
            script += " '" + w + "'";
        }
        script += "); COMP_CWORD=" + std::to_string(words.size()) +
                  "; _discometer_cli; printf '%s\\n' \"${COMPREPLY[@]}\" | sort -u";
        Child child({"/bin/bash", "-c", script}, {}, dir.path());
        const Finished f = child.Finish();
        EXPECT_EQ(f.status, 0) << f.err;
        return Lines(f.out);
    };
    using Words = std::vector<std::string>;
    Words simulated;
    for (const platform::SimulatedEntry& e : platform::SimulatedEntries()) {
        simulated.emplace_back(e.name);
    }
    std::sort(simulated.begin(), simulated.end());
    struct Row {
        const char* name;
        Words words;
        Words expected;
    };
    for (const Row& row : {
             Row{"commands",
                 {""},
                 {"--help", "--version", "compare", "drives", "history", "measure", "replay"}},
             Row{"a command begun", {"me"}, {"measure"}},
             Row{"options", {"measure", "--s"}, {"--sequencer", "--speed"}},
             Row{"a speed", {"measure", "--speed", "1"}, {"16"}},
             Row{"a sequencer", {"measure", "--sequencer", "8"}, {"800-200"}},
             Row{"every simulated drive", {"measure", "sim"}, simulated},
             Row{"the data files to replay", {"replay", "run"}, {"run.dat"}},
             Row{"the data files to compare", {"compare", "run.dat", "run"}, {"run.dat"}},
             Row{"compare's options", {"compare", "--f"}, {"--force"}},
             Row{"measure's catalogue", {"measure", "sim", "--cat"}, {"--catalogue"}},
             Row{"history's options", {"history", "--"}, {"--help", "--json"}},
         }) {
        EXPECT_EQ(complete(kCli, row.words), row.expected) << row.name;
    }
    EXPECT_EQ(complete(lister.string(), {"measure", "sr"}), Words{"sr7"});
}

// The Debian package as CPack makes it, checked by Debian's own checker: no error, no warning.
TEST(CliInstall, DebianPackagePassesLintian) {
    // The changelog's newest entry is the version being packaged.
    const std::string changelog =
        ReadBytes(fs::path(DISCOMETER_SOURCE_DIR) / "packaging/changelog");
    EXPECT_EQ(changelog.rfind("discometer (" DISCOMETER_VERSION ") ", 0), 0u)
        << changelog.substr(0, changelog.find('\n'));

    const auto lintian = FindTool("lintian");
    if (!lintian) {
        GTEST_SKIP() << "lintian (package lintian) is needed to check the Debian package";
    }
    TempDir out;
    const Finished pack = RunTool({DISCOMETER_CPACK, "-G", "DEB", "--config",
                                   (fs::path(DISCOMETER_BUILD_DIR) / "CPackConfig.cmake").string(),
                                   "-B", out.path().string()});
    ASSERT_EQ(pack.status, 0) << pack.out << pack.err;
    std::vector<fs::path> debs;
    for (const auto& entry : fs::directory_iterator(out.path())) {
        if (entry.path().extension() == ".deb") {
            debs.push_back(entry.path());
        }
    }
    ASSERT_EQ(debs.size(), 1u) << pack.out;

    const Finished check = RunTool({*lintian, "--fail-on", "error,warning", debs[0].string()});
    EXPECT_EQ(check.status, 0) << check.out << check.err;
}

TEST(CliInstall, ManualPagesRenderWithoutWarnings) {
    const auto groff = FindTool("groff");
    if (!groff) {
        GTEST_SKIP() << "groff (package groff-base) is needed";
    }
    for (const char* page : {"discometer.1", "discometer-cli.1"}) {
        const std::string path = (fs::path(DISCOMETER_SOURCE_DIR) / "doc" / page).string();
        const Finished f = RunTool({*groff, "-man", "-Tutf8", "-ww", "-z", path});
        EXPECT_EQ(f.status, 0) << page;
        EXPECT_EQ(f.err, "") << page;
    }
}
