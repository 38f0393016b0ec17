#include "platform/SimDrive.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <thread>

#include "platform/MmcCommands.h"
#include "platform/SectorBuffer.h"
#include "platform/SimUdfVolume.h"

namespace platform {

namespace {

constexpr std::size_t kVolumeIdOffset = 40;
constexpr std::size_t kVolumeIdBytes = 32;
constexpr std::int64_t kDescriptorSector = 16;

void PutBothEndian32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        p[i] = static_cast<std::uint8_t>(v >> (8 * i));
        p[7 - i] = static_cast<std::uint8_t>(v >> (8 * i));
    }
}

void PutBothEndian16(std::uint8_t* p, std::uint16_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
    p[2] = static_cast<std::uint8_t>(v >> 8);
    p[3] = static_cast<std::uint8_t>(v);
}

// A primary volume descriptor with the fields a reader of the disc looks at.
void FillPrimaryVolumeDescriptor(const SimDiscParams& params, std::span<std::uint8_t> d) {
    std::fill(d.begin(), d.end(), std::uint8_t{0});
    d[0] = 1;
    std::memcpy(&d[1], "CD001", 5);
    d[6] = 1;
    std::fill(&d[8], &d[40], std::uint8_t{' '});  // system identifier
    for (std::size_t i = 0; i < kVolumeIdBytes; ++i) {
        d[kVolumeIdOffset + i] = i < params.volumeId.size()
                                     ? static_cast<std::uint8_t>(params.volumeId[i])
                                     : std::uint8_t{' '};
    }
    PutBothEndian32(&d[80], params.volumeSectors);
    PutBothEndian16(&d[120], 1);     // volume set size
    PutBothEndian16(&d[124], 1);     // volume sequence number
    PutBothEndian16(&d[128], 2048);  // logical block size
    d[881] = 1;                      // file structure version
}

}  // namespace

class SimDeviceFile final : public DeviceFile {
  public:
    explicit SimDeviceFile(std::shared_ptr<SimDrive> drive) : drive_(std::move(drive)) {
        drive_->held_ = true;
    }
    ~SimDeviceFile() override {
        if (slowed_) {
            drive_->SetSpeedCap(std::nullopt);
        }
        drive_->held_ = false;
    }
    SimDeviceFile(const SimDeviceFile&) = delete;
    SimDeviceFile& operator=(const SimDeviceFile&) = delete;

    bool ReadAt(std::uint64_t byteOffset, std::span<std::uint8_t> dst) override {
        return drive_->Read(byteOffset, dst);
    }
    bool SelectReadSpeed(const ReadSpeedRequest& request) override {
        if (drive_->Params().refusesReadSpeed || request.times < 0) {
            return false;
        }
        slowed_ = request.times > 0 && !drive_->Params().ignoresReadSpeed;
        drive_->SetSpeedCap(
            slowed_ ? std::optional<double>(request.times * SingleSpeedKBs(request.medium))
                    : std::nullopt);
        return true;
    }
    std::optional<std::int64_t> MediumSectors() override { return drive_->MediumSectors(); }
    DiscState CheckDisc() override {
        return drive_->Vanished() ? drive_->Params().vanishesAs : DiscState::Present;
    }

  private:
    std::shared_ptr<SimDrive> drive_;
    bool slowed_ = false;
};

std::uint32_t SimClock::TickCount() const {
    const double whole = std::fmod(std::floor(elapsedMs_), 4294967296.0);
    return start_ + static_cast<std::uint32_t>(whole);
}

std::uint64_t SimClock::MicroTicks() const {
    return std::uint64_t{start_} * 1000u +
           static_cast<std::uint64_t>(std::floor(elapsedMs_ * 1000.0));
}

void SimClock::Advance(double milliseconds) {
    if (std::isfinite(milliseconds) && milliseconds > 0.0) {
        elapsedMs_ += milliseconds;
    }
}

SimDrive::SimDrive(SimDiscParams params)
    : params_(std::move(params)),
      mediumSectors_(params_.mediumSectors.value_or(params_.volumeSectors)),
      clock_(params_.clockStart) {}

double SimDrive::SpeedKBsAt(std::int64_t sector) const {
    const double span = static_cast<double>(std::max<std::int64_t>(mediumSectors_, 1));
    const double position = std::clamp(static_cast<double>(sector) / span, 0.0, 1.0);
    const double inner = params_.innerSpeedX;
    const double outer = params_.outerSpeedX;
    const double x = params_.speedFollowsRadius
                         ? std::sqrt(inner * inner + (outer * outer - inner * inner) * position)
                         : inner + (outer - inner) * position;
    return std::max(x * SlowFactorAt(sector), 0.01) * params_.singleSpeedKBs;
}

double SimDrive::SlowFactorAt(std::int64_t sector) const {
    double factor = 1.0;
    for (const SimDiscParams::SlowStretch& stretch : params_.slow) {
        if (sector >= stretch.sectors.first && sector <= stretch.sectors.last) {
            factor = stretch.speedFactor;
        }
    }
    return factor;
}

double SimDrive::ModelDurationMs(std::int64_t firstSector, std::int64_t count,
                                 bool sequential) const {
    const double kilobytes = static_cast<double>(count) * 2.0;
    // A worn stretch slows a drive of fixed speed as it slows any other.
    double transfer = params_.fixedMsPerSector > 0.0
                          ? static_cast<double>(count) * params_.fixedMsPerSector /
                                std::max(SlowFactorAt(firstSector), 0.01)
                          : kilobytes / SpeedKBsAt(firstSector) * 1000.0;
    if (speedCap_) {
        // Held to a speed, the drive is never faster than asked, even to the millisecond
        // tick: the read lasts at least the whole milliseconds that the speed allows.
        // (A hair below a whole number still counts as that number.)
        transfer = std::max(transfer, std::ceil(kilobytes / *speedCap_ * 1000.0 - 1e-9));
    }
    return transfer + (sequential ? 0.0 : params_.seekMs);
}

void SimDrive::SetSpeedCap(std::optional<double> kbPerSecond) {
    if (kbPerSecond && !(*kbPerSecond > 0.0 && std::isfinite(*kbPerSecond))) {
        kbPerSecond.reset();  // no speed at all is no cap
    }
    speedCap_ = kbPerSecond;
}

void SimDrive::ScriptDurations(std::initializer_list<double> milliseconds) {
    scripted_.insert(scripted_.end(), milliseconds.begin(), milliseconds.end());
}

void SimDrive::SectorContent(std::int64_t sector, std::span<std::uint8_t> dst) const {
    if (sector == kDescriptorSector && params_.descriptorSector) {
        const auto& bytes = *params_.descriptorSector;
        const std::size_t n = std::min(bytes.size(), dst.size());
        std::copy_n(bytes.begin(), n, dst.begin());
        std::fill(dst.begin() + static_cast<std::ptrdiff_t>(n), dst.end(), std::uint8_t{0});
        return;
    }
    if (params_.udfOnly) {
        if (FillUdfStructure(sector, mediumSectors_, params_.volumeId, dst)) {
            return;
        }
    } else if (sector == kDescriptorSector) {
        FillPrimaryVolumeDescriptor(params_, dst);
        return;
    }
    std::memset(dst.data(), static_cast<int>(sector * 131 & 0xFF), dst.size());
    const auto s = static_cast<std::uint64_t>(sector);
    for (std::size_t i = 0; i < 8 && i < dst.size(); ++i) {
        dst[i] = static_cast<std::uint8_t>(s >> (8 * i));
    }
}

bool SimDrive::Unreadable(std::int64_t first, std::int64_t count) const {
    const std::int64_t last = first + count - 1;
    return std::any_of(params_.unreadable.begin(), params_.unreadable.end(),
                       [&](const SectorRange& r) { return r.first <= last && first <= r.last; });
}

bool SimDrive::Read(std::uint64_t byteOffset, std::span<std::uint8_t> dst) {
    // Like an unbuffered device: only whole sectors at sector boundaries.
    if (byteOffset % kSectorBytes != 0 || dst.size() % kSectorBytes != 0 || dst.empty()) {
        return false;
    }
    const auto first = static_cast<std::int64_t>(byteOffset / kSectorBytes);
    const auto count = static_cast<std::int64_t>(dst.size() / kSectorBytes);
    ++reads_;

    const bool sequential = first == nextSequential_;
    double duration = ModelDurationMs(first, count, sequential);
    if (!scripted_.empty()) {
        duration = scripted_.front();
        scripted_.pop_front();
    }
    clock_.Advance(duration);
    if (params_.paceDivisor > 0.0) {
        std::this_thread::sleep_for(
            std::chrono::duration<double, std::milli>(duration / params_.paceDivisor));
    }
    nextSequential_ = first + count;
    if (readHook_) {
        readHook_(first);
    }

    const bool ok = Transfer(first, count, dst);
    log_.push_back({first, count, ok});
    return ok;
}

bool SimDrive::Transfer(std::int64_t first, std::int64_t count, std::span<std::uint8_t> dst) {
    if (Vanished()) {
        return false;
    }
    const std::int64_t available = std::clamp<std::int64_t>(mediumSectors_ - first, 0, count);
    if (available < count && params_.endOfMedium == EndOfMedium::Fail) {
        return false;
    }
    for (std::int64_t i = 0; i < available; ++i) {
        SectorContent(first + i,
                      dst.subspan(static_cast<std::size_t>(i) * kSectorBytes, kSectorBytes));
    }
    return available == count && !Unreadable(first, count);
}

std::unique_ptr<DeviceFile> SimDrive::Open(std::shared_ptr<SimDrive> self) {
    if (held_) {
        return nullptr;
    }
    return std::make_unique<SimDeviceFile>(std::move(self));
}

std::string SimMediumName(const SimDiscParams& disc) {
    if (disc.singleSpeedKBs == kBluRaySingleSpeedKBs) {
        return "BD-ROM";
    }
    return disc.singleSpeedKBs == kDvdSingleSpeedKBs ? "DVD-ROM" : "CD-ROM";
}

std::uint32_t SimFastestKBs(const SimDiscParams& disc) {
    Medium medium = Medium::CD;
    if (disc.singleSpeedKBs == kBluRaySingleSpeedKBs) {
        medium = Medium::BluRay;
    } else if (disc.singleSpeedKBs == kDvdSingleSpeedKBs) {
        medium = Medium::DVD;
    }
    const double fastest = std::max(disc.innerSpeedX, disc.outerSpeedX);
    return mmc::RequestKBs({static_cast<std::int32_t>(std::lround(fastest)), medium});
}

bool WriteSparseImage(const SimDiscParams& disc, const std::string& path) {
    const auto sectors = disc.mediumSectors.value_or(disc.volumeSectors);
    const SimDrive drive(disc);
    const std::vector<std::int64_t> structures =
        disc.udfOnly ? UdfStructureSectors() : std::vector<std::int64_t>{kDescriptorSector};
    std::vector<std::uint8_t> content(kSectorBytes);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    for (const std::int64_t sector : structures) {
        drive.SectorContent(sector, content);
        out.seekp(sector * static_cast<std::streamoff>(kSectorBytes));
        out.write(reinterpret_cast<const char*>(content.data()),
                  static_cast<std::streamsize>(content.size()));
    }
    out.close();
    if (!out) {
        return false;
    }
    std::error_code ec;
    const std::int64_t written =
        structures.empty() ? 0 : *std::max_element(structures.begin(), structures.end()) + 1;
    std::filesystem::resize_file(
        path, static_cast<std::uintmax_t>(std::max<std::int64_t>(sectors, written)) * kSectorBytes,
        ec);
    return !ec;
}

SimDiscParams DemoDisc(bool paced) {
    SimDiscParams p;
    p.volumeSectors = 333000;
    p.volumeId = "DISCOMETER_DEMO";
    p.innerSpeedX = 21.0;
    p.outerSpeedX = 52.0;
    p.seekMs = 1.5;
    p.unreadable = {{121300, 121900}, {248050, 248400}};
    p.endOfMedium = EndOfMedium::ShortRead;
    // About 110 s of modelled reading, shown in about 20 s.
    p.paceDivisor = paced ? 5.5 : 0.0;
    return p;
}

SimDiscParams DemoAgedDisc(bool paced) {
    SimDiscParams p = DemoDisc(paced);
    p.unreadable = {{120700, 122600}, {247300, 249100}, {290200, 291800}};
    p.slow = {{{60000, 79999}, 0.45}};
    return p;
}

SimDiscParams DemoDvd(bool paced) {
    SimDiscParams p;
    p.volumeSectors = 2295104;  // 4,700,372,992 bytes
    p.volumeId = "DISCOMETER_DVD";
    p.singleSpeedKBs = kDvdSingleSpeedKBs;
    p.innerSpeedX = 6.5;
    p.outerSpeedX = 16.0;
    p.speedFollowsRadius = true;
    p.seekMs = 1.0;
    p.unreadable = {{1402300, 1406800}};
    p.endOfMedium = EndOfMedium::ShortRead;
    // About 270 s of modelled reading, shown in about 30 s with the timer's pauses.
    p.paceDivisor = paced ? 14.0 : 0.0;
    return p;
}

SimDiscParams DemoBluRay(bool paced) {
    SimDiscParams p;
    p.volumeSectors = 12219392;  // 25,025,314,816 bytes
    p.volumeId = "DISCOMETER_BD";
    p.singleSpeedKBs = kBluRaySingleSpeedKBs;
    p.innerSpeedX = 5.0;
    p.outerSpeedX = 12.0;
    p.speedFollowsRadius = true;
    p.seekMs = 1.0;
    p.endOfMedium = EndOfMedium::ShortRead;
    // About 600 s of modelled reading; the 6,100 pauses of the window's timer alone take
    // 30 s, so the reads get 3 s.
    p.paceDivisor = paced ? 200.0 : 0.0;
    return p;
}

SimDiscParams DemoBluRayUdf(bool paced) {
    SimDiscParams p = DemoBluRay(paced);
    p.udfOnly = true;
    p.volumeId = "DISCOMETER_BD_UDF";
    return p;
}

}  // namespace platform
