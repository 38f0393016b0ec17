#include "platform/SectorBuffer.h"

#include <cstring>
#include <new>

namespace platform {

SectorBuffer::SectorBuffer()
    : bytes_(static_cast<std::uint8_t*>(
          ::operator new[](kSectorBufferBytes, std::align_val_t{kSectorBufferAlignment}))) {
    std::memset(bytes_.get(), 0, kSectorBufferBytes);
}

void SectorBuffer::AlignedFree::operator()(std::uint8_t* p) const {
    ::operator delete[](p, std::align_val_t{kSectorBufferAlignment});
}

}  // namespace platform
