// The files of scripted runs through a window (Start, the ticks to the end, Save Graphic,
// Save Data on an unpaced simulated drive), against those kept in tests/parity, which the Qt
// window wrote: every front end writes the same bytes, but for what names the system, the
// values of [SysInfo] and the chart's title line.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/BmpFile.h"

namespace parity {

// A scripted run: the drive it measures and the files kept of it.
struct Run {
    const char* drive;
    const char* dataFile;
    const char* pictureFile;
};
// The CD, with its classic chart, and a DVD, with the chart of its medium.
inline constexpr Run kCdRun{"sim-unpaced", "ScriptedRun.dat", "ScriptedRun.bmp"};
inline constexpr Run kDvdRun{"sim-dvd-unpaced", "DvdRun.dat", "DvdRun.bmp"};
inline constexpr std::array kRuns{kCdRun, kDvdRun};
// Set, the Qt window's test writes its files into tests/parity instead of comparing.
inline constexpr const char* kUpdateVariable = "DISCOMETER_UPDATE_PARITY";

// The title line: drawn from x = 120 in the rows above the chart's frame.
inline constexpr std::int32_t kTitleLeft = 120;
inline constexpr std::int32_t kTitleRows = 15;

// The document's lines, the values of [SysInfo] left out.
inline std::vector<std::string> LinesWithoutSystem(const std::string& dat) {
    std::vector<std::string> lines;
    std::string section;
    std::size_t at = 0;
    while (at <= dat.size()) {
        const std::size_t end = std::min(dat.find("\r\n", at), dat.size());
        std::string line = dat.substr(at, end - at);
        if (line.starts_with('[')) {
            section = line;
        }
        if (section == "[SysInfo]" && line.find('=') != std::string::npos) {
            line.erase(line.find('=') + 1);
        }
        lines.push_back(std::move(line));
        at = end + 2;
    }
    return lines;
}

// Where two chart pictures differ outside the title line, or nothing when they are alike
// there. Their headers must be alike to the byte.
inline std::optional<std::string> PictureDifference(const std::string& a, const std::string& b) {
    const auto bytes = [](const std::string& s) {
        return std::span(reinterpret_cast<const std::uint8_t*>(s.data()), s.size());
    };
    const auto headerA = platform::DecodeBmpHeader(bytes(a));
    const auto headerB = platform::DecodeBmpHeader(bytes(b));
    const auto pictureA = platform::DecodeBmp(bytes(a));
    const auto pictureB = platform::DecodeBmp(bytes(b));
    if (!headerA || !headerB || !pictureA || !pictureB) {
        return "not both are bitmaps";
    }
    if (a.compare(0, headerA->pixelOffset, b, 0, headerB->pixelOffset) != 0) {
        return "the headers differ";
    }
    for (std::int32_t y = 0; y < pictureA->Height(); ++y) {
        for (std::int32_t x = 0; x < pictureA->Width(); ++x) {
            const bool title = y < kTitleRows && x >= kTitleLeft;
            if (!title && pictureA->Pixel(x, y) != pictureB->Pixel(x, y)) {
                return "pixel (" + std::to_string(x) + ", " + std::to_string(y) + ") differs";
            }
        }
    }
    return std::nullopt;
}

}  // namespace parity
