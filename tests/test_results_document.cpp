#include <gtest/gtest.h>

#include <stdlib.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "platform/Files.h"
#include "results/DocumentHeader.h"
#include "results/NumberText.h"
#include "results/ReadSpeedReport.h"
#include "results/ResultsDocument.h"
#include "run/RunState.h"
#include "support/TempDir.h"

namespace {

using namespace results;
namespace fs = std::filesystem;

constexpr double kMaxDouble = std::numeric_limits<double>::max();

// ---------------------------------------------------------------- number conversion

TEST(ReadSpeedReport, SetsTheSpeedAskedAgainstTheFastestBlock) {
    struct Row {
        const char* name;
        std::int32_t asked;
        bool taken;
        double volumeSize;
        double fastest;
        std::string text;
    };
    for (const Row& row : {
             Row{"max", 0, true, 333000, 7800, "Max"},
             Row{"refused", 8, false, 333000, 7800,
                 "8x, refused by the drive: read at its own speed"},
             Row{"followed", 16, true, 333000, 2398,
                 "16x asked (2400 KB/s); the drive read up to 2398 KB/s"},
             Row{"within 5 %", 16, true, 333000, 2520,
                 "16x asked (2400 KB/s); the drive read up to 2520 KB/s"},
             Row{"ignored", 16, true, 333000, 7812,
                 "16x asked (2400 KB/s); the drive read up to 7812 KB/s: not honoured by the "
                 "drive"},
             // A DVD's multiples: 8 x 1352.5 KB/s, which a CD's would have called ignored.
             Row{"a DVD followed", 8, true, 2295104, 10800,
                 "8x asked (10820 KB/s); the drive read up to 10800 KB/s"},
         }) {
        SCOPED_TRACE(row.name);
        run::RunState s;
        s.ReadSpeed = row.asked;
        s.ReadSpeedTaken = row.taken;
        s.VolumeSize = row.volumeSize;
        s.MaxSpeed = row.fastest;
        EXPECT_EQ(results::ReadSpeedText(s), row.text);
        EXPECT_EQ(results::ReadSpeedNote(s).empty(),
                  row.text.find("not honoured") == std::string::npos);
    }
}

TEST(NumberText, IntegerTakesLongestDecimalPrefix) {
    EXPECT_EQ(TextToInt("42"), 42);
    EXPECT_EQ(TextToInt("   42"), 42);
    EXPECT_EQ(TextToInt("\t 7"), 7);
    EXPECT_EQ(TextToInt("-17"), -17);
    EXPECT_EQ(TextToInt("+17"), 17);
    EXPECT_EQ(TextToInt("12abc"), 12);
    EXPECT_EQ(TextToInt("4.9"), 4);
    // No digits at all.
    EXPECT_EQ(TextToInt(""), 0);
    EXPECT_EQ(TextToInt("-"), 0);
    EXPECT_EQ(TextToInt("abc"), 0);
    EXPECT_EQ(TextToInt("0x1F"), 0);
    EXPECT_EQ(TextToInt("Not Found"), 0);
}

TEST(NumberText, IntegerSaturatesAtItsLimits) {
    EXPECT_EQ(TextToInt("2147483647"), INT32_MAX);
    EXPECT_EQ(TextToInt("-2147483648"), INT32_MIN);
    EXPECT_EQ(TextToInt("2147483648"), INT32_MAX);
    EXPECT_EQ(TextToInt("-2147483649"), INT32_MIN);
    EXPECT_EQ(TextToInt("4294967295"), INT32_MAX);
    EXPECT_EQ(TextToInt(std::string(5000, '9')), INT32_MAX);
    EXPECT_EQ(TextToInt("-" + std::string(5000, '9')), INT32_MIN);
    // Leading zeros do not count towards the range.
    EXPECT_EQ(TextToInt(std::string(5000, '0') + "12"), 12);
}

TEST(NumberText, RealTakesLongestDecimalPrefix) {
    EXPECT_EQ(TextToReal("8400"), 8400.0);
    EXPECT_EQ(TextToReal("  850"), 850.0);
    EXPECT_EQ(TextToReal("-2.5"), -2.5);
    EXPECT_EQ(TextToReal("+2.5"), 2.5);
    EXPECT_EQ(TextToReal("5."), 5.0);
    EXPECT_EQ(TextToReal(".5"), 0.5);
    EXPECT_EQ(TextToReal("1.5e3"), 1500.0);
    EXPECT_EQ(TextToReal("15e-1"), 1.5);
    // An exponent without digits is not part of the number.
    EXPECT_EQ(TextToReal("7e"), 7.0);
    EXPECT_EQ(TextToReal("7ex"), 7.0);
    // Only '.' is a decimal point, and only one.
    EXPECT_EQ(TextToReal("1,5"), 1.0);
    EXPECT_EQ(TextToReal("1.2.3"), 1.2);
    // No digits.
    EXPECT_EQ(TextToReal(""), 0.0);
    EXPECT_EQ(TextToReal("."), 0.0);
    EXPECT_EQ(TextToReal("e5"), 0.0);
    EXPECT_EQ(TextToReal("Unknown"), 0.0);
}

TEST(NumberText, RealNeverGivesNanOrInfinity) {
    for (const char* word : {"nan", "NaN", "-nan", "inf", "-inf", "INF", "infinity", "0x1p3"}) {
        const double v = TextToReal(word);
        EXPECT_TRUE(std::isfinite(v)) << word;
        EXPECT_EQ(v, 0.0) << word;
    }
    EXPECT_EQ(TextToReal("1e308"), 1e308);
    EXPECT_EQ(TextToReal("1e999"), kMaxDouble);
    EXPECT_EQ(TextToReal("-1e999"), -kMaxDouble);
    EXPECT_EQ(TextToReal("1" + std::string(400, '0')), kMaxDouble);
    EXPECT_EQ(TextToReal("1e99999999999999999999"), kMaxDouble);
    // Too small a magnitude is 0, not the largest double.
    EXPECT_EQ(TextToReal("1e-999"), 0.0);
    EXPECT_EQ(TextToReal("0." + std::string(400, '0') + "1e-300"), 0.0);
    // Many digits with an exponent that brings them back into range.
    EXPECT_EQ(TextToReal("0." + std::string(400, '0') + "1e500"), 1e99);
    EXPECT_EQ(TextToReal("1" + std::string(400, '0') + "e-100"), 1e300);
    EXPECT_EQ(TextToReal("1" + std::string(400, '0') + "e-500"), 1e-100);
    EXPECT_EQ(TextToReal("0e999999"), 0.0);
    EXPECT_EQ(TextToReal("1e-99999999999999999999"), 0.0);
}

TEST(NumberText, WritersGivePlainDecimal) {
    EXPECT_EQ(IntToText(0), "0");
    EXPECT_EQ(IntToText(-5), "-5");
    EXPECT_EQ(IntToText(INT32_MIN), "-2147483648");
    EXPECT_EQ(UnsignedToText(4294967295u), "4294967295");
    EXPECT_EQ(TruncToText(8400.999), "8400");
    EXPECT_EQ(TruncToText(-1.5), "-1");
    EXPECT_EQ(TruncToText(-0.5), "0");
    EXPECT_EQ(TruncToText(3e9), "3000000000");
    EXPECT_EQ(TruncToText(1e20), "100000000000000000000");
    EXPECT_EQ(TruncToText(std::nan("")), "0");
    // Too large for any integer type, still whole and readable back.
    const std::string huge = TruncToText(std::numeric_limits<double>::infinity());
    EXPECT_EQ(huge.size(), 309u);
    EXPECT_EQ(TextToReal(huge), kMaxDouble);
    EXPECT_EQ(TextToReal(TruncToText(-kMaxDouble)), -kMaxDouble);
}

// ---------------------------------------------------------------- lines and files

TEST(DocumentLines, BreaksAtCrLfLoneCrAndLoneLf) {
    EXPECT_EQ(ParseDocument(""), DataList{});
    EXPECT_EQ(ParseDocument("a"), DataList{"a"});
    EXPECT_EQ(ParseDocument("a\r\nb\r\n"), (DataList{"a", "b"}));
    EXPECT_EQ(ParseDocument("a\rb\nc"), (DataList{"a", "b", "c"}));
    EXPECT_EQ(ParseDocument("a\r"), DataList{"a"});
    EXPECT_EQ(ParseDocument("a\n"), DataList{"a"});
    // Two breaks in a row give an empty line; LF CR is two breaks.
    EXPECT_EQ(ParseDocument("a\r\n\r\nb"), (DataList{"a", "", "b"}));
    EXPECT_EQ(ParseDocument("a\n\rb"), (DataList{"a", "", "b"}));
    EXPECT_EQ(ParseDocument("a\r\rb"), (DataList{"a", "", "b"}));
    EXPECT_EQ(ParseDocument("\r\n"), DataList{""});
    EXPECT_EQ(ParseDocument("\n\n"), (DataList{"", ""}));
    EXPECT_EQ(ParseDocument("\r\n\r\n"), (DataList{"", ""}));
}

TEST(DocumentLines, NulByteIsAnOrdinaryByte) {
    const std::string bytes("VolLabel=AB\0CD\r\n[TransferResults]\r\n1 8400\r\n", 43);
    const DataList list = ParseDocument(bytes);
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0], std::string("VolLabel=AB\0CD", 14));
    EXPECT_EQ(list[2], "1 8400");
    EXPECT_EQ(DocumentBytes(list), bytes);
}

TEST(DocumentLines, BytesEndEveryLineWithCrLf) {
    EXPECT_EQ(DocumentBytes({}), "");
    EXPECT_EQ(DocumentBytes({""}), "\r\n");
    EXPECT_EQ(DocumentBytes({"[Builder]", "", "1 850"}), "[Builder]\r\n\r\n1 850\r\n");
}

class DocumentFiles : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_FALSE(dir_.empty()); }
    std::string PathOf(const std::string& name) const { return (dir_ / name).string(); }
    fixtures::TempDir temp_;
    fs::path dir_ = temp_.path();
};

TEST_F(DocumentFiles, SaveAndLoadGiveBackTheSameLines) {
    const DataList lines = {"[VolInfo]",
                            "VolLabel=" + std::string(32, ' '),
                            "",
                            std::string("N\0L", 3),
                            "\xFF\x80 high bytes",
                            "",
                            "last"};
    const std::string path = PathOf("run.dat");
    ASSERT_EQ(WriteDocument(lines, path), std::error_code());
    EXPECT_EQ(fixtures::ReadBytes(path), DocumentBytes(lines));
    DataList loaded = {"previous"};
    ASSERT_EQ(LoadDocument(path, loaded), std::error_code());
    EXPECT_EQ(loaded, lines);

    ASSERT_EQ(WriteDocument({}, path), std::error_code());
    EXPECT_EQ(fixtures::ReadBytes(path), "");
    ASSERT_EQ(LoadDocument(path, loaded), std::error_code());
    EXPECT_TRUE(loaded.empty());

    // An editor's UTF-8 byte-order mark is no part of the first line.
    std::ofstream(path, std::ios::binary) << "\xEF\xBB\xBF[Builder]\r\nProgram=x\r\n";
    ASSERT_EQ(LoadDocument(path, loaded), std::error_code());
    EXPECT_EQ(loaded, (DataList{"[Builder]", "Program=x"}));
}

TEST_F(DocumentFiles, FailedSaveLeavesEarlierFileIntact) {
    const std::string path = PathOf("run.dat");
    ASSERT_EQ(WriteDocument({"first"}, path), std::error_code());
    EXPECT_EQ(WriteDocument({"second"}, PathOf("missing/run.dat")),
              std::errc::no_such_file_or_directory);
    // A directory in the way of the target.
    fs::create_directory(PathOf("taken.dat"));
    EXPECT_EQ(WriteDocument({"second"}, PathOf("taken.dat")), std::errc::is_a_directory);
    EXPECT_EQ(fixtures::ReadBytes(path), "first\r\n");
    // No temporary file is left behind.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 2);
}

TEST_F(DocumentFiles, FailedLoadSaysWhyAndLeavesTheListAsItWas) {
    const std::string huge = PathOf("huge.dat");
    std::ofstream(huge) << "[Builder]";
    fs::resize_file(huge, kMaxDocumentBytes + 1);  // sparse: costs no disk
    std::ofstream(PathOf("utf16le.dat"), std::ios::binary) << std::string("\xFF\xFE[\0B\0", 6);
    std::ofstream(PathOf("utf16be.dat"), std::ios::binary) << std::string("\xFE\xFF\0[\0B", 6);
    struct Row {
        const char* name;
        std::string path;
        std::error_condition reason;  // each system words its own reasons
    };
    for (const Row& row : {
             Row{"missing", PathOf("nonexistent.dat"), std::errc::no_such_file_or_directory},
             Row{"folder", dir_.string(), std::errc::is_a_directory},
             // Endless devices and oversized files are refused rather than read.
             Row{"device", "/dev/zero",
                 platform::MakeError(platform::FileProblem::NotRegular).default_error_condition()},
             Row{"too large", huge, std::errc::file_too_large},
             Row{"UTF-16 LE", PathOf("utf16le.dat"),
                 MakeError(results::DocumentProblem::Utf16Text).default_error_condition()},
             Row{"UTF-16 BE", PathOf("utf16be.dat"),
                 MakeError(results::DocumentProblem::Utf16Text).default_error_condition()},
         }) {
        SCOPED_TRACE(row.name);
        DataList list = {"[Builder]", "Program=kept"};
        const std::error_code error = LoadDocument(row.path, list);
        EXPECT_EQ(error, row.reason) << error.message();
        EXPECT_EQ(list, (DataList{"[Builder]", "Program=kept"}));
    }
    DataList list;
    EXPECT_EQ(LoadDocument(PathOf("utf16le.dat"), list).message(),
              "not a Discometer data file (UTF-16 text)");
}

// ---------------------------------------------------------------- look-ups

TEST(SearchKey, FindsTheLineAfterTheFirstExactMatch) {
    const DataList list = {"[Builder]",  "Program=P", "",          "[SysInfo]",
                           "Platform=2", "[SysInfo]", "Platform=1"};
    EXPECT_EQ(SearchKey(list, "[Builder]"), 1);
    EXPECT_EQ(SearchKey(list, "[SysInfo]"), 4);   // only the first counts
    EXPECT_EQ(SearchKey(list, "[sysinfo]"), 0);   // case-sensitive
    EXPECT_EQ(SearchKey(list, "[SysInfo] "), 0);  // no trimming
    EXPECT_EQ(SearchKey(list, "SysInfo"), 0);
    EXPECT_EQ(SearchKey(list, ""), 3);  // the empty line is a line like any other
    EXPECT_EQ(SearchKey({}, "[Builder]"), 0);
    EXPECT_EQ(SearchKey({" [Builder]", "[Builder]"}, "[Builder]"), 2);
    // A header on the last line points past the end.
    EXPECT_EQ(SearchKey({"x", "[TransferResults]"}, "[TransferResults]"), 2);
}

TEST(SearchSubKey, FindsKeysWithinTheirSection) {
    const DataList list = {"[SysInfo]", "Platform=2",   "MajorVersion=5",
                           "Empty=",    "Spaced= a b ", "NoEquals line",
                           "Twice=a=b", "[DriveInfo]",  "Name=CDROM"};
    EXPECT_EQ(SearchSubKey(list, 1, "Platform"), "2");
    EXPECT_EQ(SearchSubKey(list, 1, "MajorVersion"), "5");
    EXPECT_EQ(SearchSubKey(list, 1, "Empty"), "");
    EXPECT_EQ(SearchSubKey(list, 1, "Spaced"), " a b ");
    EXPECT_EQ(SearchSubKey(list, 1, "Twice"), "a=b");
    EXPECT_EQ(SearchSubKey(list, 1, "platform"), kNotFound);  // case-sensitive
    // "[" ends the section.
    EXPECT_EQ(SearchSubKey(list, 1, "Name"), kNotFound);
    EXPECT_EQ(SearchSubKey(list, 8, "Name"), "CDROM");
    // Starting inside a section finds only what follows.
    EXPECT_EQ(SearchSubKey(list, 2, "Platform"), kNotFound);
    // The start may be any line, a header included, which then ends the section at once.
    EXPECT_EQ(SearchSubKey(list, 0, "Platform"), kNotFound);
}

TEST(SearchSubKey, EdgeCases) {
    const DataList list = {"[S]", "Key =blank", "ABCDEFGHIJKLMNO=15", "ABCDEFGHIJKLMNOP=16",
                           "x",   "",           "After=empty"};
    EXPECT_EQ(SearchSubKey(list, 1, "Key"), kNotFound);  // its key is "Key "
    EXPECT_EQ(SearchSubKey(list, 1, "Key "), "blank");
    EXPECT_EQ(SearchSubKey(list, 1, "ABCDEFGHIJKLMNO"), "15");
    EXPECT_EQ(SearchSubKey(list, 1, "ABCDEFGHIJKLMNOP"), kNotFound);  // "=" is 17th
    EXPECT_EQ(SearchSubKey(list, 1, "After"), kNotFound);             // behind an empty line
    EXPECT_EQ(SearchSubKey(list, 6, "After"), "empty");
    EXPECT_EQ(SearchSubKey(list, 7, "After"), kNotFound);  // start at the end
    EXPECT_EQ(SearchSubKey(list, 1000, "After"), kNotFound);
    EXPECT_EQ(SearchSubKey(list, -1, "After"), kNotFound);
    EXPECT_EQ(SearchSubKey(list, INT32_MAX, "After"), kNotFound);
    EXPECT_EQ(SearchSubKey({}, 0, "After"), kNotFound);
    // An empty key matches a line starting with "=".
    EXPECT_EQ(SearchSubKey({"=v"}, 0, ""), "v");
    // The "=" among the first 16 characters is the one that splits, even past a blank.
    EXPECT_EQ(SearchSubKey({"A B=1"}, 0, "A B"), "1");
}

// ---------------------------------------------------------------- header writer and reader

run::RunState SampleRun() {
    run::RunState s;
    s.ProgramTitle = run::kProgramTitleText;
    s.CopyrightLine = run::kCopyrightText;
    s.OSPlatformId = 4;
    s.OSMajorVersion = 6;
    s.OSMinorVersion = 1;
    s.OSBuildNumber = 0x0601001C;
    s.OSCSDVersion = "6.1.0-28-amd64";
    s.DriveName = "CDROM";
    s.VolumeLabel = std::string(32, ' ');
    s.VolumeSize = 333000.75;
    s.BlockIndex = 1;
    s.CurSpeed = 8400.0;
    return s;
}

TEST(DocumentHeader, WriterGivesTheHeaderLineByLine) {
    DataList list = {"stays"};
    WriteDocumentHeader(list, SampleRun());
    const DataList expected = {"stays",
                               "[Builder]",
                               "Program=Discometer v2.32",
                               std::string("Copyright=") + run::kCopyrightText,
                               "",
                               "[SysInfo]",
                               "Platform=4",
                               "MajorVersion=6",
                               "MinorVersion=1",
                               "BuildNumber3=6",
                               "BuildNumber2=1",
                               "BuildNumber1=0",
                               "BuildNumber0=28",
                               "CSDVersion=6.1.0-28-amd64",
                               "",
                               "[DriveInfo]",
                               "Name=CDROM",
                               "",
                               "[VolInfo]",
                               "VolLabel=" + std::string(32, ' '),
                               "VolSize=333000",
                               "",
                               "[TransferResults]",
                               "1 8400"};
    ASSERT_EQ(list.size(), expected.size());
    for (std::size_t i = 0; i < list.size(); ++i) {
        EXPECT_EQ(list[i], expected[i]) << "line " << i;
    }
}

TEST(DocumentHeader, WriterSplitsTheBuildNumberIntoBytes) {
    run::RunState s = SampleRun();
    s.OSBuildNumber = 0xFF0A8001;
    s.OSPlatformId = 4294967295u;
    s.OSCSDVersion.clear();
    s.CurSpeed = 2345.99;
    DataList list;
    WriteDocumentHeader(list, s);
    EXPECT_EQ(list[5], "Platform=4294967295");
    EXPECT_EQ(list[8], "BuildNumber3=255");
    EXPECT_EQ(list[9], "BuildNumber2=10");
    EXPECT_EQ(list[10], "BuildNumber1=128");
    EXPECT_EQ(list[11], "BuildNumber0=1");
    EXPECT_EQ(list[12], "CSDVersion=");
    EXPECT_EQ(list[22], "1 2345");
}

TEST(DocumentHeader, ResultLineTruncatesTheSpeed) {
    EXPECT_EQ(ResultLine(7, 850.999), "7 850");
    EXPECT_EQ(ResultLine(7, 0.0), "7 0");
    EXPECT_EQ(ResultLine(331, 12345.6), "331 12345");
    EXPECT_EQ(ResultLine(3, 2'000'000.0), "3 2000000");
    EXPECT_EQ(ResultLine(3, 5e9), "3 5000000000");
}

TEST(DocumentHeader, ReaderGivesBackWhatTheWriterWrote) {
    DataList list;
    run::RunState s = SampleRun();
    s.VolumeLabel = std::string("LBL\0  x", 7) + std::string(25, ' ');
    WriteDocumentHeader(list, s);
    // Through a file's bytes, as a saved run would come back.
    const DocumentHeader h = ReadDocumentHeader(ParseDocument(DocumentBytes(list)));
    EXPECT_EQ(h.Program, "Discometer v2.32");
    EXPECT_EQ(h.Copyright, run::kCopyrightText);
    EXPECT_EQ(h.Platform, 4);
    EXPECT_EQ(h.MajorVersion, 6);
    EXPECT_EQ(h.MinorVersion, 1);
    EXPECT_EQ(h.BuildNumber3, 6);
    EXPECT_EQ(h.BuildNumber2, 1);
    EXPECT_EQ(h.Name, "CDROM");
    EXPECT_EQ(h.VolLabel.str(), s.VolumeLabel.str());
    EXPECT_EQ(h.VolLabel.size(), 32u);
    EXPECT_EQ(h.VolSize, 333000.0);
}

TEST(DocumentHeader, ReaderDefaultsForMissingSectionsAndKeys) {
    const DocumentHeader none = ReadDocumentHeader({});
    EXPECT_EQ(none.Program, "Builder - Unknown");
    EXPECT_EQ(none.Copyright, "Copyright - Unknown");
    EXPECT_EQ(none.Platform, 0);
    EXPECT_EQ(none.MajorVersion, 0);
    EXPECT_EQ(none.MinorVersion, 0);
    EXPECT_EQ(none.BuildNumber3, 0);
    EXPECT_EQ(none.BuildNumber2, 0);
    EXPECT_EQ(none.Name, "Unknown");
    EXPECT_EQ(none.VolLabel, "Unknown");
    EXPECT_EQ(none.VolSize, 0.0);

    // Keys outside their section, behind an empty line, or holding "Not Found".
    const DocumentHeader h = ReadDocumentHeader(
        {"Program=orphan", "[Builder]", "Copyright=Not Found", "", "Program=late", "[DriveInfo]",
         "[SysInfo]", "Platform=2", "[VolInfo]", "VolSize=x"});
    EXPECT_EQ(h.Program, "Builder - Unknown");
    EXPECT_EQ(h.Copyright, "Copyright - Unknown");
    EXPECT_EQ(h.Platform, 2);
    EXPECT_EQ(h.Name, "Unknown");
    EXPECT_EQ(h.VolSize, 0.0);  // present but no number
}

TEST(DocumentHeader, ReaderEdgeCases) {
    std::string longLabel(300, 'L');
    const DocumentHeader h = ReadDocumentHeader(
        {"[VolInfo]", "VolLabel=" + longLabel, "VolSize=  1234.9xyz", "", "[SysInfo]",
         "MajorVersion= 5", "MinorVersion=99999999999", "BuildNumber2=-1", "Platform=1",
         "BuildNumber3=4", "", "[Builder]", "Program=", "Copyright= spaced "});
    // Sections in another order read the same.
    EXPECT_EQ(h.VolLabel.str(), longLabel.substr(0, 255));
    EXPECT_EQ(h.VolSize, 1234.9);
    EXPECT_EQ(h.MajorVersion, 5);
    EXPECT_EQ(h.MinorVersion, INT32_MAX);
    EXPECT_EQ(h.BuildNumber2, -1);
    EXPECT_EQ(h.BuildNumber3, 4);
    EXPECT_EQ(h.Platform, 1);
    EXPECT_EQ(h.Program, "");  // empty, not the default
    EXPECT_EQ(h.Copyright, " spaced ");
}

// ---------------------------------------------------------------- result lines

TEST(ResultLines, FirstLineSpeed) {
    EXPECT_EQ(ReadFirstResultSpeed("1 8400"), 8400.0);
    EXPECT_EQ(ReadFirstResultSpeed("1 0"), 0.0);
    EXPECT_EQ(ReadFirstResultSpeed("1 2345.5"), 2345.0);  // five characters: "2345."
    EXPECT_EQ(ReadFirstResultSpeed("1 1234567"), 12345.0);
    EXPECT_EQ(ReadFirstResultSpeed("9x77"), 77.0);  // the two characters are skipped unread
    EXPECT_EQ(ReadFirstResultSpeed("1 "), 0.0);
    EXPECT_EQ(ReadFirstResultSpeed("1"), 0.0);
    EXPECT_EQ(ReadFirstResultSpeed(""), 0.0);
}

TEST(ResultLines, BlockLines) {
    auto r = ReadBlockResult("7 850");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->BlockIndex, 7);
    EXPECT_EQ(r->Speed, 850.0);
    r = ReadBlockResult("7 0");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->BlockIndex, 7);
    EXPECT_EQ(r->Speed, 0.0);
    // Speeds of five digits and more are read whole.
    r = ReadBlockResult("331 12345");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->Speed, 12345.0);
    r = ReadBlockResult("5 2000000");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->Speed, 2000000.0);
    // Only the first blank splits.
    r = ReadBlockResult("9  42 7");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->BlockIndex, 9);
    EXPECT_EQ(r->Speed, 42.0);
    r = ReadBlockResult(" 42");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->BlockIndex, 0);
    EXPECT_EQ(r->Speed, 42.0);
    // No blank: no result line.
    EXPECT_FALSE(ReadBlockResult(""));
    EXPECT_FALSE(ReadBlockResult("12345"));
    EXPECT_FALSE(ReadBlockResult("[End]"));
}

TEST(ResultLines, WrittenLinesReadBack) {
    for (const double speed : {0.0, 1.0, 850.5, 8400.0, 9999.0, 10000.0, 12345.0, 65535.9, 3e9}) {
        const auto r = ReadBlockResult(ResultLine(16777, speed));
        ASSERT_TRUE(r);
        EXPECT_EQ(r->BlockIndex, 16777);
        EXPECT_EQ(r->Speed, std::trunc(speed));
    }
}

// ---------------------------------------------------------------- hostile input

// Bytes that matter to the format come far more often than in plain random data.
std::string HostileBytes(std::mt19937& rng, std::size_t size) {
    static constexpr char kSpecial[] = {'\r', '\n', '\0', '[', ']', '=', ' ', '\t', '-',   '+',
                                        'e',  'E',  '.',  '0', '9', '1', 'n', 'a',  '\xFF'};
    std::uniform_int_distribution<int> pick(0, 99);
    std::uniform_int_distribution<int> special(0, sizeof kSpecial - 1);
    std::uniform_int_distribution<int> anyByte(0, 255);
    std::string bytes;
    bytes.reserve(size);
    while (bytes.size() < size) {
        const int p = pick(rng);
        if (p < 50) {
            bytes.push_back(kSpecial[special(rng)]);
        } else if (p < 55) {
            static constexpr const char* kPieces[] = {
                "[Builder]", "[SysInfo]", "[VolInfo]",  "[DriveInfo]", "[TransferResults]",
                "Program=",  "Platform=", "VolSize=",   "VolLabel=",   "\r\n",
                "1e999",     "nan",       "-2147483649"};
            bytes += kPieces[anyByte(rng) % std::size(kPieces)];
        } else {
            bytes.push_back(static_cast<char>(anyByte(rng)));
        }
    }
    return bytes;
}

std::string WithoutBreaks(std::string_view bytes) {
    std::string out;
    for (char c : bytes) {
        if (c != '\r' && c != '\n') {
            out.push_back(c);
        }
    }
    return out;
}

void CheckDocumentInvariants(std::string_view bytes) {
    const DataList list = ParseDocument(bytes);
    std::string joined;
    for (const std::string& line : list) {
        ASSERT_EQ(line.find_first_of("\r\n"), std::string::npos);
        joined += line;
    }
    // No byte but a line break is lost or added.
    ASSERT_EQ(joined, WithoutBreaks(bytes));
    // Once loaded, saving and loading again changes nothing.
    ASSERT_EQ(ParseDocument(DocumentBytes(list)), list);

    for (const char* header : {"[Builder]", "[SysInfo]", "[TransferResults]", ""}) {
        const std::int32_t at = SearchKey(list, header);
        ASSERT_GE(at, 0);
        ASSERT_LE(static_cast<std::size_t>(at), list.size());
        if (at > 0) {
            ASSERT_EQ(list[at - 1], header);
            for (std::int32_t i = 0; i + 1 < at; ++i) {
                ASSERT_NE(list[i], header);
            }
        }
        for (std::int32_t start : {at, at + 1, 0, -1}) {
            for (const char* key : {"Program", "Platform", "VolSize", ""}) {
                const std::string value = SearchSubKey(list, start, key);
                if (value != kNotFound) {
                    const std::string line = std::string(key) + "=" + value;
                    bool present = false;
                    for (std::size_t i = static_cast<std::size_t>(std::max(start, 0));
                         i < list.size() && !present; ++i) {
                        present = list[i] == line;
                    }
                    ASSERT_TRUE(present) << key;
                }
            }
        }
    }
    const DocumentHeader h = ReadDocumentHeader(list);
    ASSERT_TRUE(std::isfinite(h.VolSize));
    ASSERT_LE(h.VolLabel.size(), 255u);
    for (const std::string& line : list) {
        ASSERT_TRUE(std::isfinite(ReadFirstResultSpeed(line)));
        const auto r = ReadBlockResult(line);
        ASSERT_EQ(r.has_value(), line.find(' ') != std::string::npos);
        if (r) {
            ASSERT_TRUE(std::isfinite(r->Speed));
        }
    }
}

TEST(HostileInput, RandomBytesOfManySizes) {
    std::mt19937 rng(20261207);
    std::uniform_int_distribution<std::size_t> size(0, 600);
    for (int round = 0; round < 1500; ++round) {
        const std::string bytes = HostileBytes(rng, round < 64 ? round : size(rng));
        CheckDocumentInvariants(bytes);
        if (HasFatalFailure()) {
            FAIL() << "round " << round;
        }
    }
}

TEST(HostileInput, LongLinesAndDamagedHeaders) {
    std::mt19937 rng(7);
    CheckDocumentInvariants(std::string(1 << 20, '='));
    CheckDocumentInvariants(std::string(1 << 20, '\0'));
    CheckDocumentInvariants(std::string(1 << 16, '['));
    CheckDocumentInvariants("VolSize=" + std::string(1 << 18, '9') + "\r\n");
    CheckDocumentInvariants("[VolInfo]\r\nVolSize=0." + std::string(1 << 18, '0') + "1\r\n");

    // A good file with a few bytes overwritten, dropped or doubled.
    DataList good;
    WriteDocumentHeader(good, SampleRun());
    for (int b = 2; b < 200; ++b) {
        good.push_back(ResultLine(b, 7000 + b));
    }
    const std::string original = DocumentBytes(good);
    std::uniform_int_distribution<std::size_t> at(0, original.size() - 1);
    for (int round = 0; round < 300; ++round) {
        std::string damaged = original;
        for (int k = 0; k < 1 + round % 8; ++k) {
            const std::size_t i = at(rng) % damaged.size();
            switch (k % 3) {
                case 0:
                    damaged[i] = HostileBytes(rng, 1)[0];
                    break;
                case 1:
                    damaged.erase(i, 1);
                    break;
                default:
                    damaged.insert(i, 1, damaged[i]);
                    break;
            }
        }
        CheckDocumentInvariants(damaged);
        if (HasFatalFailure()) {
            FAIL() << "round " << round;
        }
    }
}

TEST(HostileInput, NumberConversionStaysInRange) {
    std::mt19937 rng(99);
    std::uniform_int_distribution<std::size_t> size(0, 40);
    for (int round = 0; round < 20000; ++round) {
        const std::string text = HostileBytes(rng, size(rng));
        const double real = TextToReal(text);
        ASSERT_TRUE(std::isfinite(real)) << text;
        const std::int32_t whole = TextToInt(text);
        // The integer reading is a prefix of the real reading, so they agree in sign.
        ASSERT_FALSE(whole > 0 && real <= 0) << text;
        ASSERT_FALSE(whole < 0 && real >= 0) << text;
    }
    std::uniform_int_distribution<std::int32_t> anyInt(INT32_MIN, INT32_MAX);
    for (int round = 0; round < 2000; ++round) {
        const std::int32_t v = anyInt(rng);
        ASSERT_EQ(TextToInt(IntToText(v)), v);
        ASSERT_EQ(TextToReal(IntToText(v)), static_cast<double>(v));
    }
}

}  // namespace
