#include <new>

#include "platform/SectorBuffer.h"

namespace platform {

std::uint8_t* SectorBuffer::AllocatePages(std::size_t bytes) {
    return static_cast<std::uint8_t*>(
        ::operator new[](bytes, std::align_val_t{kSectorBufferAlignment}));
}

void SectorBuffer::FreePages::operator()(std::uint8_t* p) const {
    ::operator delete[](p, std::align_val_t{kSectorBufferAlignment});
}

}  // namespace platform
