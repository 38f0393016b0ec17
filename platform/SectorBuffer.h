#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

namespace platform {

constexpr std::size_t kSectorBytes = 2048;
constexpr std::size_t kMaxSectorsPerRead = 1000;
constexpr std::size_t kSectorBufferBytes = kSectorBytes * kMaxSectorsPerRead;  // 2,048,000
// Unbuffered device reads want the destination aligned to the page size.
constexpr std::size_t kSectorBufferAlignment = 4096;

// The read buffer: room for 1000 sectors, page aligned, zero-filled when made.
class SectorBuffer {
  public:
    SectorBuffer();
    std::uint8_t* data() { return bytes_.get(); }
    const std::uint8_t* data() const { return bytes_.get(); }
    static constexpr std::size_t size() { return kSectorBufferBytes; }
    std::span<std::uint8_t> span() { return {data(), size()}; }
    std::span<const std::uint8_t> span() const { return {data(), size()}; }
    std::uint8_t& operator[](std::size_t i) { return bytes_[i]; }
    std::uint8_t operator[](std::size_t i) const { return bytes_[i]; }

  private:
    // Page-aligned memory from the system; each system has its own.
    static std::uint8_t* AllocatePages(std::size_t bytes);
    struct FreePages {
        void operator()(std::uint8_t* p) const;
    };
    std::unique_ptr<std::uint8_t[], FreePages> bytes_;
};

}  // namespace platform
