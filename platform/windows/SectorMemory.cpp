#include <windows.h>

#include <new>

#include "platform/SectorBuffer.h"

namespace platform {

// Whole pages, as unbuffered reads want them, zero-filled by the system.
std::uint8_t* SectorBuffer::AllocatePages(std::size_t bytes) {
    void* pages = ::VirtualAlloc(nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (pages == nullptr) {
        throw std::bad_alloc();
    }
    return static_cast<std::uint8_t*>(pages);
}

void SectorBuffer::FreePages::operator()(std::uint8_t* p) const {
    ::VirtualFree(p, 0, MEM_RELEASE);
}

}  // namespace platform
