#include "cli/DocumentStreams.h"

#include <cerrno>
#include <string>

#include "platform/Console.h"
#include "results/ResultsDocument.h"

namespace cli {

namespace {

std::error_code StreamError() {
    return {errno != 0 ? errno : EIO, std::generic_category()};
}

}  // namespace

std::error_code ReadDocumentFrom(std::FILE* stream, run::DataList& list) {
    platform::UseBinaryMode(stream);
    std::string bytes;
    char chunk[64 * 1024];
    for (;;) {
        errno = 0;
        const std::size_t n = std::fread(chunk, 1, sizeof chunk, stream);
        bytes.append(chunk, n);
        if (bytes.size() > results::kMaxDocumentBytes) {
            return std::make_error_code(std::errc::file_too_large);
        }
        if (n < sizeof chunk) {
            if (std::ferror(stream) != 0) {
                return StreamError();
            }
            break;
        }
    }
    return results::TakeDocument(bytes, list);
}

std::error_code WriteDocumentTo(std::FILE* stream, const run::DataList& list) {
    platform::UseBinaryMode(stream);
    const std::string bytes = results::DocumentBytes(list);
    errno = 0;
    if (std::fwrite(bytes.data(), 1, bytes.size(), stream) != bytes.size() ||
        std::fflush(stream) != 0) {
        const std::error_code error = StreamError();
        std::clearerr(stream);
        return error;
    }
    return {};
}

}  // namespace cli
