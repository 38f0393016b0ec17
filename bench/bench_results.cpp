// Loading and reading the largest data file a run can produce.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

#include "bench/LargestDocument.h"
#include "results/DocumentHeader.h"
#include "results/ResultsDocument.h"

namespace {

using bench::LargestDocument;

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

const bench::SavedDocument& Saved() {
    static const bench::SavedDocument saved(LargestDocument());
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
    state.counters["lines"] = static_cast<double>(bench::kLargestDocumentLines);
}
BENCHMARK(BM_LoadAndReadFromBytes)->Unit(benchmark::kMicrosecond);

void BM_LoadAndReadFromFile(benchmark::State& state) {
    const bench::SavedDocument& saved = Saved();
    if (!saved.Ok()) {
        state.SkipWithError("cannot write the temporary data file");
        return;
    }
    results::DataList list;
    for (auto _ : state) {
        if (results::LoadDocument(saved.Path(), list)) {
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
