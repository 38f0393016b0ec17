// The largest data file a run can produce: a 24-bit volume size allows 16,777 blocks of
// 1000 sectors, so a full header and then result lines up to 16,777 lines in all.
#pragma once

#include <cstddef>
#include <string>

#include "results/ResultsDocument.h"

namespace bench {

inline constexpr std::size_t kLargestDocumentLines = 16'777;

// "1 8400", then blocks 3, 5, 7, ... with speeds that vary like a CAV drive's, some of them
// unreadable (speed 0).
results::DataList LargestDocument();

// The document saved once to a temporary file, removed again when this goes.
class SavedDocument {
  public:
    explicit SavedDocument(const results::DataList& list);
    ~SavedDocument();
    SavedDocument(const SavedDocument&) = delete;
    SavedDocument& operator=(const SavedDocument&) = delete;

    bool Ok() const { return ok_; }
    const std::string& Path() const { return path_; }

  private:
    std::string path_;
    bool ok_ = false;
};

}  // namespace bench
