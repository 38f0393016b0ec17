// The command-line companion, run as a process: its commands, exit statuses and messages,
// and the files it writes, compared with the window's run of the same disc.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include <QApplication>
#include <QTimer>

#include "RunFakes.h"
#include "TempDir.h"
#include "WindowFixture.h"
#include "platform/BmpFile.h"
#include "platform/LinuxSystem.h"
#include "results/Replay.h"
#include "system/DriveDiscovery.h"
#include "ui/StatusBar.h"
#include "ui/Unit1.h"

extern char** environ;

namespace fs = std::filesystem;
using fixtures::ReadBytes;
using fixtures::TempDir;

namespace {

const std::string kCli = DISCOMETER_CLI;
constexpr auto kProcessLimit = std::chrono::seconds(60);
// Far from every exit status, so that a program killed by SIGINT cannot pass for one that
// caught it and exited with 130.
constexpr int kKilledBy = 1000;

// --- Processes -------------------------------------------------------------------------

struct Finished {
    int status = -1;  // the exit status, or kKilledBy + the signal that ended the program
    std::string out;
    std::string err;
};

// Environment changes for a child: a value sets the variable, nothing removes it.
using EnvChanges = std::map<std::string, std::optional<std::string>>;

std::vector<std::string> ChildEnvironment(const EnvChanges& changes) {
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string entry = *e;
        const std::string name = entry.substr(0, entry.find('='));
        if (changes.count(name) == 0) {
            env.push_back(entry);
        }
    }
    for (const auto& [name, value] : changes) {
        if (value) {
            env.push_back(name + "=" + *value);
        }
    }
    return env;
}

// A program running with its stdout and stderr read through pipes.
class Child {
  public:
    Child(std::vector<std::string> argv, const EnvChanges& env = {}, const fs::path& cwd = {}) {
        int out[2];
        int err[2];
        if (::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0) {
            throw std::runtime_error("pipe");
        }
        const std::vector<std::string> envStrings = ChildEnvironment(env);
        std::vector<char*> args;
        for (auto& a : argv) {
            args.push_back(a.data());
        }
        args.push_back(nullptr);
        std::vector<char*> envp;
        for (const auto& e : envStrings) {
            envp.push_back(const_cast<char*>(e.c_str()));
        }
        envp.push_back(nullptr);
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(out[1], STDOUT_FILENO);
            ::dup2(err[1], STDERR_FILENO);
            if (!cwd.empty() && ::chdir(cwd.c_str()) != 0) {
                ::_exit(126);
            }
            ::execve(args[0], args.data(), envp.data());
            ::_exit(127);
        }
        ::close(out[1]);
        ::close(err[1]);
        out_ = out[0];
        err_ = err[0];
    }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;
    ~Child() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        if (out_ >= 0) {
            ::close(out_);
        }
        if (err_ >= 0) {
            ::close(err_);
        }
    }

    // The next line of stdout, or nothing when the program ends or the limit passes first.
    std::optional<std::string> ReadLine() {
        const auto deadline = std::chrono::steady_clock::now() + kProcessLimit;
        while (true) {
            const std::size_t nl = out.find('\n', taken_);
            if (nl != std::string::npos) {
                std::string line = out.substr(taken_, nl - taken_);
                taken_ = nl + 1;
                return line;
            }
            if (out_ < 0 || std::chrono::steady_clock::now() > deadline) {
                return std::nullopt;
            }
            Pump(100);
        }
    }

    void Signal(int signo) { ::kill(pid_, signo); }

    // Reads both pipes to their end and waits for the program.
    Finished Finish() {
        const auto deadline = std::chrono::steady_clock::now() + kProcessLimit;
        while ((out_ >= 0 || err_ >= 0) && std::chrono::steady_clock::now() < deadline) {
            Pump(100);
        }
        Finished f;
        int status = 0;
        if (out_ >= 0 || err_ >= 0) {
            ::kill(pid_, SIGKILL);  // over the limit: a hang is a failure, not a wait
        }
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
        f.status = WIFEXITED(status) ? WEXITSTATUS(status) : kKilledBy + WTERMSIG(status);
        f.out = out;
        f.err = err;
        return f;
    }

    std::string out;
    std::string err;

  private:
    // One round of reading whatever has arrived; false when nothing did.
    bool Pump(int timeoutMs) {
        pollfd fds[2] = {{out_, POLLIN, 0}, {err_, POLLIN, 0}};
        if (::poll(fds, 2, timeoutMs) <= 0) {
            return false;
        }
        for (int i = 0; i < 2; ++i) {
            int& fd = i == 0 ? out_ : err_;
            if (fd < 0 || fds[i].revents == 0) {
                continue;
            }
            char buffer[4096];
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n > 0) {
                (i == 0 ? out : err).append(buffer, static_cast<std::size_t>(n));
            } else {
                ::close(fd);
                fd = -1;
            }
        }
        return true;
    }

    pid_t pid_ = -1;
    int out_ = -1;
    int err_ = -1;
    std::size_t taken_ = 0;
};

std::vector<std::string> CliArgs(std::initializer_list<std::string> args) {
    std::vector<std::string> argv{kCli};
    argv.insert(argv.end(), args.begin(), args.end());
    return argv;
}

// The CLI with the drive list variable unset unless the caller sets it.
Finished RunCli(std::initializer_list<std::string> args, EnvChanges env = {},
                const fs::path& cwd = {}) {
    env.try_emplace(platform::kDrivesVariable, std::nullopt);
    Child child(CliArgs(args), env, cwd);
    return child.Finish();
}

Finished RunTool(std::vector<std::string> argv) {
    Child child(std::move(argv));
    return child.Finish();
}

// The full path of a tool, or nothing when it is not installed.
std::optional<std::string> FindTool(const std::string& name) {
    for (const char* dir : {"/usr/bin", "/usr/sbin", "/bin", "/usr/local/bin"}) {
        const fs::path p = fs::path(dir) / name;
        if (::access(p.c_str(), X_OK) == 0) {
            return p.string();
        }
    }
    return std::nullopt;
}

// --- Files ------------------------------------------------------------------------------

void WriteRandomFile(const fs::path& path, std::size_t bytes, unsigned seed) {
    std::mt19937 random(seed);
    std::string data(bytes, '\0');
    for (char& c : data) {
        c = static_cast<char>(random());
    }
    std::ofstream(path, std::ios::binary) << data;
}

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

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        lines.push_back(line);
    }
    return lines;
}

// The result lines of a data file: those after "[TransferResults]".
std::vector<std::string> ResultLines(const std::string& dat) {
    const std::vector<std::string> lines = Lines(dat);
    const auto header = std::find(lines.begin(), lines.end(), "[TransferResults]");
    return header == lines.end() ? std::vector<std::string>{}
                                 : std::vector<std::string>(header + 1, lines.end());
}

std::string ValueOf(const std::string& dat, const std::string& key) {
    for (const std::string& line : Lines(dat)) {
        if (line.rfind(key + "=", 0) == 0) {
            return line.substr(key.size() + 1);
        }
    }
    return "(missing)";
}

bool StartsWithTwoNumbers(const std::string& line) {
    std::istringstream in(line);
    long block = 0;
    long speed = 0;
    std::string rest;
    return static_cast<bool>(in >> block >> speed) && !(in >> rest);
}

// --- The window's run of the same disc -----------------------------------------------------

// The program's window on the simulated drive that the CLI's "sim" entries read, on this
// machine's system, driven through its own handlers: Start, the ticks of its timer, Stop,
// and the Save and Load commands with the names typed into their dialogs.
class WindowRun {
  public:
    explicit WindowRun(engine::MenuMark sequencer = engine::MenuMark::N800) {
        fixtures::App();
        auto system = std::make_unique<platform::SimSystem>(
            std::make_shared<platform::SimDrive>(platform::DemoDisc(false)));
        system->version = platform::LinuxSystem().QueryVersion();
        auto prompts = std::make_unique<fakes::FakePrompts>();
        prompts_ = prompts.get();
        form_ = std::make_unique<ui::TForm1>(std::move(system), std::move(prompts));
        switch (sequencer) {
            case engine::MenuMark::N1000:
                form_->N1000Click();
                break;
            case engine::MenuMark::N600:
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
    std::unique_ptr<ui::TForm1> form_;
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

// --- Command line --------------------------------------------------------------------------

TEST(CliUsage, BadCommandLinesExit2WithTheUsage) {
    const std::vector<std::vector<std::string>> bad = {
        {},
        {"frobnicate"},
        {"drives", "extra"},
        {"measure"},
        {"measure", "sim", "sim-unpaced"},
        {"measure", "sim,sim-unpaced"},
        {"measure", "sim", "--sequencer", "700-300"},
        {"measure", "sim", "--sequencer"},
        {"measure", "sim", "--dat"},
        {"measure", "sim", "--dat", "a", "--dat", "b"},
        {"measure", "sim", "--dat", "same", "--bmp", "same"},
        {"measure", "sim", "--frob"},
        {"replay"},
        {"replay", "a.dat", "--dat", "b.dat"},
    };
    for (const auto& args : bad) {
        std::vector<std::string> argv{kCli};
        argv.insert(argv.end(), args.begin(), args.end());
        Child child(argv);
        const Finished f = child.Finish();
        const std::string shown = args.empty() ? "(none)" : args.front();
        EXPECT_EQ(f.status, 2) << shown;
        EXPECT_NE(f.err.find("Usage:"), std::string::npos) << shown;
        EXPECT_EQ(f.out, "") << shown;
    }
}

TEST(CliUsage, HelpAndVersion) {
    const Finished help = RunCli({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("measure DRIVE"), std::string::npos);
    EXPECT_EQ(help.err, "");
    const Finished version = RunCli({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, std::string("discometer-cli ") + DISCOMETER_VERSION + "\n");
}

// --- drives ---------------------------------------------------------------------------------

TEST(CliDrives, ListsTheDrivesAsTheWindowDoes) {
    TempDir dir;
    WriteRandomFile(dir / "disc.img", 4096, 1);
    const std::string image = (dir / "disc.img").string();

    // The entries of the variable that are optical drives or images, in its order.
    const Finished chosen =
        RunCli({"drives"}, {{platform::kDrivesVariable, " sim , /no/such/device," + image + "," +
                                                            dir.path().string() + ",sim-unpaced"}});
    EXPECT_EQ(chosen.status, 0);
    EXPECT_EQ(chosen.out, "sim\n" + image + "\nsim-unpaced\n");

    const Finished none = RunCli({"drives"}, {{platform::kDrivesVariable, "/no/such/device"}});
    EXPECT_EQ(none.status, 0);
    EXPECT_EQ(none.out, "NA\n");

    // Without the variable: the kernel's optical drives, as the window's search finds them.
    platform::LinuxSystemOptions plain;
    platform::LinuxSystem system(plain);
    std::string expected;
    for (const auto& drive : system_env::FindOpticalDrives(system)) {
        expected += drive + "\n";
    }
    const Finished found = RunCli({"drives"});
    EXPECT_EQ(found.status, 0);
    EXPECT_EQ(found.out, expected.empty() ? "NA\n" : expected);
}

// --- measure ----------------------------------------------------------------------------------

TEST_F(CliRun, MeasureWritesWhatTheWindowsRunWrites) {
    ASSERT_EQ(run_->status, 0) << run_->err;
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

    // Not on a terminal: one line per measured block, exactly the document's result lines,
    // then the summary.
    const std::vector<std::string> out = Lines(run_->out);
    const std::vector<std::string> results = ResultLines(dat);
    ASSERT_GT(out.size(), results.size());
    EXPECT_EQ(std::vector<std::string>(out.begin(), out.begin() + results.size()), results);
    EXPECT_FALSE(StartsWithTwoNumbers(out[results.size()]));
    EXPECT_NE(run_->out.find("State:           Complete\n"), std::string::npos);
    EXPECT_NE(run_->out.find("Blocks read:     333\n"), std::string::npos);
    EXPECT_NE(run_->out.find("Blocks in error: 2\n"), std::string::npos);
    EXPECT_NE(run_->out.find("Maximum speed:   7804 KB/s\n"), std::string::npos);
    EXPECT_NE(run_->out.find("Minimum speed:   0 KB/s\n"), std::string::npos);
}

TEST(CliMeasure, OtherSequencersTimeWhatTheWindowTimes) {
    for (const auto& [flag, mark] : {std::pair{"1000", engine::MenuMark::N1000},
                                     std::pair{"600-400", engine::MenuMark::N600}}) {
        TempDir dir;
        const Finished f = RunCli(
            {"measure", "sim-unpaced", "--sequencer", flag, "--dat", (dir / "s.dat").string()});
        ASSERT_EQ(f.status, 0) << flag << ": " << f.err;
        WindowRun window(mark);
        ASSERT_TRUE(window.Start());
        window.RunToEnd();
        EXPECT_EQ(ReadBytes(dir / "s.dat"), window.SaveData(dir / "window.dat")) << flag;
    }
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
    EXPECT_NE(f.out.find("State:           Complete\n"), std::string::npos);
    EXPECT_NE(f.out.find("Blocks in error: 0\n"), std::string::npos);
}

TEST(CliMeasure, SignalsStopTheRunLikeTheStopButton) {
    TempDir dir;
    // The paced drive takes about 20 s for the whole disc: long enough to interrupt.
    Child child(CliArgs({"measure", "sim", "--dat", (dir / "stop.dat").string(), "--bmp",
                         (dir / "stop.bmp").string()}),
                {{platform::kDrivesVariable, std::nullopt}});
    const auto first = child.ReadLine();
    ASSERT_TRUE(first.has_value()) << child.err;
    EXPECT_TRUE(StartsWithTwoNumbers(*first)) << *first;
    EXPECT_EQ(first->rfind("1 ", 0), 0u) << *first;
    child.Signal(SIGINT);
    const Finished f = child.Finish();
    EXPECT_EQ(f.status, 130) << f.err;
    EXPECT_NE(f.out.find("State:           System Stopped\n"), std::string::npos) << f.out;

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
    Child term(CliArgs({"measure", "sim"}), {{platform::kDrivesVariable, std::nullopt}});
    ASSERT_TRUE(term.ReadLine().has_value()) << term.err;
    term.Signal(SIGTERM);
    const Finished t = term.Finish();
    EXPECT_EQ(t.status, 130) << t.err;
    EXPECT_NE(t.out.find("System Stopped"), std::string::npos);
}

TEST(CliMeasure, EveryStartFailureIsSaidAndExits1) {
    TempDir dir;
    // A volume descriptor that cannot be read: the image ends before sector 16.
    WriteRandomFile(dir / "short.img", 9 * 2048, 2);
    // Sector 16 is there but holds no ISO 9660 descriptor.
    WriteRandomFile(dir / "noiso.img", 500 * 2048, 3);
    const auto tiny = MakeImage(dir, "tiny.iso", "TINY", 100000);
    const auto cut = MakeImage(dir, "cut.iso", "CUT", 6 << 20);
    if (!tiny || !cut) {
        GTEST_SKIP() << "xorriso (package xorriso) is needed";
    }
    // An image that ends inside the first measured block, though its volume goes on.
    fs::resize_file(*cut, 1500 * 2048);

    struct Case {
        std::string drive;
        std::string message;
    };
    const std::vector<Case> cases = {
        {(dir / "short.img").string(), "no disc or unreadable volume descriptor"},
        {(dir / "noiso.img").string(), "holds no ISO 9660 data volume"},
        {tiny->string(), "the volume is too small to measure"},
        {cut->string(),
         "cannot read sectors 1000 to 1799 of " + cut->string() + ": it ends after 1500 sectors"},
        {"/no/such/device", "cannot find /no/such/device: No such file or directory"},
        {"sr97", "cannot find /dev/sr97"},
        {dir.path().string(), dir.path().string() + " is a directory"},
        {"tiny.iso", "write ./tiny.iso"},  // a bare name is a kernel name
    };
    for (const Case& c : cases) {
        const Finished f = RunCli({"measure", c.drive, "--dat", "x.dat"}, {}, dir.path());
        EXPECT_EQ(f.status, 1) << c.drive;
        EXPECT_EQ(f.err.rfind("discometer-cli: ", 0), 0u) << c.drive << ": " << f.err;
        EXPECT_NE(f.err.find(c.message), std::string::npos) << c.drive << ": " << f.err;
        EXPECT_FALSE(fs::exists(dir / "x.dat")) << c.drive;
    }

    // A folder the results cannot go to is found before the run, not after it.
    const Finished nowhere =
        RunCli({"measure", "sim", "--bmp", (dir / "no/such/folder/x.bmp").string()});
    EXPECT_EQ(nowhere.status, 1);
    EXPECT_NE(nowhere.err.find("cannot create file"), std::string::npos) << nowhere.err;
    EXPECT_EQ(nowhere.out, "");
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
    ASSERT_EQ(run_->status, 0) << run_->err;
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
    for (int y = 15; y < engine::Chart::kHeight; ++y) {
        for (int x = 0; x < engine::Chart::kWidth; ++x) {
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

TEST(CliReplay, FilesWithoutResultsAreRefused) {
    TempDir dir;
    std::ofstream(dir / "empty.dat", std::ios::binary) << "[Builder]\r\nProgram=P\r\n";
    const std::string out = (dir / "out.bmp").string();

    const Finished missing = RunCli({"replay", (dir / "none.dat").string(), "--bmp", out});
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("Cannot open file " + (dir / "none.dat").string()),
              std::string::npos)
        << missing.err;

    const Finished folder = RunCli({"replay", dir.path().string(), "--bmp", out});
    EXPECT_EQ(folder.status, 1);
    EXPECT_NE(folder.err.find("Cannot open file"), std::string::npos) << folder.err;

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
                              desktop, metainfo, docdir / "index.html", docdir / "README.md",
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
