#include "platform/windows/DriveIdentity.h"

#include <windows.h>

#include <winioctl.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstring>
#include <string_view>

#include "platform/IdentityField.h"
#include "platform/MmcCommands.h"
#include "platform/windows/CdromRequests.h"

namespace platform {

namespace {

// Room for the descriptor and its strings; a device that has more to say is cut short, and
// the strings come before its raw properties.
constexpr std::size_t kAnswerBytes = 1024;

std::uint32_t OffsetAt(std::span<const std::uint8_t> answer, std::size_t field) {
    std::uint32_t offset = 0;
    if (field + sizeof offset <= answer.size()) {
        std::memcpy(&offset, answer.data() + field, sizeof offset);
    }
    return offset;
}

// The string the field's offset points to, up to its terminating zero or the answer's end.
std::string FieldAt(std::span<const std::uint8_t> answer, std::size_t field) {
    const std::uint32_t offset = OffsetAt(answer, field);
    if (offset == 0 || offset >= answer.size()) {
        return {};
    }
    const std::string_view rest(reinterpret_cast<const char*>(answer.data()) + offset,
                                answer.size() - offset);
    return IdentityField(rest.substr(0, rest.find('\0')));
}

}  // namespace

DriveIdentity IdentityFromDescriptor(std::span<const std::uint8_t> answer) {
    return {FieldAt(answer, offsetof(STORAGE_DEVICE_DESCRIPTOR, VendorIdOffset)),
            FieldAt(answer, offsetof(STORAGE_DEVICE_DESCRIPTOR, ProductIdOffset)),
            FieldAt(answer, offsetof(STORAGE_DEVICE_DESCRIPTOR, ProductRevisionOffset))};
}

DriveIdentity QueryDriveIdentity(const std::string& devicePath, const RawDeviceCalls& calls) {
    if (calls.openToAsk == nullptr || calls.control == nullptr) {
        return {};
    }
    void* device = calls.openToAsk(devicePath.c_str());
    if (device == INVALID_HANDLE_VALUE) {
        return {};
    }
    STORAGE_PROPERTY_QUERY query{};
    query.PropertyId = StorageDeviceProperty;
    query.QueryType = PropertyStandardQuery;
    alignas(STORAGE_DEVICE_DESCRIPTOR) std::array<std::uint8_t, kAnswerBytes> answer{};
    std::uint32_t returned = 0;
    const bool answered =
        calls.control(device, IOCTL_STORAGE_QUERY_PROPERTY, &query, sizeof query, answer.data(),
                      static_cast<std::uint32_t>(answer.size()), &returned);
    calls.close(device);
    if (!answered) {
        return {};
    }
    DriveIdentity identity = IdentityFromDescriptor(
        std::span(answer).first(std::min<std::size_t>(returned, kAnswerBytes)));
    identity.medium = QueryMedium(devicePath, calls);
    return identity;
}

std::string QueryMedium(const std::string& devicePath, const RawDeviceCalls& calls) {
    // The current features, of which none is asked for: the header holds the profile.
    if (calls.control == nullptr) {
        return {};
    }
    void* device = calls.open(devicePath.c_str(), 0);
    if (device == INVALID_HANDLE_VALUE) {
        return {};
    }
    const ConfigurationQuery query{0, kCurrentFeatures, {nullptr, nullptr}};
    std::array<std::uint8_t, 8> header{};  // its last two bytes: the current profile
    std::uint32_t returned = 0;
    const bool answered = calls.control(device, kGetConfigurationIoctl, &query, sizeof query,
                                        header.data(), header.size(), &returned);
    const DWORD error = ::GetLastError();
    calls.close(device);
    const auto profile = mmc::CurrentProfile(
        std::span(header).first(answered ? std::min<std::size_t>(returned, header.size()) : 0));
    if (profile) {
        return *profile == 0 ? kNoDisc : mmc::ProfileName(*profile);
    }
    return !answered && error == ERROR_NOT_READY ? kNoDisc : "";
}

}  // namespace platform
