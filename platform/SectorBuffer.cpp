#include "platform/SectorBuffer.h"

#include <cstring>

namespace platform {

SectorBuffer::SectorBuffer() : bytes_(AllocatePages(kSectorBufferBytes)) {
    std::memset(bytes_.get(), 0, kSectorBufferBytes);
}

}  // namespace platform
