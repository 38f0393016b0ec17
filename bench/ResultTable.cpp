#include "bench/ResultTable.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace bench {

namespace {

std::string Verdict(Outcome outcome) {
    switch (outcome) {
        case Outcome::Pass:
            return "pass";
        case Outcome::Fail:
            return "FAIL";
        case Outcome::NotMeasured:
            return "not measured";
        case Outcome::NoTarget:
            break;
    }
    return "-";
}

void PrintLine(std::ostream& out, const std::array<std::string, 4>& cells,
               const std::array<std::size_t, 4>& widths) {
    out << '|';
    for (std::size_t i = 0; i < cells.size(); ++i) {
        out << ' ' << cells[i] << std::string(widths[i] - cells[i].size(), ' ') << " |";
    }
    out << '\n';
}

}  // namespace

void ResultTable::Print(std::ostream& out) const {
    const std::array<std::string, 4> head{"what", "measured", "target", "result"};
    std::array<std::size_t, 4> widths{};
    for (std::size_t i = 0; i < head.size(); ++i) {
        widths[i] = head[i].size();
    }
    std::vector<std::array<std::string, 4>> lines;
    for (const TableRow& row : rows_) {
        lines.push_back({row.what, row.measured, row.target, Verdict(row.outcome)});
        for (std::size_t i = 0; i < head.size(); ++i) {
            widths[i] = std::max(widths[i], lines.back()[i].size());
        }
    }
    PrintLine(out, head, widths);
    out << '|';
    for (const std::size_t w : widths) {
        out << std::string(w + 2, '-') << '|';
    }
    out << '\n';
    for (const auto& line : lines) {
        PrintLine(out, line, widths);
    }
    if (!notes_.empty()) {
        out << '\n';
    }
    for (const std::string& note : notes_) {
        out << "- " << note << '\n';
    }
}

std::string Fixed(double value, int decimals) {
    std::array<char, 64> text{};
    std::snprintf(text.data(), text.size(), "%.*f", decimals, value);
    return text.data();
}

}  // namespace bench
