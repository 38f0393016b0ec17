#include "results/DocumentHeader.h"

#include "results/NumberText.h"

namespace results {

namespace {

// Byte n (0 = lowest) of a 32-bit word.
std::uint32_t ByteOf(std::uint32_t word, int n) {
    return (word >> (8 * n)) & 0xFFu;
}

std::string KeyLine(std::string_view key, std::string_view value) {
    std::string line;
    line.reserve(key.size() + 1 + value.size());
    line.append(key);
    line.push_back('=');
    line.append(value);
    return line;
}

// The value of key in the section that begins at start, or nothing when the section was not
// found (start 0) or the key is missing.
std::optional<std::string> Lookup(const DataList& list, std::int32_t start, std::string_view key) {
    if (start == 0) {
        return std::nullopt;
    }
    std::string value = SearchSubKey(list, start, key);
    if (value == kNotFound) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

std::string ResultLine(std::int32_t blockIndex, double speed) {
    return IntToText(blockIndex) + ' ' + TruncToText(speed);
}

void WriteDocumentHeader(DataList& list, const run::RunState& state) {
    const std::uint32_t build = state.OSBuildNumber;
    list.emplace_back("[Builder]");
    list.push_back(KeyLine("Program", state.ProgramTitle));
    list.push_back(KeyLine("Copyright", state.CopyrightLine));
    list.emplace_back();
    list.emplace_back("[SysInfo]");
    list.push_back(KeyLine("Platform", UnsignedToText(state.OSPlatformId)));
    list.push_back(KeyLine("MajorVersion", UnsignedToText(state.OSMajorVersion)));
    list.push_back(KeyLine("MinorVersion", UnsignedToText(state.OSMinorVersion)));
    list.push_back(KeyLine("BuildNumber3", UnsignedToText(ByteOf(build, 3))));
    list.push_back(KeyLine("BuildNumber2", UnsignedToText(ByteOf(build, 2))));
    list.push_back(KeyLine("BuildNumber1", UnsignedToText(ByteOf(build, 1))));
    list.push_back(KeyLine("BuildNumber0", UnsignedToText(ByteOf(build, 0))));
    list.push_back(KeyLine("CSDVersion", state.OSCSDVersion));
    list.emplace_back();
    list.emplace_back("[DriveInfo]");
    list.push_back(KeyLine("Name", state.DriveName));
    list.emplace_back();
    list.emplace_back("[VolInfo]");
    list.push_back(KeyLine("VolLabel", state.VolumeLabel));
    list.push_back(KeyLine("VolSize", TruncToText(state.VolumeSize)));
    list.emplace_back();
    list.emplace_back(kResultsHeader);
    list.push_back(ResultLine(state.BlockIndex, state.CurSpeed));
}

DocumentHeader ReadDocumentHeader(const DataList& list) {
    DocumentHeader header;

    const std::int32_t builder = SearchKey(list, "[Builder]");
    if (auto v = Lookup(list, builder, "Program")) {
        header.Program = std::move(*v);
    }
    if (auto v = Lookup(list, builder, "Copyright")) {
        header.Copyright = std::move(*v);
    }

    const std::int32_t sysInfo = SearchKey(list, "[SysInfo]");
    if (auto v = Lookup(list, sysInfo, "Platform")) {
        header.Platform = TextToInt(*v);
    }
    if (auto v = Lookup(list, sysInfo, "MajorVersion")) {
        header.MajorVersion = TextToInt(*v);
    }
    if (auto v = Lookup(list, sysInfo, "MinorVersion")) {
        header.MinorVersion = TextToInt(*v);
    }
    if (auto v = Lookup(list, sysInfo, "BuildNumber3")) {
        header.BuildNumber3 = TextToInt(*v);
    }
    if (auto v = Lookup(list, sysInfo, "BuildNumber2")) {
        header.BuildNumber2 = TextToInt(*v);
    }

    const std::int32_t driveInfo = SearchKey(list, "[DriveInfo]");
    if (auto v = Lookup(list, driveInfo, "Name")) {
        header.Name = std::move(*v);
    }

    const std::int32_t volInfo = SearchKey(list, "[VolInfo]");
    if (auto v = Lookup(list, volInfo, "VolLabel")) {
        header.VolLabel = *v;  // ShortText keeps the first 255 characters
    }
    if (auto v = Lookup(list, volInfo, "VolSize")) {
        header.VolSize = TextToReal(*v);
    }
    return header;
}

double ReadFirstResultSpeed(std::string_view line) {
    constexpr std::size_t kSkipped = 2;  // the block number "1" and its blank
    constexpr std::size_t kSpeedChars = 5;
    if (line.size() <= kSkipped) {
        return 0.0;
    }
    return TextToReal(line.substr(kSkipped, kSpeedChars));
}

std::optional<BlockResult> ReadBlockResult(std::string_view line) {
    const std::size_t blank = line.find(' ');
    if (blank == std::string_view::npos) {
        return std::nullopt;
    }
    return BlockResult{TextToInt(line.substr(0, blank)), TextToReal(line.substr(blank + 1))};
}

}  // namespace results
