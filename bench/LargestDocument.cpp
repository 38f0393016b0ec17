#include "bench/LargestDocument.h"

#include <stdlib.h>
#include <unistd.h>

#include <cstdint>

#include "results/DocumentHeader.h"
#include "run/RunState.h"

namespace bench {

results::DataList LargestDocument() {
    run::RunState s;
    s.ProgramTitle = run::kProgramTitleText;
    s.CopyrightLine = run::kCopyrightText;
    s.OSPlatformId = 4;
    s.OSMajorVersion = 6;
    s.OSMinorVersion = 1;
    s.OSBuildNumber = 0x0601001C;
    s.OSCSDVersion = "6.1.0-28-amd64";
    s.DriveName = "CDROM";
    s.VolumeLabel = "DISCOMETER_DEMO                 ";
    s.VolumeSize = 16'777'215.0;
    s.BlockIndex = 1;
    s.CurSpeed = 8400.0;
    results::DataList list;
    results::WriteDocumentHeader(list, s);
    for (std::int32_t block = 3; list.size() < kLargestDocumentLines; block += 2) {
        const double speed = block % 97 == 0 ? 0.0 : 7012.0 + ((block - 3) % 5000) * 0.3;
        list.push_back(results::ResultLine(block, speed));
    }
    return list;
}

SavedDocument::SavedDocument(const results::DataList& list) {
    char pattern[] = "/tmp/discometer-bench-XXXXXX";
    const int fd = ::mkstemp(pattern);
    if (fd < 0) {
        return;
    }
    ::close(fd);
    path_ = pattern;
    ok_ = !results::WriteDocument(list, path_);
}

SavedDocument::~SavedDocument() {
    if (!path_.empty()) {
        ::unlink(path_.c_str());
    }
}

}  // namespace bench
