// Loading and reading the largest data file a run can produce: a 24-bit volume size allows
// 16,777 blocks of 1000 sectors, so 16,777 lines of header and results.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <string>

#include "engine/RunState.h"
#include "results/DocumentHeader.h"
#include "results/ResultsDocument.h"

namespace {

constexpr std::size_t kLines = 16'777;

results::DataList LargestDocument() {
    engine::RunState s;
    s.ProgramTitle = engine::kProgramTitleText;
    s.CopyrightLine = engine::kCopyrightText;
    s.OSPlatformId = 4;
    s.OSMajorVersion = 6;
    s.OSMinorVersion = 1;
    s.OSBuildNumber = 0x0601001C;
    s.OSCSDVersion = "6.1.0-28-amd64";
    s.DriveName = "CDROM";
    s.VolumeLabel = "DISCOMETER_DEMO                 ";
    s.VolumeSize = 16'777'215.0;
    s.BlockIndex = 1;
    s.CurSpeed = 8400.0;
    results::DataList list;
    results::WriteDocumentHeader(list, s);
    // Blocks 3, 5, 7, ... with speeds that vary like a CAV drive's, some unreadable.
    for (std::int32_t block = 3; list.size() < kLines; block += 2) {
        const double speed = block % 97 == 0 ? 0.0 : 7012.0 + (block % 5000) * 1.7;
        list.push_back(results::ResultLine(block, speed));
    }
    return list;
}

// What a replay takes from a loaded document: the header values and every result line.
double ReadAll(const results::DataList& list) {
    const results::DocumentHeader header = results::ReadDocumentHeader(list);
    double sum = header.VolSize + header.Platform;
    const std::int32_t first = results::SearchKey(list, results::kResultsHeader);
    if (first == 0 || static_cast<std::size_t>(first) >= list.size()) {
        return sum;
    }
    sum += results::ReadFirstResultSpeed(list[first]);
    for (std::size_t i = static_cast<std::size_t>(first) + 1; i < list.size(); ++i) {
        if (const auto r = results::ReadBlockResult(list[i])) {
            sum += r->Speed + r->BlockIndex;
        }
    }
    return sum;
}

// The document saved once to a temporary file, removed when the program ends.
struct SavedDocument {
    SavedDocument() {
        char pattern[] = "/tmp/discometer-bench-XXXXXX";
        const int fd = ::mkstemp(pattern);
        if (fd >= 0) {
            ::close(fd);
            path = pattern;
            ok = results::SaveDocument(LargestDocument(), path);
        }
    }
    ~SavedDocument() {
        if (!path.empty()) {
            ::unlink(path.c_str());
        }
    }
    std::string path;
    bool ok = false;
};

const SavedDocument& Saved() {
    static const SavedDocument saved;
    return saved;
}

void BM_ParseBytes(benchmark::State& state) {
    const std::string bytes = results::DocumentBytes(LargestDocument());
    for (auto _ : state) {
        results::DataList list = results::ParseDocument(bytes);
        benchmark::DoNotOptimize(list.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_ParseBytes)->Unit(benchmark::kMicrosecond);

void BM_ReadDocument(benchmark::State& state) {
    const results::DataList list = LargestDocument();
    for (auto _ : state) {
        benchmark::DoNotOptimize(ReadAll(list));
    }
}
BENCHMARK(BM_ReadDocument)->Unit(benchmark::kMicrosecond);

void BM_LoadAndReadFromBytes(benchmark::State& state) {
    const std::string bytes = results::DocumentBytes(LargestDocument());
    for (auto _ : state) {
        const results::DataList list = results::ParseDocument(bytes);
        benchmark::DoNotOptimize(ReadAll(list));
    }
    state.counters["lines"] = static_cast<double>(kLines);
}
BENCHMARK(BM_LoadAndReadFromBytes)->Unit(benchmark::kMicrosecond);

void BM_LoadAndReadFromFile(benchmark::State& state) {
    const SavedDocument& saved = Saved();
    if (!saved.ok) {
        state.SkipWithError("cannot write the temporary data file");
        return;
    }
    results::DataList list;
    for (auto _ : state) {
        if (!results::LoadDocument(saved.path, list)) {
            state.SkipWithError("cannot read the temporary data file");
            break;
        }
        benchmark::DoNotOptimize(ReadAll(list));
    }
    state.counters["lines"] = static_cast<double>(list.size());
}
BENCHMARK(BM_LoadAndReadFromFile)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
