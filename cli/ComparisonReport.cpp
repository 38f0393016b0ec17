#include "cli/ComparisonReport.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <vector>

#include "cli/TerminalText.h"
#include "results/NumberText.h"
#include "results/VolumeLabel.h"

namespace cli {

namespace {

using results::RunComparison;
using results::RunFacts;
using results::SlowerRegion;

void Line(std::FILE* out, const char* name, const std::string& value) {
    std::fprintf(out, "%-16s %s\n", name, value.c_str());
}

std::string Counted(std::size_t n, const char* noun) {
    return std::to_string(n) + " " + noun + (n == 1 ? "" : "s");
}

std::string BlockSpan(std::int32_t first, std::int32_t last) {
    const std::string text = results::IntToText(first);
    return first == last ? text : text + "-" + results::IntToText(last);
}

// Two places after the point, whatever the locale.
std::string Fixed2(double value) {
    char buffer[400];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 2);
    return result.ec == std::errc() ? std::string(buffer, result.ptr) : "0.00";
}

std::string Percent(double ratio) {
    return results::TruncToText(ratio * 100 + 0.5) + " %";
}

std::string RunText(const RunFacts& run) {
    return Quoted(results::WithoutFill(run.label)) + ", " + results::TruncToText(run.volumeSize) +
           " sectors; " + Counted(static_cast<std::size_t>(run.blocks), "block") + " (" +
           BlockSpan(run.firstBlock, run.lastBlock) + "), " + std::to_string(run.unreadable) +
           " unreadable";
}

// Blocks at most two apart stand together: a run times every second block.
struct Group {
    std::int32_t first = 0;
    std::int32_t last = 0;
    std::size_t count = 0;
};

std::vector<Group> Grouped(const std::vector<std::int32_t>& blocks) {
    std::vector<Group> groups;
    for (const std::int32_t block : blocks) {
        if (!groups.empty() && std::int64_t{block} - groups.back().last <= 2) {
            groups.back().last = block;
            ++groups.back().count;
        } else {
            groups.push_back({block, block, 1});
        }
    }
    return groups;
}

// "3 blocks: 201-205, 300", the largest groups first and no more than a line holds.
std::string BlocksText(const std::vector<std::int32_t>& blocks) {
    constexpr std::size_t kShown = 6;
    std::vector<Group> groups = Grouped(blocks);
    std::stable_sort(groups.begin(), groups.end(),
                     [](const Group& a, const Group& b) { return a.count > b.count; });
    std::string text = Counted(blocks.size(), "block") + ": ";
    for (std::size_t i = 0; i < groups.size() && i < kShown; ++i) {
        text += (i == 0 ? "" : ", ") + BlockSpan(groups[i].first, groups[i].last);
    }
    if (groups.size() > kShown) {
        text += " and " + std::to_string(groups.size() - kShown) + " more places";
    }
    return text;
}

std::string VerdictText(const RunComparison& c) {
    std::string text(results::VerdictName(c.verdict));
    if (c.verdict == results::Verdict::Worse) {
        std::vector<std::string> why;
        if (!c.newUnreadable.empty()) {
            why.push_back(Counted(c.newUnreadable.size(), "new unreadable block"));
        }
        if (!c.slower.empty()) {
            why.push_back(Counted(c.slower.size(), "slower region"));
        }
        text += ": " + why.front() + (why.size() > 1 ? ", " + why.back() : "");
    } else if (c.verdict == results::Verdict::Better) {
        text += ": " + Counted(c.recovered.size(), "recovered block");
    }
    return text;
}

std::string UniformText(const RunComparison& c) {
    if (!c.uniformRatio) {
        return "no block was timed in both runs";
    }
    const double u = *c.uniformRatio;
    std::string text = "the later run reads at " + Percent(u) + " of the earlier's speed (" +
                       Counted(static_cast<std::size_t>(c.comparedBlocks), "block") + " compared)";
    if (u < 0.95) {
        text += ": a uniformly slower run";
    } else if (u > 1.05) {
        text += ": a uniformly faster run";
    }
    return text;
}

std::string FactsJson(const RunFacts& run) {
    return "{\"label\": " + JsonString(results::WithoutFill(run.label)) +
           ", \"volume_size\": " + results::TruncToText(run.volumeSize) +
           ", \"blocks\": " + std::to_string(run.blocks) +
           ", \"unreadable\": " + std::to_string(run.unreadable) +
           ", \"first_block\": " + std::to_string(run.firstBlock) +
           ", \"last_block\": " + std::to_string(run.lastBlock) + "}";
}

std::string BlocksJson(const std::vector<std::int32_t>& blocks) {
    std::string text = "[";
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        text += (i == 0 ? "" : ", ") + std::to_string(blocks[i]);
    }
    return text + "]";
}

}  // namespace

std::string ComparisonJson(const RunComparison& c) {
    std::string slower = "[";
    for (std::size_t i = 0; i < c.slower.size(); ++i) {
        const SlowerRegion& r = c.slower[i];
        slower += std::string(i == 0 ? "" : ", ") + "{\"first\": " + std::to_string(r.first) +
                  ", \"last\": " + std::to_string(r.last) + ", \"ratio\": " + Fixed2(r.ratio) + "}";
    }
    slower += "]";
    return "{\"verdict\": \"" + std::string(results::VerdictName(c.verdict)) +
           "\", \"new_unreadable\": " + BlocksJson(c.newUnreadable) +
           ", \"recovered\": " + BlocksJson(c.recovered) + ", \"slower\": " + slower +
           ", \"uniform_ratio\": " + (c.uniformRatio ? Fixed2(*c.uniformRatio) : "null") +
           ", \"earlier\": " + FactsJson(c.earlier) + ", \"later\": " + FactsJson(c.later) + "}";
}

void PrintComparison(std::FILE* out, const results::ComparisonResult& result) {
    if (!result.comparison) {
        return;
    }
    const RunComparison& c = *result.comparison;
    Line(out, "Earlier run:", RunText(c.earlier));
    Line(out, "Later run:", RunText(c.later));
    if (result.differentDiscs) {
        Line(out, "Note:", "compared as asked, though not of one disc: " + *result.differentDiscs);
    }
    Line(out, "Verdict:", VerdictText(c));
    if (!c.newUnreadable.empty()) {
        Line(out, "New unreadable:", BlocksText(c.newUnreadable));
    }
    std::vector<SlowerRegion> deepestFirst = c.slower;
    std::stable_sort(
        deepestFirst.begin(), deepestFirst.end(),
        [](const SlowerRegion& a, const SlowerRegion& b) { return a.ratio < b.ratio; });
    for (const SlowerRegion& r : deepestFirst) {
        Line(out, "Slower:",
             "blocks " + BlockSpan(r.first, r.last) + " at " + Percent(r.ratio) +
                 " of the earlier speed (" + Counted(static_cast<std::size_t>(r.blocks), "block") +
                 ")");
    }
    if (!c.recovered.empty()) {
        Line(out, "Recovered:", BlocksText(c.recovered));
    }
    Line(out, "Uniform change:", UniformText(c));
    std::fflush(out);
}

}  // namespace cli
