// The one table the benchmark prints: what was measured, the figure, the target and whether
// the figure meets it, with notes below that say how each figure came about.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace bench {

enum class Outcome { Pass, Fail, NotMeasured, NoTarget };

// Pass or fail by the test, or not measured when the figure could not be taken.
inline Outcome Judge(bool measured, bool pass) {
    if (!measured) {
        return Outcome::NotMeasured;
    }
    return pass ? Outcome::Pass : Outcome::Fail;
}

struct TableRow {
    std::string what;
    std::string measured;
    std::string target;
    Outcome outcome = Outcome::NoTarget;
};

class ResultTable {
  public:
    void Add(TableRow row) { rows_.push_back(std::move(row)); }
    void Note(std::string text) { notes_.push_back(std::move(text)); }

    // A Markdown table, readable as it is on a terminal, then the notes.
    void Print(std::ostream& out) const;

  private:
    std::vector<TableRow> rows_;
    std::vector<std::string> notes_;
};

// A figure with a fixed number of decimals.
std::string Fixed(double value, int decimals);

}  // namespace bench
