// The command-line companion on Windows, run as a process under Wine in the test prefix: the
// drive letters, raw reads of D: and of images, AutoSave, start failures, the sector library
// of the Windows 95 family, and the names of the systems Wine plays.
#include <windows.h>

#include <gtest/gtest.h>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "platform/DriveEntries.h"
#include "support/TempDir.h"
#include "support/WineTest.h"

namespace fs = std::filesystem;
using fixtures::ReadBytes;
using fixtures::TempDir;
using wine::Finished;

namespace {

const std::string kCli = wine::WindowsPath(DISCOMETER_CLI);
const std::string kLabel = wine::kTestIsoLabel + std::string(32 - 14, ' ');

// The drive list is the prefix's unless a test names its own.
Finished RunProgram(const std::string& program, std::vector<std::string> args,
                    wine::EnvChanges env = {}, const std::string& folder = {}) {
    args.insert(args.begin(), program);
    env.emplace(platform::kDrivesVariable, std::nullopt);
    return wine::Run(args, env, folder);
}

Finished RunCli(std::vector<std::string> args, wine::EnvChanges env = {},
                const std::string& folder = {}) {
    return RunProgram(kCli, std::move(args), std::move(env), folder);
}

// The value of a key of the document, or nothing.
std::optional<std::string> ValueOf(const std::string& dat, const std::string& key) {
    const std::size_t at = dat.find("\r\n" + key + "=");
    if (at == std::string::npos) {
        return std::nullopt;
    }
    const std::size_t start = at + 3 + key.size();
    return dat.substr(start, dat.find("\r\n", start) - start);
}

std::vector<std::string> ResultLines(const std::string& dat) {
    std::vector<std::string> lines;
    std::size_t at = dat.find("[TransferResults]\r\n");
    if (at == std::string::npos) {
        return lines;
    }
    at += 19;
    while (at < dat.size()) {
        const std::size_t end = dat.find("\r\n", at);
        lines.push_back(dat.substr(at, end - at));
        at = end == std::string::npos ? dat.size() : end + 2;
    }
    return lines;
}

// A copy of the program in a folder of its own, where it looks for the sector library.
std::string CopyOfCli(const TempDir& dir) {
    const fs::path copy = dir / "discometer-cli.exe";
    fs::copy_file(kCli, copy);
    return copy.string();
}

}  // namespace

TEST(CliWindows, ListsTheCdRomDrivesByLetter) {
    const Finished found = RunCli({"drives"});
    EXPECT_EQ(found.status, 0) << found.err;
    EXPECT_EQ(found.out, "D:\nE:\n");

    // The user's own entries: drives and disks that are there, images, simulated drives.
    TempDir dir;
    const Finished chosen = RunCli(
        {"drives"}, {{platform::kDrivesVariable, "sim, Q:, " + wine::TestIso() + ", C:, " +
                                                     (dir / "missing.iso").string() + ", E:"}});
    EXPECT_EQ(chosen.status, 0) << chosen.err;
    EXPECT_EQ(chosen.out, "sim\n" + wine::TestIso() + "\nC:\nE:\n");

    EXPECT_NE(chosen.err.find("entry left out: cannot find \\\\.\\Q:"), std::string::npos)
        << chosen.err;

    const Finished none = RunCli({"drives"}, {{platform::kDrivesVariable, "Q:,R:"}});
    EXPECT_EQ(none.status, 1);
    EXPECT_EQ(none.out, "");
}

TEST(CliWindows, DrivesShowTheirIdentityOnAConsoleAndStandAloneForAScript) {
    const wine::EnvChanges entries{{platform::kDrivesVariable, "sim,sim-dvd-unpaced,D:"}};
    const Finished console = wine::Run(
        {wine::WindowsPath(CONSOLE_SCREEN), wine::detail::Quoted(kCli) + " drives"}, entries);
    EXPECT_EQ(console.status, 0) << console.err;
    // Wine's drive does not say what it is: its letter stands alone.
    EXPECT_EQ(console.out, "sim" + std::string(14, ' ') +
                               "Discometer Simulated CD-ROM 52x SIM1  CD-ROM\n"
                               "sim-dvd-unpaced  Discometer Simulated DVD-ROM 16x SIM1  DVD-ROM\n"
                               "D:\n");
    const Finished piped = RunCli({"drives"}, entries);
    EXPECT_EQ(piped.out, "sim\nsim-dvd-unpaced\nD:\n");
}

TEST(CliWindows, ReadSpeedHoldsTheSimulatedDriveAndWinesDriveReadsAtItsOwn) {
    TempDir dir;
    const std::string dat = (dir / "capped.dat").string();
    const Finished capped = RunCli({"measure", "sim-unpaced", "--speed", "16", "--dat", dat});
    ASSERT_EQ(capped.status, 3) << capped.err;  // complete, with the disc's unreadable areas
    EXPECT_NE(capped.err.find("Read speed:      16x asked (2400 KB/s); the drive read up to "),
              std::string::npos)
        << capped.err;
    const auto results = ResultLines(ReadBytes(dat));
    ASSERT_GT(results.size(), 100u);
    for (const std::string& line : results) {
        EXPECT_LE(std::stol(line.substr(line.find(' ') + 1)), 2400) << line;
    }

    // Wine's drive knows no speed request, and an image has no speed: both say so, and are
    // measured at their own.
    for (const std::string& drive : {std::string(wine::kIsoDrive), wine::TestIso()}) {
        const Finished f = RunCli({"measure", drive, "--speed=8"});
        EXPECT_EQ(f.status, 0) << drive << ": " << f.err;
        EXPECT_NE(f.err.find("the drive did not take the read speed 8x; it reads at its own speed"),
                  std::string::npos)
            << f.err;
        EXPECT_NE(f.err.find("Read speed:      8x, refused by the drive"), std::string::npos)
            << f.err;
    }
}

TEST(CliWindows, MeasuresTheDiscInDAndTheSameImageByItsPath) {
    TempDir dir;
    std::vector<std::vector<std::string>> results;
    for (const std::string& drive : {std::string("D:"), wine::TestIso()}) {
        SCOPED_TRACE(drive);
        const std::string dat = (dir / "run.dat").string();
        const Finished f =
            RunCli({"measure", drive, "--dat", dat, "--bmp", (dir / "run.bmp").string()});
        ASSERT_EQ(f.status, 0) << f.err;
        EXPECT_NE(f.err.find("State:           Complete\n"), std::string::npos) << f.err;
        EXPECT_NE(f.err.find("Blocks in error: 0\n"), std::string::npos) << f.err;
        const std::string document = ReadBytes(dat);
        EXPECT_EQ(ValueOf(document, "VolLabel"), kLabel);
        EXPECT_EQ(ValueOf(document, "Platform"), "2");
        results.push_back(ResultLines(document));
        ASSERT_GE(results.back().size(), 2u);
        for (const std::string& line : results.back()) {
            EXPECT_NE(line.substr(line.find(' ') + 1), "0") << line;
        }
        EXPECT_EQ(ReadBytes(dir / "run.bmp").substr(0, 2), "BM");
    }
    EXPECT_EQ(results[0].size(), results[1].size());

    // A relative path names the image too, with either separator.
    const std::string folder = fs::path(wine::TestIso()).parent_path().string();
    for (const char* relative : {".\\disc.iso", "./disc.iso"}) {
        const Finished f = RunCli({"measure", relative}, {}, folder);
        EXPECT_EQ(f.status, 0) << relative << ": " << f.err;
    }
}

TEST(CliWindows, AutoSaveWritesUnderTheLabelInTheCurrentFolder) {
    TempDir dir;
    const Finished f = RunCli({"measure", "sim-unpaced", "--autosave"}, {}, dir.path().string());
    ASSERT_EQ(f.status, 3) << f.err;  // complete, with the disc's two unreadable areas
    const std::string base = "DISCOMETER_DEMO" + std::string(17, ' ');
    EXPECT_EQ(ReadBytes(dir / (base + ".bmp")).substr(0, 2), "BM");
    EXPECT_EQ(ValueOf(ReadBytes(dir / (base + ".dat")), "VolLabel"), base);
}

TEST(CliWindows, StartFailuresAreSaidAndExit1) {
    TempDir dir;
    std::ofstream(dir / "empty.iso").close();
    const struct {
        std::string drive;
        std::string says;
    } cases[] = {
        {"Q:", "cannot find \\\\.\\Q:"},
        {(dir / "missing.iso").string(), "cannot find " + (dir / "missing.iso").string()},
        {(dir / "empty.iso").string(), "no disc or unreadable volume descriptor in " +
                                           (dir / "empty.iso").string() + ": it holds only 0"},
        {dir.path().string(), "is a directory"},
    };
    for (const auto& c : cases) {
        const Finished f = RunCli({"measure", c.drive, "--dat", (dir / "x.dat").string()});
        EXPECT_EQ(f.status, 1) << c.drive;
        EXPECT_NE(f.err.find(c.says), std::string::npos) << c.drive << ": " << f.err;
    }
    EXPECT_FALSE(fs::exists(dir / "x.dat"));
    EXPECT_EQ(RunCli({"measure"}).status, 2);
}

TEST(SectorLibrary, Windows98ReadsThroughTheLibraryBesideTheProgram) {
    TempDir dir;
    const std::string cli = CopyOfCli(dir);
    fs::copy_file(wine::WindowsPath(SECTRD32_DLL), dir / "sectrd32.dll");
    const wine::EnvChanges library{{"SECTRD32_DRIVE", "D"}, {"SECTRD32_IMAGE", wine::TestIso()}};

    const wine::ReportedVersion win98("win98");
    const std::string dat = (dir / "run.dat").string();
    const Finished f = RunProgram(cli, {"measure", "D:", "--dat", dat}, library);
    ASSERT_EQ(f.status, 0) << f.err;
    EXPECT_NE(f.err.find("State:           Complete\n"), std::string::npos) << f.err;
    const std::string document = ReadBytes(dat);
    EXPECT_EQ(ValueOf(document, "Platform"), "1");
    EXPECT_EQ(ValueOf(document, "BuildNumber3"), "4");
    EXPECT_EQ(ValueOf(document, "BuildNumber2"), "10");
    EXPECT_EQ(ValueOf(document, "VolLabel"), kLabel);
    const auto results = ResultLines(document);
    ASSERT_GE(results.size(), 2u);
    for (const std::string& line : results) {
        EXPECT_NE(line.substr(line.find(' ') + 1), "0") << line;
    }

    // The library has no disc in E:, so the volume descriptor cannot be read.
    const Finished e = RunProgram(cli, {"measure", "E:"}, library);
    EXPECT_EQ(e.status, 1);
    EXPECT_NE(e.err.find("volume descriptor"), std::string::npos) << e.err;
}

TEST(SectorLibrary, Windows98EndsWithStatus1WithoutTheLibraryOrOneOfItsEntryPoints) {
    TempDir dir;
    const std::string cli = CopyOfCli(dir);
    {
        const wine::ReportedVersion win98("win98");
        for (const auto& command : {std::vector<std::string>{"drives"},
                                    std::vector<std::string>{"measure", "D:", "--dat", "x.dat"}}) {
            const Finished f = RunProgram(cli, command, {}, dir.path().string());
            EXPECT_EQ(f.status, 1) << command[0];
            EXPECT_EQ(f.out, "");
            EXPECT_NE(f.err.find("sector library"), std::string::npos) << f.err;
        }
        fs::copy_file(wine::WindowsPath(SECTORLIB_PARTIAL), dir / "sectrd32.dll");
        EXPECT_EQ(RunProgram(cli, {"drives"}).status, 1);
    }
    EXPECT_FALSE(fs::exists(dir / "x.dat"));
    // The NT family reads the raw device and never looks for the library.
    fs::remove(dir / "sectrd32.dll");
    const Finished nt = RunProgram(cli, {"drives"});
    EXPECT_EQ(nt.status, 0) << nt.err;
    EXPECT_EQ(nt.out, "D:\nE:\n");
}

TEST(WineVersions, NamesTheSystemWineReports) {
    const struct {
        const char* version;
        const char* name;
        const char* values;
    } systems[] = {
        {"win95", "Windows 95", "1 4 0 67109814 ||"},
        {"win98", "Windows 98", "1 4 10 67766446 | A |"},
        {"winme", "Windows ME", "1 4 90 73010104 | |"},
        {"winxp", "Windows XP Service Pack 3", "2 5 1 2600 |Service Pack 3|"},
        {"win7", "Windows NT 6.1 Service Pack 1", "2 6 1 7601 |Service Pack 1|"},
        // The manifest at work: without it Windows 8.1 and 10 say 6.2, like Windows 8.
        {"win8", "Windows NT 6.2 ", "2 6 2 9200 ||"},
        {"win81", "Windows NT 6.3 ", "2 6 3 9600 ||"},
        {"win10", "Windows NT 10.0 ", "2 10 0 "},
    };
    for (const auto& s : systems) {
        const wine::ReportedVersion version(s.version);
        const Finished f = RunProgram(wine::WindowsPath(OS_NAME_PROBE), {});
        ASSERT_EQ(f.status, 0) << s.version << ": " << f.err;
        EXPECT_EQ(f.out.substr(0, f.out.find('\n')), s.name) << s.version;
        EXPECT_EQ(f.out.find(std::string("\n") + s.values), f.out.find('\n')) << f.out;
    }
}
