#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/SingleSpeeds.h"
#include "platform/System.h"

namespace platform {

// A range of sectors, both ends included.
struct SectorRange {
    std::int64_t first = 0;
    std::int64_t last = 0;
};

// What a read that runs past the end of the medium gives back.
enum class EndOfMedium {
    Fail,       // nothing arrives
    ShortRead,  // the sectors before the end arrive, the rest does not
};

// The millisecond tick counter of the simulated drive. It advances only by the modelled
// duration of each read, so the figures of a run are known exactly.
class SimClock {
  public:
    explicit SimClock(std::uint32_t start = 0) : start_(start) {}
    std::uint32_t TickCount() const;
    // The same clock in whole microseconds, from the same start.
    std::uint64_t MicroTicks() const;
    void Advance(double milliseconds);
    double ElapsedMs() const { return elapsedMs_; }

  private:
    std::uint32_t start_;
    double elapsedMs_ = 0.0;
};

struct SimDiscParams {
    // Sectors the volume descriptor announces (its 32-bit volume space size).
    std::uint32_t volumeSectors = 333000;
    // Sectors the medium really holds; by default the volume's.
    std::optional<std::int64_t> mediumSectors;
    // The 32-byte volume identifier, exactly as stored (shorter texts are filled with blanks).
    std::string volumeId = "DISCOMETER_DEMO";
    // When set, sector 16 holds these bytes (padded with zeros) instead of a descriptor made
    // from the two fields above: any disc at all.
    std::optional<std::vector<std::uint8_t>> descriptorSector;
    // A disc with a UDF volume and no ISO 9660 one: its volume identifier is the logical
    // volume's, and its size the medium's.
    bool udfOnly = false;
    // Read speed in multiples of single speed: at the first sector and at the last. Equal
    // values model a constant linear velocity drive, different ones a constant angular velocity.
    double innerSpeedX = 52.0;
    double outerSpeedX = 52.0;
    // Single speed in KB/s, one of kCdSingleSpeedKBs, kDvdSingleSpeedKBs, kBluRaySingleSpeedKBs.
    double singleSpeedKBs = kCdSingleSpeedKBs;
    // How the speed grows from the first sector to the last: in a straight line, or with the
    // radius of the track, as a disc turning at a constant rate gives it (the radius grows
    // with the square root of the area already read).
    bool speedFollowsRadius = false;
    // When set, every sector takes this many milliseconds wherever it lies, so that tests
    // know each speed exactly (0.25 ms a sector is 8000 KB/s).
    double fixedMsPerSector = 0.0;
    // Added to every read that does not continue where the previous one ended.
    double seekMs = 0.0;
    std::vector<SectorRange> unreadable;
    // Stretches the drive reads slower than elsewhere, as it does over a worn area that it
    // reads again and again before it has it: a read that starts in one goes at `speedFactor`
    // of the speed the drive has there.
    struct SlowStretch {
        SectorRange sectors;
        double speedFactor = 1.0;
    };
    std::vector<SlowStretch> slow;
    EndOfMedium endOfMedium = EndOfMedium::ShortRead;
    // After this many reads every read fails, as when the disc is taken out, and the drive
    // then says this of its disc (Present: a drive that cannot tell).
    std::optional<std::uint64_t> vanishAfterReads;
    DiscState vanishesAs = DiscState::Removed;
    std::uint32_t clockStart = 0;
    // Real time slept per read is the modelled time divided by this; 0 means no sleeping.
    double paceDivisor = 0.0;
    // A drive that cannot be told its read speed, and one that takes the request and reads
    // at its own speed all the same.
    bool refusesReadSpeed = false;
    bool ignoresReadSpeed = false;
};

// One read as the drive saw it.
struct SimRead {
    std::int64_t first = 0;
    std::int64_t count = 0;
    bool ok = false;
    friend bool operator==(const SimRead&, const SimRead&) = default;
};

class SimDeviceFile;

// A simulated optical drive with a data disc in it.
class SimDrive {
  public:
    explicit SimDrive(SimDiscParams params);

    // Reads whole sectors at a sector-aligned byte offset. Advances the clock by the
    // modelled duration (or the next scripted one) whether or not the read succeeds.
    bool Read(std::uint64_t byteOffset, std::span<std::uint8_t> dst);

    // The modelled duration of reading the sectors, in milliseconds.
    double ModelDurationMs(std::int64_t firstSector, std::int64_t count, bool sequential) const;
    // Speed in KB/s at the given sector.
    double SpeedKBsAt(std::int64_t sector) const;
    // The speed factor of the worn stretch the sector lies in; 1 outside them.
    double SlowFactorAt(std::int64_t sector) const;

    // The next reads take these durations instead of the modelled ones.
    void ScriptDurations(std::initializer_list<double> milliseconds);
    // Called in each read, on the reading thread, with its first sector: a test holds a read
    // out there for as long as it needs.
    void SetReadHook(std::function<void(std::int64_t firstSector)> hook) {
        readHook_ = std::move(hook);
    }

    // Holds the drive to at most this many KB/s, as a drive told to read slower does;
    // no value lets it read at its own speed again.
    void SetSpeedCap(std::optional<double> kbPerSecond);
    std::optional<double> SpeedCap() const { return speedCap_; }

    SimClock& Clock() { return clock_; }
    const SimDiscParams& Params() const { return params_; }
    std::int64_t MediumSectors() const { return mediumSectors_; }
    std::uint64_t ReadCount() const { return reads_; }
    // Every read since the drive was made, in order.
    const std::vector<SimRead>& ReadLog() const { return log_; }

    // Fills one sector's worth of bytes as the disc holds them.
    void SectorContent(std::int64_t sector, std::span<std::uint8_t> dst) const;

    // The drive opened for one run; null while an earlier opening still holds it, as a real
    // drive is held by the run that measures it.
    std::unique_ptr<DeviceFile> Open(std::shared_ptr<SimDrive> self);
    bool Held() const { return held_; }
    // Whether the disc has gone, after the reads it was to last for.
    bool Vanished() const { return params_.vanishAfterReads && reads_ > *params_.vanishAfterReads; }

  private:
    friend class SimDeviceFile;
    bool Unreadable(std::int64_t first, std::int64_t count) const;
    bool Transfer(std::int64_t first, std::int64_t count, std::span<std::uint8_t> dst);

    SimDiscParams params_;
    std::int64_t mediumSectors_;
    SimClock clock_;
    std::deque<double> scripted_;
    std::int64_t nextSequential_ = -1;
    std::optional<double> speedCap_;
    std::uint64_t reads_ = 0;
    std::vector<SimRead> log_;
    bool held_ = false;
    std::function<void(std::int64_t)> readHook_;
};

// What a simulated drive calls its disc: a pressed disc of its kind ("CD-ROM", "DVD-ROM",
// "BD-ROM").
std::string SimMediumName(const SimDiscParams& disc);
// The fastest it says it reads its disc, as a drive gives it (kB/s of 1,000 bytes).
std::uint32_t SimFastestKBs(const SimDiscParams& disc);

// The disc as an image file of the medium's size: its volume descriptor, every other sector a
// hole that reads as zeros, so that even a Blu-ray's image takes no room. False when the file
// cannot be written.
bool WriteSparseImage(const SimDiscParams& disc, const std::string& path);

// The disc that the built-in "sim" entry shows: a full 74-minute disc on a 52x drive whose
// speed grows from about 21x inside to 52x outside, with two scratched areas.
SimDiscParams DemoDisc(bool paced);

// The same disc some years older: its two scratched areas have grown, a third area has
// become unreadable, and the drive reads the stretch from 60,000 to 79,999 at 45 % of its
// speed there. Its volume descriptor is the disc's as it was.
SimDiscParams DemoAgedDisc(bool paced);

// A full single-layer DVD (4.7 GB) on a 16x drive turning at a constant rate, about 6.5x at
// the hub to 16x at the rim, with one scratched area.
SimDiscParams DemoDvd(bool paced);

// A 25 GB Blu-ray disc on a 12x drive turning at a constant rate, about 5x inside to 12x
// outside.
SimDiscParams DemoBluRay(bool paced);

// The same disc with a UDF volume alone, as a Blu-ray movie disc or a BD-R written today.
SimDiscParams DemoBluRayUdf(bool paced);

}  // namespace platform
