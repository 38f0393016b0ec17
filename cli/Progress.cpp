#include "cli/Progress.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

#include "results/DocumentHeader.h"

namespace cli {

namespace {

constexpr std::size_t kMaxBar = 24;
constexpr std::size_t kMinBar = 10;
constexpr int kUnknownColumns = 80;
constexpr auto kRedrawEvery = std::chrono::milliseconds(100);

// The parts of the progress line, in the order they stand.
enum Part : unsigned { kBar = 1, kShare = 2, kBlock = 4, kSpeed = 8, kErrors = 16, kLeft = 32 };

// The layouts tried, richest first; the block and its speed stay to the last.
constexpr std::array<unsigned, 6> kLayouts{
    kBar | kShare | kBlock | kSpeed | kErrors | kLeft,
    kBar | kBlock | kSpeed | kErrors | kLeft,
    kBar | kBlock | kSpeed | kErrors,
    kBlock | kSpeed | kErrors | kLeft,
    kBlock | kSpeed | kErrors,
    kBlock | kSpeed,
};

std::int32_t TotalBlocks(const run::RunState& s) {
    return static_cast<std::int32_t>(std::trunc(s.VolumeSize / 1000));
}

// The speed of the last result line, as written.
std::string LastSpeed(const results::DataList& lines) {
    if (lines.empty()) {
        return "0";
    }
    const std::string& line = lines.back();
    const std::size_t blank = line.find(' ');
    return blank == std::string::npos ? "0" : line.substr(blank + 1);
}

std::string MinutesSeconds(double seconds) {
    const long long whole = std::llround(seconds);
    char text[32];
    std::snprintf(text, sizeof text, "%lld:%02lld", whole / 60, whole % 60);
    return text;
}

// The text parts of a layout, without the bar.
std::string Fields(const ProgressFigures& f, unsigned layout, double fraction) {
    std::string text;
    const auto add = [&](unsigned part, const std::string& field) {
        if ((layout & part) != 0) {
            text += text.empty() ? "" : "  ";
            text += field;
        }
    };
    char share[8];
    std::snprintf(share, sizeof share, "%3d%%", static_cast<int>(fraction * 100));
    add(kShare, share);
    // The block as wide as the total, so that the bar keeps its length as the run goes.
    const std::string total = std::to_string(f.total);
    std::string block = std::to_string(f.block);
    block.insert(0, total.size() > block.size() ? total.size() - block.size() : 0, ' ');
    add(kBlock, "block " + block + "/" + total);
    add(kSpeed, f.speed + " KB/s");
    add(kErrors, "errors " + std::to_string(f.errors));
    add(kLeft, "left " + f.left);
    return text;
}

}  // namespace

std::string ProgressLine(const ProgressFigures& f, int columns) {
    const std::size_t room = columns > 1 ? static_cast<std::size_t>(columns - 1) : 0;
    const std::int32_t shown = std::min(f.block, std::max(f.total, 1));
    const double fraction = f.total > 0 ? static_cast<double>(shown) / f.total : 1.0;
    for (const unsigned layout : kLayouts) {
        std::string fields = Fields(f, layout, fraction);
        if ((layout & kBar) == 0) {
            if (fields.size() <= room) {
                return fields;
            }
            continue;
        }
        const std::size_t frame = 3;  // "[", "] "
        if (fields.size() + frame + kMinBar > room) {
            continue;
        }
        const std::size_t width = std::min(kMaxBar, room - fields.size() - frame);
        std::string bar(static_cast<std::size_t>(fraction * static_cast<double>(width)), '#');
        bar.resize(width, '-');
        return "[" + bar + "] " + fields;
    }
    return Fields(f, kLayouts.back(), fraction).substr(0, room);
}

void ProgressReport::Begin(const run::RunState& state, const results::DataList& lines) {
    start_ = std::chrono::steady_clock::now();
    lastDraw_ = start_ - kRedrawEvery;
    // Only result lines are progress; the header stays in the document.
    printed_ = static_cast<std::size_t>(results::SearchKey(lines, results::kResultsHeader));
    Update(state, lines);
}

void ProgressReport::Update(const run::RunState& state, const results::DataList& lines) {
    if (!streams_.OutIsTerminal()) {
        PrintNewLines(lines);
        return;
    }
    const auto now = std::chrono::steady_clock::now();
    if (now - lastDraw_ >= kRedrawEvery) {
        lastDraw_ = now;
        DrawBar(state, lines);
    }
}

void ProgressReport::Finish(const run::RunState& state, const results::DataList& lines) {
    if (!streams_.OutIsTerminal()) {
        PrintNewLines(lines);
        return;
    }
    DrawBar(state, lines);
    streams_.EndBar();
}

void ProgressReport::PrintNewLines(const results::DataList& lines) {
    for (; printed_ < lines.size() && !streams_.OutClosed(); ++printed_) {
        streams_.OutLine(lines[printed_]);
    }
}

void ProgressReport::DrawBar(const run::RunState& state, const results::DataList& lines) {
    ProgressFigures f;
    f.total = TotalBlocks(state);
    f.block = state.BlockIndex;
    f.speed = LastSpeed(lines);
    f.errors = state.ErrorCount;
    const std::int32_t block = std::min(f.block, std::max(f.total, 1));
    const double elapsed =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    f.left = "--:--";
    if (block > 1 && f.total > block) {
        f.left = MinutesSeconds(elapsed / (block - 1) * (f.total - block));
    } else if (f.total <= block) {
        f.left = "0:00";
    }
    streams_.DrawBar(ProgressLine(f, streams_.OutColumns().value_or(kUnknownColumns)));
}

}  // namespace cli
