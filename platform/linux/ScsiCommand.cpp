#include "platform/linux/ScsiCommand.h"

#include <scsi/sg.h>
#include <sys/ioctl.h>

#include <algorithm>
#include <array>
#include <limits>

namespace platform {

namespace {

// Long enough for a drive that spins up first; commands of their own end far sooner.
constexpr unsigned kTimeoutMs = 20000;

int DirectionOf(mmc::Direction direction) {
    switch (direction) {
        case mmc::Direction::FromDrive:
            return SG_DXFER_FROM_DEV;
        case mmc::Direction::ToDrive:
            return SG_DXFER_TO_DEV;
        case mmc::Direction::None:
            break;
    }
    return SG_DXFER_NONE;
}

}  // namespace

CommandOutcome SendCommand(int fd, mmc::Command& command, ScsiIoctl ioctl) {
    std::array<std::uint8_t, 32> sense{};
    if (command.cdb.size() > std::numeric_limits<unsigned char>::max() ||
        command.data.size() > std::numeric_limits<unsigned int>::max()) {
        return {};
    }
    sg_io_hdr_t header{};
    header.interface_id = 'S';
    header.dxfer_direction = command.data.empty() ? SG_DXFER_NONE : DirectionOf(command.direction);
    header.cmd_len = static_cast<unsigned char>(command.cdb.size());
    header.cmdp = command.cdb.data();
    header.dxfer_len = static_cast<unsigned int>(command.data.size());
    header.dxferp = command.data.empty() ? nullptr : command.data.data();
    header.mx_sb_len = static_cast<unsigned char>(sense.size());
    header.sbp = sense.data();
    header.timeout = kTimeoutMs;
    if (ioctl(fd, &header) != 0) {
        return {};  // not sent: a handle without the right, or no SCSI device at all
    }
    if ((header.info & SG_INFO_OK_MASK) == SG_INFO_OK) {
        return {true, {}};
    }
    const std::size_t written = std::min<std::size_t>(header.sb_len_wr, sense.size());
    return {false, mmc::ParseSense(std::span(sense.data(), written))};
}

int SystemScsiIoctl(int fd, void* sgIoHeader) {
    return ::ioctl(fd, SG_IO, sgIoHeader);
}

}  // namespace platform
