// The comparison of two runs on the command line, run as a process: the report a person
// reads, the JSON a script reads, the chart with the earlier curve behind the later, the
// comparison after a measured run, and the exit statuses of each.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "platform/BmpFile.h"
#include "results/ComparisonChart.h"
#include "support/CliProcess.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;
using namespace cliprocess;
using fixtures::ReadBytes;
using fixtures::TempDir;

// A saved run of a CD read from 3000 to 8000 KB/s, every second block timed, with the
// speeds of `changes` in place of those blocks' own.
std::string WriteRun(const fs::path& path, const std::map<int, int>& changes = {},
                     const std::string& label = "AGEING_CD") {
    std::ofstream out(path, std::ios::binary);
    out << "[VolInfo]\r\nVolLabel=" << label << "\r\nVolSize=333000\r\n\r\n[TransferResults]\r\n";
    for (int b = 1; b <= 331; b += 2) {
        const auto changed = changes.find(b);
        out << b << ' ' << (changed != changes.end() ? changed->second : 3000 + 15 * b) << "\r\n";
    }
    return path.string();
}

// Block 121 lost, and 201 to 205 read at half their speed.
const std::map<int, int> kAged{{121, 0}, {201, 3007}, {203, 3022}, {205, 3037}};

TEST(CliCompare, VerdictsErrorsAndUsageHaveTheirExitStatuses) {
    TempDir dir;
    const std::string earlier = WriteRun(dir / "earlier.dat");
    const std::string later = WriteRun(dir / "later.dat", kAged);
    const std::string other = WriteRun(dir / "other.dat", {}, "OTHER_CD");
    const std::string cut = (dir / "cut.dat").string();
    std::ofstream(cut, std::ios::binary)
        << "[VolInfo]\r\nVolSize=333000\r\n[TransferResults]\r\n1 3015\r\n3";
    struct Row {
        const char* name;
        std::vector<std::string> args;
        int status;
        std::string out;  // a part of standard output, or nothing there
        std::string err;  // the same of standard error
    };
    // clang-format off: a row a line
    const Row rows[] = {
        {"the same run", {earlier, earlier}, 0, "Verdict:         same\n", ""},
        {"worse, the largest changes first",
         {earlier, later},
         4,
         "Verdict:         worse: 1 new unreadable block, 1 slower region\n"
         "New unreadable:  1 block: 121\n"
         "Slower:          blocks 201-205 at 50 % of the earlier speed (3 blocks)\n"
         "Uniform change:  the later run reads at 100 %",
         ""},
        {"better", {later, earlier}, 0, "Verdict:         better: 1 recovered block\n", ""},
        {"another disc",
         {earlier, other},
         1,
         "",
         "different labels: 'AGEING_CD' in the earlier run, 'OTHER_CD' in the later; --force"},
        {"another disc, forced", {earlier, other, "--force"}, 0, "Note:", ""},
        {"a damaged file", {cut, earlier}, 1, "", "cut.dat': line 5 is no result line"},
        {"a missing file", {earlier, (dir / "none.dat").string()}, 1, "", "cannot read '"},
        {"one file", {earlier}, 2, "", "compare needs two data files"},
        {"both from standard input", {"-", "-"}, 2, "", "only one of the data files"},
        {"the chart over a data file", {earlier, later, "--bmp", later}, 2, "", "the same file"},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        std::vector<std::string> args{"compare"};
        args.insert(args.end(), row.args.begin(), row.args.end());
        const Finished f = RunCli(args);
        EXPECT_EQ(f.status, row.status) << f.err;
        for (const auto& [text, part] :
             {std::pair{&f.out, &row.out}, std::pair{&f.err, &row.err}}) {
            if (part->empty()) {
                EXPECT_EQ(*text, "");
            } else {
                EXPECT_NE(text->find(*part), std::string::npos) << *text;
            }
        }
    }
}

TEST(CliCompare, JsonIsOneObjectWithTheBlocksAsTheDocumentsNumberThem) {
    TempDir dir;
    // The earlier run from standard input.
    const Finished f =
        RunTool({"/bin/sh", "-c", "exec \"$0\" compare - \"$1\" --json < \"$2\"", kCli,
                 WriteRun(dir / "later.dat", kAged), WriteRun(dir / "earlier.dat")});
    EXPECT_EQ(f.status, 4) << f.err;
    const std::string run = "{\"label\": \"AGEING_CD\", \"volume_size\": 333000, \"blocks\": 166, ";
    EXPECT_EQ(f.out,
              "{\"verdict\": \"worse\", \"new_unreadable\": [121], \"recovered\": [], "
              "\"slower\": [{\"first\": 201, \"last\": 205, \"ratio\": 0.50}], "
              "\"uniform_ratio\": 1.00, \"earlier\": " +
                  run + "\"unreadable\": 0, \"first_block\": 1, \"last_block\": 331}, " +
                  "\"later\": " + run +
                  "\"unreadable\": 1, \"first_block\": 1, \"last_block\": 331}}\n");

    // A label's quotes, control bytes and 8-bit characters stay a valid JSON string.
    const std::string odd = WriteRun(dir / "odd.dat", {}, "Q\"\\\x1b\xC9Z");
    const Finished f2 = RunCli({"compare", odd, odd, "--json"});
    EXPECT_NE(f2.out.find("\"label\": \"Q\\\"\\\\\\u001b\xC3\x89Z\""), std::string::npos) << f2.out;
}

TEST(CliCompare, ChartDrawsTheEarlierCurveBehindTheLaterRunsOwn) {
    TempDir dir;
    const std::string later = WriteRun(dir / "later.dat", kAged);
    const fs::path compared = dir / "compared.bmp";
    const fs::path replayed = dir / "replayed.bmp";
    EXPECT_EQ(RunCli({"compare", WriteRun(dir / "earlier.dat"), later, "--bmp", compared}).status,
              4);
    EXPECT_EQ(RunCli({"replay", later, "--bmp", replayed}).status, 0);
    const auto with = platform::LoadBmpFile(compared.string());
    const auto without = platform::LoadBmpFile(replayed.string());
    ASSERT_TRUE(with && without);
    ASSERT_EQ(with->Pixels().size(), without->Pixels().size());
    int behind = 0;
    int overdrawn = 0;
    for (std::size_t i = 0; i < with->Pixels().size(); ++i) {
        const platform::Color was = without->Pixels()[i];
        const platform::Color now = with->Pixels()[i];
        if (now != was) {
            // Only the black field and the grid make way for it; the legend's second colour
            // stands on its own row.
            const bool field = was == 0x000000 || was == 0x909090;
            const auto row = static_cast<std::int32_t>(i / static_cast<std::size_t>(with->Width()));
            const bool legend = row >= results::kLegendRow && row < results::kLegendRow + 13 &&
                                now == results::kEarlierErrorColor;
            ++((now == results::kEarlierCurveColor && field) || legend ? behind : overdrawn);
        }
    }
    EXPECT_EQ(overdrawn, 0);
    EXPECT_GT(behind, 0);
    // Block 203 at 6045 KB/s in the earlier run, where the later curve has fallen away.
    EXPECT_EQ(with->Pixel(30 + 294, 101), results::kEarlierCurveColor);
}

TEST(CliCompare, MeasureComparesAfterTheRunAndWorseGoesBeforeUnreadable) {
    TempDir dir;
    const std::string first = (dir / "first.dat").string();
    ASSERT_EQ(RunCli({"measure", "sim-unpaced", "--dat", first}).status, 3);
    // The same disc before its two unreadable blocks.
    std::string younger = ReadBytes(first);
    for (const std::string lost : {"\n121 0\r", "\n248 0\r"}) {
        const std::size_t at = younger.find(lost);
        ASSERT_NE(at, std::string::npos) << lost;
        younger.replace(at, lost.size(), lost.substr(0, 5) + "5000\r");
    }
    std::ofstream(dir / "younger.dat", std::ios::binary) << younger;
    struct Row {
        std::string earlier;
        int status;
        std::string said;
        bool drawn;  // the earlier curve behind the chart written
    };
    const Row rows[] = {
        {first, 3, "Verdict:         same\n", true},
        {(dir / "younger.dat").string(), 4,
         "Verdict:         worse: 2 new unreadable blocks\nNew unreadable:  2 blocks: 121, 248\n",
         true},
        {WriteRun(dir / "other.dat"), 1, "not two runs of one disc", false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.earlier);
        const fs::path written = dir / "written.dat";
        const fs::path chart = dir / "written.bmp";
        fs::remove(written);
        const Finished f = RunCli({"measure", "sim-unpaced", "--dat", written.string(), "--bmp",
                                   chart.string(), "--compare", row.earlier});
        EXPECT_EQ(f.status, row.status);
        EXPECT_NE(f.err.find(row.said), std::string::npos) << f.err;
        EXPECT_TRUE(fs::exists(written)) << "the run is written whatever the comparison";
        const auto picture = platform::LoadBmpFile(chart.string());
        ASSERT_TRUE(picture);
        const auto earlierPixels =
            std::ranges::count(picture->Pixels(), results::kEarlierCurveColor);
        EXPECT_EQ(earlierPixels > 0, row.drawn) << earlierPixels;
    }
    // An earlier run that cannot be read is said before anything is measured.
    const Finished missing = RunCli({"measure", "sim-unpaced", "--dat", (dir / "no.dat").string(),
                                     "--compare", (dir / "none.dat").string()});
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("cannot read '"), std::string::npos) << missing.err;
    EXPECT_EQ(missing.out, "");
    EXPECT_FALSE(fs::exists(dir / "no.dat"));
}

}  // namespace
