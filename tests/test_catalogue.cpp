// The catalogue of runs: its names, its side files, filing under names nobody has taken from
// threads and processes at once, the disc id across drives and discs, measure filing and
// comparing, and history's order and JSON, with damaged and foreign files among the runs.
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "platform/SimDrive.h"
#include "results/Catalogue.h"
#include "results/CatalogueNames.h"
#include "results/CatalogueRecord.h"
#include "results/DiscId.h"
#include "results/JsonText.h"
#include "support/CliProcess.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;
using namespace cliprocess;
using fixtures::ReadBytes;
using fixtures::TempDir;

// --- Names and side files ------------------------------------------------------------------

TEST(CatalogueNames, RunFileNamesAreTakenApartOrRefused) {
    struct Row {
        const char* name;
        const char* file;
        bool valid;
        std::int32_t suffix;
    };
    const Row rows[] = {
        {"a plain name", "20260109T101500Z.dat", true, 1},
        {"a second run of the second", "20260109T101500Z-2.dat", true, 2},
        {"a leap day", "20240229T000000Z.dat", true, 1},
        {"no leap day", "20250229T000000Z.dat", false, 0},
        {"hour 24", "20260109T241500Z.dat", false, 0},
        {"month 13", "20261309T101500Z.dat", false, 0},
        {"suffix 1 is the plain name", "20260109T101500Z-1.dat", false, 0},
        {"a suffix with a leading zero", "20260109T101500Z-02.dat", false, 0},
        {"a side file", "20260109T101500Z.json", false, 0},
        {"no zone", "20260109T101500.dat", false, 0},
        {"a copy", "20260109T101500Z (copy).dat", false, 0},
        {"another document", "run.dat", false, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const auto name = results::ParseRunFileName(row.file);
        ASSERT_EQ(name.has_value(), row.valid);
        if (name) {
            EXPECT_EQ(name->suffix, row.suffix);
            EXPECT_EQ(results::StemOf(*name) + ".dat", row.file) << "one name a run";
        }
    }
    // The tenth run of a second comes after the second, not between the first and second.
    const auto second = results::ParseRunFileName("20260109T101500Z-2.dat");
    const auto tenth = results::ParseRunFileName("20260109T101500Z-10.dat");
    const auto later = results::ParseRunFileName("20260109T101501Z.dat");
    EXPECT_TRUE(results::FiledBefore(*second, *tenth));
    EXPECT_TRUE(results::FiledBefore(*tenth, *later));
    EXPECT_EQ(results::IsoTextOf(later->time), "2026-01-09T10:15:01Z");
    EXPECT_EQ(results::StampOf(
                  results::UtcTimeOf(std::chrono::sys_days(std::chrono::year(2026) / 1 / 9))),
              "20260109T000000Z");
}

TEST(CatalogueRecord, SideFileReadsBackAndOthersAreRefused) {
    results::SideRecord record;
    record.discId = "0123456789abcdef";
    record.label = "Q\"\\\x1b\xC9Z";  // quotes, a control byte, an 8-bit character
    record.volumeSize = 333000;
    record.verdict = results::Verdict::Worse;
    const std::string text = results::SideFileText(record);
    ASSERT_TRUE(results::ParseJsonObject(text)) << text;
    const auto facts = results::ReadSideFacts(text, record.discId);
    ASSERT_TRUE(facts);
    EXPECT_EQ(facts->label, "Q\"\\\x1b\xC3\x89Z");
    EXPECT_EQ(facts->volumeSize, 333000);
    EXPECT_EQ(facts->verdict, results::Verdict::Worse);

    record.verdict.reset();
    EXPECT_EQ(results::ReadSideFacts(results::SideFileText(record), record.discId)->verdict,
              std::nullopt);

    struct Row {
        const char* name;
        std::string text;
    };
    const std::string good = results::SideFileText(record);
    const Row refused[] = {
        {"another disc's", good},  // read for another id below
        {"cut short", good.substr(0, good.size() / 2)},
        {"no object", "[1, 2]"},
        {"something after it", good + "x"},
        {"another program's", R"({"format": "other", "disc_id": "0123456789abcdef"})"},
        {"an unknown verdict",
         R"({"format": "discometer-catalogue-run", "disc_id": "0123456789abcdef", )"
         R"("label": "A", "volume_size": 5, "verdict": "awful"})"},
        {"a size that is no number",
         R"({"format": "discometer-catalogue-run", "disc_id": "0123456789abcdef", )"
         R"("label": "A", "volume_size": "5"})"},
        {"a lone surrogate", R"({"format": "\ud800"})"},
        {"nested too deep", std::string(100, '[') + std::string(100, ']')},
        {"empty", ""},
    };
    for (const Row& row : refused) {
        SCOPED_TRACE(row.name);
        const std::string id =
            std::string(row.name) == "another disc's" ? "fedcba9876543210" : record.discId;
        EXPECT_FALSE(results::ReadSideFacts(row.text, id));
    }
}

TEST(DiscId, DigestOfTheDescriptorsAsHexadecimal) {
    std::vector<std::uint8_t> sector(2048, 0);
    const std::string id = results::DiscIdOf(sector);
    EXPECT_TRUE(results::IsDiscId(id)) << id;
    EXPECT_EQ(results::DiscIdOf(sector), id);
    sector[813] = '2';  // another creation date
    EXPECT_NE(results::DiscIdOf(sector), id);
    EXPECT_EQ(results::DiscIdOf({}), "cbf29ce484222325");  // FNV-1a's offset: nothing digested
    EXPECT_FALSE(results::IsDiscId("0123456789ABCDEF"));
    EXPECT_FALSE(results::IsDiscId("0123456789abcde"));
}

// --- Filing --------------------------------------------------------------------------------

// The files of each disc folder of a catalogue, by folder name.
std::map<std::string, std::vector<std::string>> FilesOf(const fs::path& catalogue) {
    std::map<std::string, std::vector<std::string>> files;
    if (!fs::exists(catalogue)) {
        return files;
    }
    for (const auto& disc : fs::directory_iterator(catalogue)) {
        auto& names = files[disc.path().filename().string()];
        if (disc.is_directory()) {
            for (const auto& file : fs::directory_iterator(disc.path())) {
                names.push_back(file.path().filename().string());
            }
        }
        std::sort(names.begin(), names.end());
    }
    return files;
}

TEST(CatalogueFiling, ThreadsFilingOneSecondAtOnceEachGetANameOfTheirOwn) {
    TempDir dir;
    const results::UtcTime second{2026, 1, 9, 10, 15, 0};
    const results::DataList document{"[TransferResults]", "1 5000"};
    constexpr int kThreads = 4;
    constexpr int kEach = 10;
    std::vector<std::vector<std::string>> filed(kThreads);
    std::vector<std::thread> threads;
    threads.reserve(kThreads);
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < kEach; ++i) {
                const auto result = results::FileRun(dir.path().string(), "0123456789abcdef",
                                                     second, document, "{}\n");
                if (result.filed && result.problem.empty()) {
                    filed[t].push_back(result.filed->documentPath);
                }
            }
        });
    }
    for (std::thread& t : threads) {
        t.join();
    }
    std::set<std::string> all;
    for (const auto& paths : filed) {
        EXPECT_EQ(paths.size(), static_cast<std::size_t>(kEach));
        all.insert(paths.begin(), paths.end());
    }
    EXPECT_EQ(all.size(), static_cast<std::size_t>(kThreads * kEach)) << "no run written over";
    const auto files = FilesOf(dir.path());
    ASSERT_EQ(files.size(), 1u);
    const std::vector<std::string>& names = files.begin()->second;
    EXPECT_EQ(names.size(), static_cast<std::size_t>(2 * kThreads * kEach))
        << "a side file beside each run, nothing half made left behind";
    for (const std::string& path : all) {
        EXPECT_EQ(ReadBytes(path), "[TransferResults]\r\n1 5000\r\n");
    }
    EXPECT_TRUE(fs::exists(dir / "0123456789abcdef/20260109T101500Z.dat"));
    EXPECT_TRUE(fs::exists(dir / "0123456789abcdef/20260109T101500Z-40.json"));
}

TEST(CatalogueFiling, AnExistingFileIsNeverWrittenOver) {
    TempDir dir;
    const fs::path folder = dir / "0123456789abcdef";
    fs::create_directories(folder);
    std::ofstream(folder / "20260109T101500Z.dat") << "someone else's";
    std::ofstream(folder / "20260109T101500Z-2.json") << "a side file alone";
    const auto result = results::FileRun(dir.path().string(), "0123456789abcdef",
                                         {2026, 1, 9, 10, 15, 0}, {"1 5000"}, "{}\n");
    ASSERT_TRUE(result.filed);
    EXPECT_EQ(fs::path(result.filed->documentPath).filename(), "20260109T101500Z-3.dat");
    EXPECT_EQ(ReadBytes(folder / "20260109T101500Z.dat"), "someone else's");
    EXPECT_EQ(ReadBytes(folder / "20260109T101500Z-2.json"), "a side file alone");
}

// A small disc whose descriptor's creation date is `made` (16 digits), of the given label.
platform::SimDiscParams SmallDisc(const std::string& label, const std::string& made,
                                  bool udf = false) {
    platform::SimDiscParams p;
    p.volumeSectors = 12000;
    p.volumeId = label;
    p.fixedMsPerSector = 0.25;
    p.udfOnly = udf;
    if (!udf) {
        std::vector<std::uint8_t> sector(2048);
        platform::SimDrive(p).SectorContent(16, sector);
        std::copy(made.begin(), made.end(), sector.begin() + 813);
        p.descriptorSector = sector;
    }
    return p;
}

std::string Image(const TempDir& dir, const std::string& name,
                  const platform::SimDiscParams& disc) {
    const fs::path path = dir / name;
    EXPECT_TRUE(platform::WriteSparseImage(disc, path.string()));
    return path.string();
}

// The disc folder a measure filed its run in; empty when it filed none.
std::string FiledDisc(const std::string& drive, const fs::path& catalogue) {
    const auto before = FilesOf(catalogue);
    const Finished f = RunCli({"measure", drive, "--catalogue", catalogue.string()});
    // Another drive's curve may well be "worse" than the simulated drive's: 4 is a run too.
    EXPECT_TRUE(f.status == 0 || f.status == 3 || f.status == 4) << drive << ": " << f.err;
    for (const auto& [disc, names] : FilesOf(catalogue)) {
        const auto was = before.find(disc);
        if (was == before.end() || was->second.size() < names.size()) {
            return disc;
        }
    }
    return {};
}

TEST(CatalogueFiling, TheDiscIdFollowsTheDiscNotTheDriveNorTheLabel) {
    TempDir dir;
    const fs::path catalogue = dir / "catalogue";
    const std::string made = "2001010112000000";
    const std::string sim = FiledDisc("sim-unpaced", catalogue);
    ASSERT_EQ(sim.size(), results::kDiscIdChars);
    struct Row {
        const char* name;
        std::string drive;
        bool sameAsSim;
    };
    const Row rows[] = {
        {"the same disc in another drive, as an image",
         Image(dir, "demo.iso", platform::DemoDisc(false)), true},
        {"the same disc years older", "sim-aged-unpaced", true},
        {"another disc", "sim-dvd-unpaced", false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(FiledDisc(row.drive, catalogue) == sim, row.sameAsSim);
    }

    // Two discs of one label and size, made at other times; a copy of one is that disc.
    const std::string one = FiledDisc(Image(dir, "one.iso", SmallDisc("HOLIDAY", made)), catalogue);
    const std::string copy =
        FiledDisc(Image(dir, "copy.iso", SmallDisc("HOLIDAY", made)), catalogue);
    const std::string other =
        FiledDisc(Image(dir, "other.iso", SmallDisc("HOLIDAY", "2002020212000000")), catalogue);
    EXPECT_EQ(one, copy);
    EXPECT_NE(one, other);
    EXPECT_FALSE(one.empty() || other.empty());

    // A UDF volume alone is told by its own descriptors.
    const std::string udf =
        FiledDisc(Image(dir, "udf.iso", SmallDisc("HOLIDAY", made, true)), catalogue);
    const std::string udfCopy =
        FiledDisc(Image(dir, "udf-copy.iso", SmallDisc("HOLIDAY", made, true)), catalogue);
    const std::string udfOther =
        FiledDisc(Image(dir, "udf-other.iso", SmallDisc("TRIP", made, true)), catalogue);
    EXPECT_EQ(udf, udfCopy);
    EXPECT_NE(udf, udfOther);
    EXPECT_NE(udf, one);
    EXPECT_FALSE(udf.empty() || udfOther.empty());
}

TEST(CatalogueFiling, TwoProcessesFilingAtOnceKeepBothRuns) {
    TempDir dir;
    const fs::path catalogue = dir / "shared";
    Child first(CliArgs({"measure", "sim-unpaced", "--catalogue", catalogue.string()}));
    Child second(CliArgs({"measure", "sim-unpaced"}), {{"DISCOMETER_CATALOGUE", catalogue}});
    const Finished a = first.Finish();
    const Finished b = second.Finish();
    EXPECT_EQ(a.status, 3) << a.err;
    EXPECT_EQ(b.status, 3) << b.err;
    const auto files = FilesOf(catalogue);
    ASSERT_EQ(files.size(), 1u);
    const std::vector<std::string>& names = files.begin()->second;
    ASSERT_EQ(names.size(), 4u) << "two runs, two side files";
    EXPECT_NE(names[0], names[2]);
    for (const std::string& name : names) {
        const std::string bytes = ReadBytes(catalogue / files.begin()->first / name);
        EXPECT_NE(bytes.find(name.ends_with(".dat") ? "[TransferResults]" : "\"disc_id\""),
                  std::string::npos)
            << name;
    }
}

TEST(CatalogueFiling, NothingIsWrittenUnlessACatalogueIsNamedAndTheOptionWins) {
    TempDir dir;
    const fs::path here = dir / "here";
    const fs::path byVariable = dir / "by-variable";
    const fs::path byOption = dir / "by-option";
    fs::create_directories(here);
    struct Row {
        const char* name;
        std::vector<std::string> args;
        EnvChanges env;
        std::vector<fs::path> filled;
    };
    const Row rows[] = {
        {"no catalogue", {}, {{"DISCOMETER_CATALOGUE", std::nullopt}}, {}},
        {"an empty variable", {}, {{"DISCOMETER_CATALOGUE", ""}}, {}},
        {"the variable", {}, {{"DISCOMETER_CATALOGUE", byVariable}}, {byVariable}},
        {"the option over the variable",
         {"--catalogue", byOption.string()},
         {{"DISCOMETER_CATALOGUE", byVariable}},
         {byVariable, byOption}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        std::vector<std::string> args{"measure", "sim-unpaced"};
        args.insert(args.end(), row.args.begin(), row.args.end());
        const auto variableBefore = FilesOf(byVariable);
        const Finished f = RunCli(args, row.env, here);
        EXPECT_EQ(f.status, 3) << f.err;
        EXPECT_TRUE(fs::is_empty(here)) << "nothing in the current folder";
        EXPECT_EQ(fs::exists(byOption), row.filled.size() > 1);
        EXPECT_EQ(fs::exists(byVariable), !row.filled.empty());
        if (std::string(row.name) == "the option over the variable") {
            EXPECT_EQ(FilesOf(byVariable), variableBefore) << "the variable's catalogue untouched";
        }
        EXPECT_EQ(f.err.find("Catalogue:") != std::string::npos, !row.filled.empty()) << f.err;
    }
}

TEST(CatalogueFiling, ACatalogueThatCannotTakeFilesIsSaidBeforeTheRun) {
    TempDir dir;
    std::ofstream(dir / "a-file") << "x";
    const fs::path locked = dir / "locked";
    fs::create_directories(locked);
    fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_exec);
    struct Row {
        const char* name;
        fs::path catalogue;
        std::string reason;
    };
    const Row rows[] = {
        {"a file in its place", dir / "a-file", "the catalogue '"},
        {"a folder inside a file", dir / "a-file" / "cat", "the catalogue '"},
        {"a folder that takes no files", locked, "Permission denied"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        if (::geteuid() == 0 && row.reason == "Permission denied") {
            continue;  // root writes anywhere
        }
        const Finished f =
            RunCli({"measure", "sim-unpaced", "--catalogue", row.catalogue.string()});
        EXPECT_EQ(f.status, 1);
        EXPECT_NE(f.err.find(row.reason), std::string::npos) << f.err;
        EXPECT_EQ(f.out, "") << "no block was measured";
    }
    fs::permissions(locked, fs::perms::owner_all);
    EXPECT_EQ(RunCli({"measure", "sim-unpaced", "--catalogue", ""}).status, 2);
}

TEST(CatalogueFiling, TheAgedDiscIsWorseWhereTheSimulationAgedIt) {
    TempDir dir;
    const std::string catalogue = (dir / "catalogue").string();
    const Finished young = RunCli({"measure", "sim-unpaced", "--catalogue", catalogue});
    EXPECT_EQ(young.status, 3) << young.err;
    EXPECT_NE(young.err.find(", the disc's first run there\n"), std::string::npos) << young.err;
    const Finished aged = RunCli({"measure", "sim-aged-unpaced", "--catalogue", catalogue});
    EXPECT_EQ(aged.status, 4) << "worse before unreadable blocks: " << aged.err;
    for (const std::string line : {
             "Verdict:         worse: 6 new unreadable blocks, 1 slower region\n",
             // The three areas of the aged disc: 120,700-122,600, 247,300-249,100 and
             // 290,200-291,800; the stretch it reads at 45 % from 60,000 to 79,999.
             "New unreadable:  6 blocks: 120-122, 247-249, 290-291\n",
             "Slower:          blocks 61-79 at 45 % of the earlier speed (10 blocks)\n",
             "Uniform change:  the later run reads at 100 %",
         }) {
        EXPECT_NE(aged.err.find(line), std::string::npos) << line << aged.err;
    }
    // Measured again, the aged disc is as it was the last time.
    const Finished again = RunCli({"measure", "sim-aged-unpaced", "--catalogue", catalogue});
    EXPECT_EQ(again.status, 3);
    EXPECT_NE(again.err.find("Verdict:         same\n"), std::string::npos) << again.err;
}

// --- History -------------------------------------------------------------------------------

// A saved run of a CD read from 3000 KB/s up, every second block timed, the blocks of `lost`
// unreadable.
std::string RunDocument(const std::string& label, const std::set<int>& lost = {}) {
    std::string text = "[VolInfo]\r\nVolLabel=" + label + "\r\nVolSize=333000\r\n\r\n";
    text += "[TransferResults]\r\n";
    for (int b = 1; b <= 331; b += 2) {
        text +=
            std::to_string(b) + " " + std::to_string(lost.count(b) ? 0 : 3000 + 15 * b) + "\r\n";
    }
    return text;
}

struct FiledFile {
    std::string disc;
    std::string stem;
    std::string document;                          // nothing written when empty
    std::optional<results::SideRecord> side = {};  // its side file
};

results::SideRecord Side(const std::string& disc, const std::string& label,
                         std::optional<results::Verdict> verdict) {
    results::SideRecord r;
    r.discId = disc;
    r.label = label;
    r.volumeSize = 333000;
    r.verdict = verdict;
    return r;
}

void Write(const fs::path& catalogue, const std::vector<FiledFile>& files) {
    for (const FiledFile& f : files) {
        const fs::path folder = catalogue / f.disc;
        fs::create_directories(folder);
        if (!f.document.empty()) {
            std::ofstream(folder / (f.stem + ".dat"), std::ios::binary) << f.document;
        }
        if (f.side) {
            std::ofstream(folder / (f.stem + ".json"), std::ios::binary)
                << results::SideFileText(*f.side);
        }
    }
}

TEST(CatalogueHistory, DiscsAreListedWorstFirstAndDamageIsPassedOverWithANote) {
    TempDir dir;
    const fs::path cat = dir / "catalogue";
    using results::Verdict;
    const std::string a = "aaaaaaaaaaaaaaaa";  // worse, as its side file says
    const std::string b = "bbbbbbbbbbbbbbbb";  // no side files: its documents compared
    const std::string c = "cccccccccccccccc";  // better
    const std::string d = "dddddddddddddddd";  // one run
    const std::string e = "eeeeeeeeeeeeeeee";  // the same, its last document damaged
    Write(cat, {
                   {a, "20250101T000000Z", RunDocument("ARCHIVE"), Side(a, "ARCHIVE", {})},
                   {a, "20260101T000000Z", RunDocument("ARCHIVE", {7}),
                    Side(a, "ARCHIVE", Verdict::Worse)},
                   {b, "20240101T000000Z", RunDocument("BACKUP")},
                   {b, "20260101T000000Z-2", RunDocument("BACKUP", {9, 11})},
                   {b, "20260101T000000Z-10", RunDocument("BACKUP", {9, 11, 101})},
                   {c, "20250101T000000Z", RunDocument("CLIPS", {5}), Side(c, "CLIPS", {})},
                   {c, "20250601T000000Z", RunDocument("CLIPS"), Side(c, "CLIPS", Verdict::Better)},
                   {d, "20250101T000000Z", RunDocument("DEMO"), Side(d, "DEMO", {})},
                   {e, "20230101T000000Z", RunDocument("EXTRAS"), Side(e, "EXTRAS", {})},
                   {e, "20240101T000000Z", RunDocument("EXTRAS"), Side(e, "EXTRAS", Verdict::Same)},
                   {e, "20250101T000000Z", "[TransferResults]\r\n1 2x\r\n"},
               });
    std::ofstream(cat / "notes.txt") << "mine";
    fs::create_directories(cat / "photos");
    std::ofstream(cat / a / "readme.txt") << "mine too";
    std::ofstream(cat / ".hidden") << "passed over without a word";

    const Finished json = RunCli({"history", cat.string(), "--json"});
    EXPECT_EQ(json.status, 0) << json.err;
    const auto disc = [](const std::string& id, const std::string& label, int runs,
                         const std::string& first, const std::string& last,
                         const std::string& verdict) {
        return "{\"id\": \"" + id + "\", \"label\": \"" + label +
               "\", \"size\": 333000, \"runs\": " + std::to_string(runs) + ", \"first\": \"" +
               first + "\", \"last\": \"" + last + "\", \"verdict\": " + verdict + "}";
    };
    EXPECT_EQ(
        json.out,
        "{\"discs\": [" +
            disc(a, "ARCHIVE", 2, "2025-01-01T00:00:00Z", "2026-01-01T00:00:00Z", "\"worse\"") +
            ", " +
            disc(b, "BACKUP", 3, "2024-01-01T00:00:00Z", "2026-01-01T00:00:00Z", "\"worse\"") +
            ", " +
            disc(e, "EXTRAS", 2, "2023-01-01T00:00:00Z", "2024-01-01T00:00:00Z", "\"same\"") +
            ", " +
            disc(c, "CLIPS", 2, "2025-01-01T00:00:00Z", "2025-06-01T00:00:00Z", "\"better\"") +
            ", " + disc(d, "DEMO", 1, "2025-01-01T00:00:00Z", "2025-01-01T00:00:00Z", "null") +
            "]}\n");
    for (const std::string note : {"notes.txt: no disc folder", "photos: no disc folder",
                                   "readme.txt: no run of this catalogue",
                                   "20250101T000000Z.dat: line 2 is no result line"}) {
        EXPECT_NE(json.err.find(note), std::string::npos) << note << "\n" << json.err;
    }
    EXPECT_EQ(json.err.find(".hidden"), std::string::npos);

    const Finished text = RunCli({"history", cat.string()});
    EXPECT_EQ(text.status, 0);
    const std::vector<std::string> lines = Lines(text.out);
    ASSERT_EQ(lines.size(), 6u) << text.out;
    EXPECT_EQ(lines[0],
              "LABEL      SECTORS  RUNS  FIRST                 LAST                  "
              "VERDICT");
    EXPECT_EQ(lines[1],
              "ARCHIVE     333000     2  2025-01-01T00:00:00Z  2026-01-01T00:00:00Z  "
              "worse");
    EXPECT_EQ(lines[5], "DEMO        333000     1  2025-01-01T00:00:00Z  2025-01-01T00:00:00Z  -");
}

TEST(CatalogueHistory, WhatCannotBeListedHasItsStatus) {
    TempDir dir;
    fs::create_directories(dir / "empty");
    struct Row {
        const char* name;
        std::vector<std::string> args;
        int status;
        std::string out;
        std::string err;
    };
    const Row rows[] = {
        {"an empty catalogue", {(dir / "empty").string()}, 0, "", ""},
        {"an empty catalogue as JSON",
         {(dir / "empty").string(), "--json"},
         0,
         "{\"discs\": []}\n",
         ""},
        {"no catalogue there", {(dir / "none").string()}, 1, "", "cannot read the catalogue '"},
        {"no folder named", {}, 2, "", "history needs a catalogue folder"},
        {"two folders", {"a", "b"}, 2, "", "history takes one catalogue folder"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        std::vector<std::string> args{"history"};
        args.insert(args.end(), row.args.begin(), row.args.end());
        const Finished f = RunCli(args);
        EXPECT_EQ(f.status, row.status);
        EXPECT_EQ(f.out, row.out);
        if (row.err.empty()) {
            EXPECT_EQ(f.err, "");
        } else {
            EXPECT_NE(f.err.find(row.err), std::string::npos) << f.err;
        }
    }
}

}  // namespace
