#pragma once

#include <cstdio>
#include <optional>
#include <string_view>

namespace cli {

// The program's two streams. Standard output carries what a script reads (the block lines)
// or, on a terminal, the progress line and the summary; standard error carries what a person
// reads. The first write that fails on standard output (its reader has gone: `| head`, a
// `tee` ended by Ctrl-C) closes it for good: nothing more is written there, and a run takes
// it as a request to stop.
class Streams {
  public:
    Streams(std::FILE* out, std::FILE* err, bool outIsTerminal, bool errIsTerminal)
        : out_(out), err_(err), outIsTerminal_(outIsTerminal), errIsTerminal_(errIsTerminal) {}

    bool OutIsTerminal() const { return outIsTerminal_; }
    // The width of the terminal of standard output, when it says.
    std::optional<int> OutColumns() const;
    bool OutClosed() const { return outClosed_; }

    // One line for the reader of standard output.
    void OutLine(std::string_view line);
    // Draws the progress line again, in the place of the last one.
    void DrawBar(std::string_view text);
    // Ends the progress line, so that what follows starts a line of its own.
    void EndBar();
    // A message for the user on standard error, after the program's name. It never lands
    // inside the progress line: the line makes room, and the next redraw brings it back.
    void Say(std::string_view text);
    // Text as it stands on standard error.
    void ErrText(std::string_view text);
    // Where a summary goes: with the progress line on a terminal, else to standard error, so
    // that standard output holds the block lines alone.
    std::FILE* SummaryStream() const { return outIsTerminal_ ? out_ : err_; }
    // Standard output itself, for a command whose report is its output.
    std::FILE* OutStream() const { return out_; }
    // The streams of a command whose standard output carries a file: everything else, the
    // block lines too, goes to standard error.
    Streams AllOnError() const { return Streams(err_, err_, errIsTerminal_, errIsTerminal_); }

  private:
    void Out(std::string_view text);

    std::FILE* out_;
    std::FILE* err_;
    bool outIsTerminal_;
    bool errIsTerminal_;
    bool outClosed_ = false;
    bool barShown_ = false;
};

}  // namespace cli
