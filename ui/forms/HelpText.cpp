// The help text of the about dialog, one line a string; the passages that speak of the system
// come from the build's own system.
#include "ui/forms/HelpText.h"

#include <optional>
#include <string_view>

#include "ui/forms/BuildPlatform.h"

namespace ui::forms {

namespace {

// A line of the text, or the place of one of the system's passages.
struct Piece {
    // Implicit, so that the table lists plain lines.
    // NOLINTNEXTLINE(google-explicit-constructor)
    constexpr Piece(const char* text) : line(text) {}
    // NOLINTNEXTLINE(google-explicit-constructor)
    constexpr Piece(SystemPassage where) : passage(where) {}

    std::string_view line;
    std::optional<SystemPassage> passage;
};

// clang-format off
constexpr Piece kPieces[] = {
    "              --- Program Purpose ---",
    "",
    "Discometer measures how fast an optical drive reads",
    "a data disc, from its first sector to its last, and",
    "draws the transfer speed as a chart, block by block.",
    SystemPassage::Purpose,
    "checking the quality of CD-ROM discs: a scratched or",
    "badly made disc shows up as dips, gaps and red marks",
    "under the curve.",
    "",
    "Choose the drive in the list and press Start. The",
    "program reads the disc in blocks of 1000 sectors; of",
    "every second block it times the first sectors (see",
    "the sequencer below) and plots their speed in KB/s,",
    "where 150 KB/s is single speed. Press the Stop",
    "button to end a run early: what was measured so far",
    "stays on the chart and can be saved.",
    "",
    "  --- If you want to test your CD-ROM drive performance ---",
    "",
    "1.  Use the fullest pressed data disc you have at",
    "    hand: 650 MB or more, a factory-made disc and",
    "    not a home-made CD-R, whose reflectivity and",
    "    burning quality vary too much to compare drives",
    "    by.",
    "2.  The disc must be clean and undamaged. Discometer",
    "    reads the drive’s raw device without the",
    "    system’s cache, so the figures come close to",
    "    those the manufacturer states. A drive that",
    "    spins at constant angular velocity draws a",
    "    rising curve, one at constant linear velocity a",
    "    flat line.",
    "3.  A good chart has no gaps. Slow drives give a",
    "    flat line, and so do drives that hold their",
    "    speed back on purpose; the “Max.” and “Min.”",
    "    figures at the end sum the run up. Always",
    "    compare drives with the same disc.",
    "4.  Results can be saved as pictures (.bmp) and as",
    "    data files (.dat) from the Files menu, and a",
    "    data file can be loaded and charted again later.",
    "    The AutoSave option saves both after every run.",
    "    A saved chart carries the program’s title and",
    "    the highest and lowest speed of the run.",
    "",
    "  --- If you want to check new or questionable disk ---",
    "",
    "1.  Slow drives (up to 8x) suit the checking of",
    "    discs best, because they read steadily and",
    "    report errors where faster drives slow down or",
    "    retry; any drive gives results, though. A drive",
    "    must recognise unrecoverable errors to show them",
    "    at all (see the notes).",
    "2.  Some discs fail only in certain drives. When a",
    "    disc looks bad, try it in another drive before",
    "    you throw it away, and test a disc you trust in",
    "    the same drive.",
    "",
    "              --- Program Options ---",
    "",
    "1.  AutoSave saves the chart and the data file after",
    "    each run, without asking, in the folder the",
    "    program was started from. The volume label of",
    "    the disc is the file name, so a second run on",
    "    the same disc replaces the files of the first.",
    "2.  The sequencer group sets the ratio of data to",
    "    gap within each measured block of 1000 sectors.",
    "    The default “800-200” rarely needs changing.",
    "    “1000” reads the blocks without gaps, but after",
    "    a disc error the drive may then not get back to",
    "    its speed before the next block is measured. The",
    "    choice is read when a run starts, so a change",
    "    during a run takes effect at the next one.",
    "",
    "                   --- Notes ---",
    "",
    "1.  Do not test audio CDs: they have no data track",
    "    and no volume descriptor to start from.",
    SystemPassage::Drives,
    SystemPassage::SetUp,
    "4.  Some drives (notably above 24x) retry an",
    "    unreadable sector endlessly; only the drive’s",
    "    eject button ends that. The window does not",
    "    answer while the drive is busy.",
    SystemPassage::BadSectors,
    "6.  Some drives never report bad sectors. A test",
    "    disc with a scratch made by hand tells you",
    "    whether yours does: its chart must show red",
    "    marks where the scratch is.",
    "7.  Drives of one make differ from sample to sample,",
    "    and a drive that was once reliable may tire.",
    "    Older 8x drives are often the steadiest and the",
    "    most honest about errors.",
    "",
    "       --- Program Status & Distribution ---",
    "",
    "Discometer is written by the Discometer developers.",
    "You may use it, copy it and give it away freely,",
    "changed or unchanged, as long as this notice stays",
    "with it. It comes with no warranty of any kind: you",
    "use it at your own risk.",
    "",
    "The documentation installed with the program, opened",
    "by the Home Page link above, tells more about the",
    "drive list, the data files and the command-line",
    "companion.",
};
// clang-format on

void AppendLine(std::string& text, std::string_view line) {
    text += line;
    text += "\r\n";
}

}  // namespace

std::string HelpText() {
    std::string text;
    for (const Piece& piece : kPieces) {
        if (!piece.passage) {
            AppendLine(text, piece.line);
            continue;
        }
        for (const std::string_view line : SystemPassageLines(*piece.passage)) {
            AppendLine(text, line);
        }
    }
    return text;
}

}  // namespace ui::forms
