// A catalogue at the scale of a large collection, and two Blu-ray runs compared: what
// `history` and `compare` take. The catalogue is built once in a temporary folder (10,000
// discs of 10 runs each, a CD's document and a side file per run: a minute or so) and
// removed at the end.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "cli/ComparisonReport.h"
#include "cli/HistoryReport.h"
#include "results/CatalogueHistory.h"
#include "results/CatalogueNames.h"
#include "results/CatalogueRecord.h"
#include "results/DiscId.h"
#include "results/ResultsDocument.h"
#include "results/RunComparison.h"

namespace {

namespace fs = std::filesystem;

constexpr int kDiscs = 10'000;
constexpr int kRunsPerDisc = 10;
constexpr std::int32_t kCdSectors = 333'000;
constexpr std::int32_t kBluRaySectors = 12'219'392;

// A run's document: every second block timed from block 1 to the volume's end, speeds rising
// from the hub with a little noise, one block in `lostEvery` unreadable (none for 0).
std::string RunDocument(const std::string& label, std::int32_t sectors, double fastest,
                        unsigned seed, int lostEvery) {
    std::mt19937 noise(seed);
    std::uniform_real_distribution<double> wobble(0.98, 1.02);
    std::string text =
        "[Builder]\r\nProgram=Discometer v2.32\r\n\r\n[VolInfo]\r\nVolLabel=" + label +
        "\r\nVolSize=" + std::to_string(sectors) + "\r\n\r\n[TransferResults]\r\n";
    const std::int32_t blocks = sectors / 1000;
    for (std::int32_t b = 1; b < blocks; b += 2) {
        const double speed = fastest * (0.4 + 0.6 * b / blocks) * wobble(noise);
        const bool lost = lostEvery > 0 && b % lostEvery == 0;
        text +=
            std::to_string(b) + " " + std::to_string(lost ? 0 : static_cast<int>(speed)) + "\r\n";
    }
    return text;
}

class Catalogue {
  public:
    Catalogue() : path_(fs::temp_directory_path() / ("discometer-bench-" + Token())) {
        for (int d = 0; d < kDiscs && ok_; ++d) {
            const std::string label = "DISC_" + std::to_string(d);
            const std::string id = results::DiscIdOf(
                {reinterpret_cast<const std::uint8_t*>(label.data()), label.size()});
            const fs::path folder = path_ / id;
            std::error_code error;
            fs::create_directories(folder, error);
            ok_ = !error;
            for (int r = 0; r < kRunsPerDisc && ok_; ++r) {
                const std::string stem =
                    results::StampOf({2016 + r, 1 + d % 12, 1 + d % 28, d % 24, r, d % 60});
                results::SideRecord side;
                side.discId = id;
                side.label = label;
                side.volumeSize = kCdSectors;
                if (r > 0) {
                    side.verdict = d % 7 == 0 ? results::Verdict::Worse : results::Verdict::Same;
                }
                ok_ =
                    Write(folder / (stem + ".dat"),
                          RunDocument(label, kCdSectors, 7800, d * 31 + r, d % 7 == 0 ? 50 : 0)) &&
                    Write(folder / (stem + ".json"), results::SideFileText(side));
            }
        }
    }
    ~Catalogue() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    Catalogue(const Catalogue&) = delete;
    Catalogue& operator=(const Catalogue&) = delete;

    bool Ok() const { return ok_; }
    std::string Path() const { return path_.string(); }

  private:
    static std::string Token() {
        std::random_device device;
        return std::to_string(device());
    }
    static bool Write(const fs::path& path, const std::string& bytes) {
        std::ofstream out(path, std::ios::binary);
        out << bytes;
        return static_cast<bool>(out);
    }

    fs::path path_;
    bool ok_ = true;
};

const Catalogue& Large() {
    static const Catalogue catalogue;
    return catalogue;
}

void BM_HistoryOfTenThousandDiscs(benchmark::State& state) {
    const Catalogue& catalogue = Large();
    if (!catalogue.Ok()) {
        state.SkipWithError("cannot build the catalogue in the temporary folder");
        return;
    }
    std::size_t discs = 0;
    for (auto _ : state) {
        const results::CatalogueHistory history = results::ReadCatalogueHistory(catalogue.Path());
        const std::string json = cli::HistoryJson(history.discs);
        benchmark::DoNotOptimize(json.data());
        discs = history.discs.size();
    }
    state.counters["discs"] = static_cast<double>(discs);
}
BENCHMARK(BM_HistoryOfTenThousandDiscs)->Unit(benchmark::kMillisecond)->Iterations(5);

// The command itself, from spawning it to its exit, its listing thrown away.
void BM_HistoryCommand(benchmark::State& state) {
    const Catalogue& catalogue = Large();
    if (!catalogue.Ok()) {
        state.SkipWithError("cannot build the catalogue in the temporary folder");
        return;
    }
    const std::string command =
        std::string("\"") + DISCOMETER_CLI + "\" history \"" + catalogue.Path() + "\" > /dev/null";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("history failed");
            break;
        }
    }
}
BENCHMARK(BM_HistoryCommand)->Unit(benchmark::kMillisecond)->Iterations(5);

// Two runs of a 25 GB Blu-ray disc, 6,109 result lines each, read from their files and
// compared as `compare --json` does.
void BM_CompareBluRayRuns(benchmark::State& state) {
    const fs::path folder = fs::temp_directory_path() / "discometer-bench-compare";
    std::error_code error;
    fs::create_directories(folder, error);
    const std::string earlierPath = (folder / "earlier.dat").string();
    const std::string laterPath = (folder / "later.dat").string();
    {
        std::ofstream(earlierPath, std::ios::binary)
            << RunDocument("DISCOMETER_BD", kBluRaySectors, 52'700, 1, 0);
        std::ofstream(laterPath, std::ios::binary)
            << RunDocument("DISCOMETER_BD", kBluRaySectors, 52'700, 2, 97);
    }
    for (auto _ : state) {
        results::DataList earlierDocument;
        results::DataList laterDocument;
        if (results::LoadDocument(earlierPath, earlierDocument) ||
            results::LoadDocument(laterPath, laterDocument)) {
            state.SkipWithError("cannot read the runs back");
            break;
        }
        const results::RunReading earlier = results::ReadRunRecord(earlierDocument);
        const results::RunReading later = results::ReadRunRecord(laterDocument);
        const results::ComparisonResult result =
            results::CompareRuns(*earlier.run, *later.run, false);
        const std::string json = cli::ComparisonJson(*result.comparison);
        benchmark::DoNotOptimize(json.data());
    }
    fs::remove_all(folder, error);
}
BENCHMARK(BM_CompareBluRayRuns)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
