#include "cli/Progress.h"

#include <cmath>
#include <string>

#include "results/DocumentHeader.h"

namespace cli {

namespace {

constexpr int kBarWidth = 24;
constexpr auto kRedrawEvery = std::chrono::milliseconds(100);

std::int32_t TotalBlocks(const engine::RunState& s) {
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
    const auto whole = static_cast<long long>(seconds + 0.5);
    char text[32];
    std::snprintf(text, sizeof text, "%lld:%02lld", whole / 60, whole % 60);
    return text;
}

}  // namespace

void ProgressReport::Begin(const engine::RunState& state, const results::DataList& lines) {
    start_ = std::chrono::steady_clock::now();
    lastDraw_ = start_ - kRedrawEvery;
    // Only result lines are progress; the header stays in the document.
    printed_ = static_cast<std::size_t>(results::SearchKey(lines, results::kResultsHeader));
    Update(state, lines);
}

void ProgressReport::Update(const engine::RunState& state, const results::DataList& lines) {
    if (!terminal_) {
        PrintNewLines(lines);
        return;
    }
    const auto now = std::chrono::steady_clock::now();
    if (now - lastDraw_ >= kRedrawEvery) {
        lastDraw_ = now;
        DrawBar(state, lines);
    }
}

void ProgressReport::Finish(const engine::RunState& state, const results::DataList& lines) {
    if (!terminal_) {
        PrintNewLines(lines);
        return;
    }
    DrawBar(state, lines);
    std::fputc('\n', out_);
    std::fflush(out_);
}

void ProgressReport::PrintNewLines(const results::DataList& lines) {
    for (; printed_ < lines.size(); ++printed_) {
        std::fprintf(out_, "%s\n", lines[printed_].c_str());
    }
    std::fflush(out_);
}

void ProgressReport::DrawBar(const engine::RunState& state, const results::DataList& lines) {
    const std::int32_t total = TotalBlocks(state);
    const std::int32_t block = std::min(state.BlockIndex, std::max(total, 1));
    const double fraction = total > 0 ? static_cast<double>(block) / total : 1.0;
    const int filled = static_cast<int>(fraction * kBarWidth);
    std::string bar(static_cast<std::size_t>(filled), '#');
    bar.resize(kBarWidth, '-');

    std::string left = "--:--";
    const double elapsed =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    if (block > 1 && total > block) {
        left = MinutesSeconds(elapsed / (block - 1) * (total - block));
    } else if (total <= block) {
        left = "0:00";
    }
    std::fprintf(out_, "\r[%s] %3d%%  block %d/%d  %s KB/s  errors %d  left %s\x1b[K", bar.c_str(),
                 static_cast<int>(fraction * 100), state.BlockIndex, total,
                 LastSpeed(lines).c_str(), state.ErrorCount, left.c_str());
    std::fflush(out_);
}

}  // namespace cli
