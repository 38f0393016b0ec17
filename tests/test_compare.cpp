// Two runs of one disc compared: the blocks lost and recovered, the slower regions, the
// uniform change of a whole curve, and documents the comparison refuses.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "results/ComparisonChart.h"
#include "results/DocumentHeader.h"
#include "results/RunComparison.h"

namespace {

using namespace results;
using Lines = std::vector<BlockResult>;
using Blocks = std::vector<std::int32_t>;

// A CD read from 3000 to 8000 KB/s, every second block timed, as a run times them.
Lines Curve(std::int32_t last = 331) {
    Lines lines;
    for (std::int32_t b = 1; b <= last; b += 2) {
        lines.push_back({b, 3000.0 + 15.0 * b});
    }
    return lines;
}

Lines Scaled(Lines lines, double factor, std::int32_t first = 0, std::int32_t last = 1 << 30) {
    for (BlockResult& line : lines) {
        if (line.BlockIndex >= first && line.BlockIndex <= last) {
            line.Speed *= factor;
        }
    }
    return lines;
}

// The line of `block` given `speed`, made when the run has none.
Lines With(Lines lines, std::int32_t block, double speed) {
    auto it = std::find_if(lines.begin(), lines.end(),
                           [block](const BlockResult& l) { return l.BlockIndex >= block; });
    if (it == lines.end() || it->BlockIndex != block) {
        it = lines.insert(it, {block, 0});
    }
    it->Speed = speed;
    return lines;
}

DataList Document(const Lines& lines, const std::string& label = "AGEING_CD",
                  const std::string& size = "333000") {
    DataList document{"[VolInfo]", "VolLabel=" + label, "VolSize=" + size, "",
                      std::string(kResultsHeader)};
    for (const BlockResult& line : lines) {
        document.push_back(ResultLine(line.BlockIndex, line.Speed));
    }
    return document;
}

RunRecord Record(const DataList& document) {
    RunReading reading = ReadRunRecord(document);
    EXPECT_TRUE(reading.run) << reading.problem;
    return reading.run ? *reading.run : RunRecord{};
}

struct Region {
    std::int32_t first;
    std::int32_t last;
    double ratio;
};

struct Row {
    const char* name;
    Lines earlier;
    Lines later;
    Verdict verdict;
    Blocks newUnreadable = {};
    Blocks recovered = {};
    std::vector<Region> slower = {};
    double uniform = 1.0;
};

TEST(RunComparison, FindsWhatChangedAndNothingElse) {
    const Lines curve = Curve();
    // A drive's block-to-block noise: up to 2 % either way.
    Lines noisy = curve;
    for (BlockResult& line : noisy) {
        line.Speed *= 1 + 0.02 * std::sin(line.BlockIndex * 2.3);
    }
    // After a failed untimed read at 122 the run times the even blocks.
    Lines shifted(curve.begin(), curve.begin() + 61);  // to block 121
    for (std::int32_t b = 122; b <= 332; b += 2) {
        shifted.push_back({b, b == 122 ? 0.0 : 3000.0 + 15.0 * b});
    }
    const Lines stopped(curve.begin(), curve.begin() + 50);  // to block 99
    const Lines& c = curve;
    const auto slow = [&c](double factor, std::int32_t first, std::int32_t last) {
        return Scaled(c, factor, first, last);
    };
    using enum Verdict;
    // clang-format off: a row a line
    const Row rows[] = {
        {"identical runs", c, c, Same},
        {"another drive: the whole curve at 70 %", c, Scaled(c, 0.7), Same, {}, {}, {}, 0.7},
        {"2 % noise", c, noisy, Same},
        {"one or two slow blocks are noise", c, Scaled(slow(0.5, 51, 51), 0.5, 101, 103), Same},
        {"three slow blocks are a region",
         c,
         slow(0.6, 101, 105),
         Worse,
         {},
         {},
         {{101, 105, 0.6}}},
        {"78 % is slower, 82 % is not",
         c,
         Scaled(slow(0.78, 41, 61), 0.82, 201, 221),
         Worse,
         {},
         {},
         {{41, 61, 0.78}}},
        {"slower in a uniformly slower run",
         c,
         Scaled(Scaled(c, 0.7), 0.5, 151, 171),
         Worse,
         {},
         {},
         {{151, 171, 0.5}},
         0.7},
        {"unreadable neither counts nor breaks",
         c,
         With(slow(0.5, 151, 159), 155, 0),
         Worse,
         {155},
         {},
         {{151, 159, 0.5}}},
        {"lost and recovered", With(c, 51, 0), With(c, 121, 0), Worse, {121}, {51}},
        {"recovered alone is better", With(c, 51, 0), c, Better, {}, {51}},
        // An untimed block counts as read; one not timed is judged by its neighbours.
        {"blocks of the other parity",
         With(With(c, 201, 0), 250, 0),
         Scaled(shifted, 0.5, 300, 310),
         Worse,
         {122},
         {201, 250},
         {{300, 310, 0.5}}},
        {"nothing past a stopped run", stopped, With(With(c, 51, 0), 201, 0), Worse, {51}},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const ComparisonResult result =
            CompareRuns(Record(Document(row.earlier)), Record(Document(row.later)), false);
        EXPECT_FALSE(result.differentDiscs);
        ASSERT_TRUE(result.comparison);
        const RunComparison& c = *result.comparison;
        EXPECT_EQ(VerdictName(c.verdict), VerdictName(row.verdict));
        EXPECT_EQ(c.newUnreadable, row.newUnreadable);
        EXPECT_EQ(c.recovered, row.recovered);
        ASSERT_EQ(c.slower.size(), row.slower.size());
        for (std::size_t i = 0; i < row.slower.size(); ++i) {
            EXPECT_EQ(c.slower[i].first, row.slower[i].first);
            EXPECT_EQ(c.slower[i].last, row.slower[i].last);
            EXPECT_NEAR(c.slower[i].ratio, row.slower[i].ratio, 0.01);
        }
        ASSERT_TRUE(c.uniformRatio);
        EXPECT_NEAR(*c.uniformRatio, row.uniform, 0.01);
    }
}

TEST(RunComparison, RunsOfDifferentDiscsAreRefusedUnlessForced) {
    const Lines curve = Curve();
    const RunRecord disc = Record(Document(curve, "AGEING_CD" + std::string(23, ' ')));
    // An editor that took the label's fill leaves it the same disc.
    EXPECT_FALSE(CompareRuns(disc, Record(Document(curve)), false).differentDiscs);
    const std::pair<DataList, const char*> others[] = {
        {Document(curve, "AGEING_CD", "332000"), "333000 sectors in the earlier"},
        {Document(curve, "OTHER\x1b[2J"),
         "'AGEING_CD' in the earlier run, 'OTHER_[2J' in the later"},
        {Document(curve, "AGEING_CD", "Unknown"), "the later run gives no volume size"},
    };
    for (const auto& [document, reason] : others) {
        SCOPED_TRACE(reason);
        const ComparisonResult refused = CompareRuns(disc, Record(document), false);
        EXPECT_FALSE(refused.comparison);
        ASSERT_TRUE(refused.differentDiscs);
        EXPECT_NE(refused.differentDiscs->find(reason), std::string::npos)
            << *refused.differentDiscs;
        const ComparisonResult forced = CompareRuns(disc, Record(document), true);
        EXPECT_EQ(forced.differentDiscs, refused.differentDiscs);
        ASSERT_TRUE(forced.comparison);
        EXPECT_EQ(forced.comparison->verdict, Verdict::Same);
    }
}

TEST(RunComparison, DamagedDocumentsAreRefusedWithTheLine) {
    const DataList good = Document(Curve(9));  // line 8 is block 5's
    const std::pair<std::string, const char*> damaged[] = {
        {"5", "line 8 is no result line"},
        {"5 fast", "line 8 is no result line"},
        {"-5 2000", "line 8 is no result line"},
        {"5 2000.5", "line 8 is no result line"},
        {"9999999999 1", "line 8 is no result line"},
        {"3 2000", "line 8: block 3 does not follow"},
    };
    for (const auto& [line, problem] : damaged) {
        SCOPED_TRACE(line);
        DataList document = good;
        document[7] = line;
        const RunReading reading = ReadRunRecord(document);
        EXPECT_FALSE(reading.run);
        EXPECT_NE(reading.problem.find(problem), std::string::npos) << reading.problem;
    }
    const RunReading noResults = ReadRunRecord(DataList(good.begin(), good.begin() + 5));
    EXPECT_NE(noResults.problem.find("no transfer results"), std::string::npos);
    // Blanks an editor leaves after a line change nothing.
    DataList tolerated = good;
    tolerated[7] += " \t";
    EXPECT_TRUE(ReadRunRecord(tolerated).run);
}

}  // namespace

TEST(RunComparison, TheStatusBarsVerdictSaysWhatMadeIt) {
    using enum Verdict;
    const auto comparison = [](Verdict verdict, std::size_t lost, std::size_t recovered,
                               std::size_t slower) {
        RunComparison c;
        c.verdict = verdict;
        c.newUnreadable.assign(lost, 5);
        c.recovered.assign(recovered, 7);
        c.slower.assign(slower, SlowerRegion{10, 20, 6, 0.5});
        return c;
    };
    const std::pair<RunComparison, const char*> rows[] = {
        {comparison(Worse, 2, 1, 2), "Worse: 2 new unreadable, 2 slower regions"},
        {comparison(Worse, 0, 0, 1), "Worse: 1 slower region"},
        {comparison(Better, 0, 2, 0), "Better: 2 recovered"},
        {comparison(Same, 0, 0, 0), "Same as the earlier run"},
    };
    for (const auto& [c, note] : rows) {
        EXPECT_EQ(VerdictNote(c), note);
    }
}
