#include "results/HostName.h"

#include <cstdlib>

#include "platform/Files.h"

namespace results {

namespace {

constexpr std::uint64_t kMaxNameBytes = 4096;

std::string FirstLine(const std::string& text) {
    const std::size_t end = text.find_first_of("\r\n");
    return text.substr(0, end);
}

}  // namespace

std::string ThisHostName() {
    if (const char* name = std::getenv("COMPUTERNAME"); name != nullptr && *name != '\0') {
        return name;
    }
    for (const char* file : {"/proc/sys/kernel/hostname", "/etc/hostname"}) {
        const platform::FileBytes bytes = platform::ReadRegularFile(file, kMaxNameBytes);
        if (!bytes.error) {
            if (std::string name = FirstLine(bytes.bytes); !name.empty()) {
                return name;
            }
        }
    }
    return {};
}

}  // namespace results
