#include "results/ResultsDocument.h"

#include <algorithm>
#include <cstddef>
#include <limits>
#include <span>

#include "platform/AtomicFile.h"
#include "platform/Files.h"

namespace results {

std::string DocumentBytes(const DataList& list) {
    std::size_t total = 0;
    for (const std::string& line : list) {
        total += line.size() + 2;
    }
    std::string bytes;
    bytes.reserve(total);
    for (const std::string& line : list) {
        bytes += line;
        bytes += "\r\n";
    }
    return bytes;
}

std::error_code WriteDocument(const DataList& list, const std::string& path) {
    const std::string bytes = DocumentBytes(list);
    return platform::WriteWholeFile(
        path, std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
}

DataList ParseDocument(std::string_view bytes) {
    DataList list;
    std::size_t lineStart = 0;
    std::size_t i = 0;
    while (i < bytes.size()) {
        const char c = bytes[i];
        if (c != '\r' && c != '\n') {
            ++i;
            continue;
        }
        list.emplace_back(bytes.substr(lineStart, i - lineStart));
        ++i;
        if (c == '\r' && i < bytes.size() && bytes[i] == '\n') {
            ++i;
        }
        lineStart = i;
    }
    if (lineStart < bytes.size()) {
        list.emplace_back(bytes.substr(lineStart));
    }
    return list;
}

namespace {

class DocumentProblemCategory final : public std::error_category {
  public:
    const char* name() const noexcept override { return "document"; }
    std::string message(int value) const override {
        switch (static_cast<DocumentProblem>(value)) {
            case DocumentProblem::Utf16Text:
                return "not a Discometer data file (UTF-16 text)";
        }
        return "not a Discometer data file";
    }
};

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LittleEndianMark = "\xFF\xFE";
constexpr std::string_view kUtf16BigEndianMark = "\xFE\xFF";

}  // namespace

std::error_code MakeError(DocumentProblem problem) {
    static const DocumentProblemCategory category;
    return {static_cast<int>(problem), category};
}

std::error_code LoadDocument(const std::string& path, DataList& list) {
    const platform::FileBytes file = platform::ReadRegularFile(path, kMaxDocumentBytes);
    if (file.error) {
        return file.error;
    }
    return TakeDocument(file.bytes, list);
}

std::error_code TakeDocument(std::string_view bytes, DataList& list) {
    if (bytes.starts_with(kUtf16LittleEndianMark) || bytes.starts_with(kUtf16BigEndianMark)) {
        return MakeError(DocumentProblem::Utf16Text);
    }
    if (bytes.starts_with(kUtf8Mark)) {
        bytes.remove_prefix(kUtf8Mark.size());
    }
    list = ParseDocument(bytes);
    return {};
}

std::int32_t SearchKey(const DataList& list, std::string_view header) {
    // The result is the index after the match as an int, so only that many lines can match.
    constexpr std::size_t kSearchable = std::numeric_limits<std::int32_t>::max();
    const std::size_t count = std::min(list.size(), kSearchable);
    for (std::size_t i = 0; i < count; ++i) {
        if (list[i] == header) {
            return static_cast<std::int32_t>(i + 1);
        }
    }
    return 0;
}

std::string SearchSubKey(const DataList& list, std::int32_t start, std::string_view key) {
    if (start < 0) {
        return std::string(kNotFound);
    }
    for (std::size_t i = static_cast<std::size_t>(start); i < list.size(); ++i) {
        const std::string_view line = list[i];
        if (line.empty() || line.front() == '[') {
            break;
        }
        const std::size_t equals = line.substr(0, kKeyWindow).find('=');
        if (equals == std::string_view::npos) {
            continue;
        }
        if (line.substr(0, equals) == key) {
            return std::string(line.substr(equals + 1));
        }
    }
    return std::string(kNotFound);
}

}  // namespace results
