// The file writer behind every save: what it does to files, links, devices, pipes and
// folders that stand where it writes, and how it tells two names of one file.
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <gtest/gtest.h>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/AtomicFile.h"
#include "support/PosixFiles.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;
using fixtures::PipeReader;
using fixtures::ReadBytes;
using fixtures::TempDir;
using platform::CheckWritable;
using platform::SameFile;
using platform::WriteError;

namespace {

std::error_code Write(const fs::path& path, const std::string& text) {
    return platform::WriteWholeFile(
        path.string(), std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

bool IsLink(const fs::path& path) {
    return fs::is_symlink(fs::symlink_status(path));
}

// The names in a folder: a failed write leaves no temporary file behind.
std::size_t Entries(const fs::path& dir) {
    return static_cast<std::size_t>(
        std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
}

}  // namespace

TEST(FileWriter, NewFilesGetTheUsualPermissionsUnderEveryMask) {
    TempDir dir;
    for (const mode_t mask : {mode_t{022}, mode_t{002}, mode_t{077}}) {
        const mode_t before = ::umask(mask);
        const fs::path file = dir / ("new" + std::to_string(mask) + ".dat");
        const std::error_code error = Write(file, "x");
        ::umask(before);
        ASSERT_EQ(error, std::error_code());
        struct stat st {};
        ASSERT_EQ(::stat(file.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, 0666 & ~mask) << "umask " << std::oct << mask;
    }
}

TEST(FileWriter, ReplacesFilesWholeAndWritesThroughLinksToTheirTargets) {
    TempDir dir;
    EXPECT_EQ(Write(dir / "new.dat", "one"), std::error_code());
    fs::permissions(dir / "new.dat", fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(Write(dir / "new.dat", "two"), std::error_code());
    EXPECT_EQ(ReadBytes(dir / "new.dat"), "two");
    // A private file stays private.
    EXPECT_EQ(fs::status(dir / "new.dat").permissions(),
              fs::perms::owner_read | fs::perms::owner_write);

    // A link to a file: the file gets the bytes, the link stays a link.
    fs::create_symlink(dir / "new.dat", dir / "absolute");
    EXPECT_EQ(Write(dir / "absolute", "through"), std::error_code());
    EXPECT_TRUE(IsLink(dir / "absolute"));
    EXPECT_EQ(ReadBytes(dir / "new.dat"), "through");

    // A relative target counts from the link's folder, not from the current one; a chain of
    // links is followed to its end.
    fs::create_directories(dir / "links");
    fs::create_directories(dir / "data");
    std::ofstream(dir / "data" / "out.dat") << "old";
    fs::create_symlink("../data/out.dat", dir / "links" / "relative");
    fs::create_symlink("relative", dir / "links" / "chain");
    EXPECT_EQ(Write(dir / "links" / "chain", "chained"), std::error_code());
    EXPECT_TRUE(IsLink(dir / "links" / "chain"));
    EXPECT_TRUE(IsLink(dir / "links" / "relative"));
    EXPECT_EQ(ReadBytes(dir / "data" / "out.dat"), "chained");
    EXPECT_EQ(Entries(dir / "data"), 1u);  // written in the target's folder, no leftovers

    // A link to nothing gets its target made.
    fs::create_symlink("../data/made.dat", dir / "links" / "dangling");
    EXPECT_EQ(Write(dir / "links" / "dangling", "made"), std::error_code());
    EXPECT_TRUE(IsLink(dir / "links" / "dangling"));
    EXPECT_EQ(ReadBytes(dir / "data" / "made.dat"), "made");
    // ... unless the target's folder is missing too.
    fs::create_symlink("nowhere/x.dat", dir / "lost");
    EXPECT_EQ(Write(dir / "lost", "x"), std::errc::no_such_file_or_directory);
}

TEST(FileWriter, RefusesFoldersSocketsAndLoopsLeavingThemAsTheyWere) {
    TempDir dir;
    fs::create_directories(dir / "folder");
    std::ofstream(dir / "folder" / "keep") << "kept";
    fs::create_symlink(dir / "folder", dir / "to-folder");
    fs::create_symlink("loop-b", dir / "loop-a");
    fs::create_symlink("loop-a", dir / "loop-b");
    const std::string socketPath = (dir / "socket").string();
    const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, socketPath.c_str(), sizeof address.sun_path - 1);
    ASSERT_EQ(::bind(sock, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);

    struct Case {
        fs::path path;
        std::error_code error;
    };
    const Case cases[] = {
        {dir / "folder", std::make_error_code(std::errc::is_a_directory)},
        {dir / "to-folder", std::make_error_code(std::errc::is_a_directory)},
        {(dir / "folder").string() + "/", std::make_error_code(std::errc::is_a_directory)},
        {dir / "loop-a", std::make_error_code(std::errc::too_many_symbolic_link_levels)},
        {dir / "socket", make_error_code(WriteError::Socket)},
        {dir / "missing" / "x.dat", std::make_error_code(std::errc::no_such_file_or_directory)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path.string());
        EXPECT_EQ(CheckWritable(c.path.string()), c.error);  // known before writing
        EXPECT_EQ(Write(c.path, "x"), c.error);
    }
    ::close(sock);
    EXPECT_EQ(ReadBytes(dir / "folder" / "keep"), "kept");
    EXPECT_TRUE(IsLink(dir / "to-folder"));
    EXPECT_EQ(Entries(dir.path()), 5u);
    EXPECT_EQ(Entries(dir / "folder"), 1u);

    EXPECT_EQ(CheckWritable((dir / "new.dat").string()), std::error_code());
    EXPECT_EQ(CheckWritable((dir / "folder" / "keep").string()), std::error_code());
}

TEST(FileWriter, WritesPipesInPlaceAndRefusesOneWithoutReaderAtOnce) {
    TempDir dir;
    const fs::path fifo = dir / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    fs::create_symlink(fifo, dir / "to-fifo");

    // No program reads: refused, not waited for.
    EXPECT_EQ(CheckWritable(fifo.string()), std::error_code());  // a reader may come
    EXPECT_EQ(Write(fifo, "lost"), make_error_code(WriteError::NoReader));

    // With a reader the bytes go through, and the pipe and the link stay what they were.
    PipeReader reader(fifo);
    ASSERT_TRUE(reader.Open());
    EXPECT_EQ(Write(dir / "to-fifo", "through the pipe"), std::error_code());
    EXPECT_EQ(reader.Take(), "through the pipe");
    EXPECT_TRUE(fs::is_fifo(fifo));
    EXPECT_TRUE(IsLink(dir / "to-fifo"));
    EXPECT_EQ(Entries(dir.path()), 2u);
}

TEST(FileWriter, WritesDevicesInPlaceAndSaysWhenTheyAreFull) {
    TempDir dir;
    const fs::path null = dir / "null";
    const fs::path full = dir / "full";
    if (!fixtures::MakeNullAndFullDevices(null, full)) {
        GTEST_SKIP() << "making device nodes needs root";
    }
    fs::create_symlink(null, dir / "to-null");
    EXPECT_EQ(CheckWritable(null.string()), std::error_code());
    EXPECT_EQ(Write(null, "discarded"), std::error_code());
    EXPECT_EQ(Write(dir / "to-null", "discarded"), std::error_code());
    EXPECT_EQ(Write(full, "no room"), std::errc::no_space_on_device);
    for (const fs::path& device : {null, full}) {
        EXPECT_TRUE(fs::is_character_file(device)) << device;
    }
    EXPECT_TRUE(IsLink(dir / "to-null"));
    EXPECT_EQ(Entries(dir.path()), 3u);
}

TEST(FileWriter, SameFileHoweverSpelt) {
    TempDir dir;
    std::ofstream(dir / "a.dat") << "a";
    std::ofstream(dir / "b.dat") << "b";
    fs::create_directories(dir / "sub");
    fs::create_symlink(dir / "a.dat", dir / "link");
    fs::create_hard_link(dir / "a.dat", dir / "hard");
    fs::create_symlink("sub/../missing.dat", dir / "dangling");
    fs::create_symlink(dir / "sub", dir / "sublink");
    const auto p = [&](const std::string& name) { return (dir / name).string(); };

    EXPECT_TRUE(SameFile(p("a.dat"), p("./a.dat")));
    EXPECT_TRUE(SameFile(p("a.dat"), p("sub/../a.dat")));
    EXPECT_TRUE(SameFile(p("a.dat"), p("link")));
    EXPECT_TRUE(SameFile(p("a.dat"), p("hard")));
    EXPECT_FALSE(SameFile(p("a.dat"), p("b.dat")));
    // Names not taken yet: the same place.
    EXPECT_TRUE(SameFile(p("c.dat"), p("./c.dat")));
    EXPECT_TRUE(SameFile(p("c.dat"), p("sub/../c.dat")));
    EXPECT_TRUE(SameFile(p("sub/c.dat"), p("sublink/c.dat")));
    EXPECT_TRUE(SameFile(p("missing.dat"), p("dangling")));
    EXPECT_FALSE(SameFile(p("c.dat"), p("d.dat")));
    EXPECT_FALSE(SameFile(p("c.dat"), p("a.dat")));
}
