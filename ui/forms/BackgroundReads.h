// The window's reads, on a thread of their own, so that a slow read never freezes it.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/System.h"

namespace ui::forms {

// The system a window runs on: the one it is given, whose devices read on a thread of their
// own while the window's thread waits for them and goes on with its events. A scratched disc
// can hold one read for tens of seconds; the window keeps repainting and takes Stop meanwhile.
// The order of reads and what each tick does stay as they are: a read is one call that returns
// when the read is done.
//
// The time of a read is the reading thread's: the clock, asked right after a read, has gone on
// by the read's own length from where it stood before it, whatever the window did while it
// waited. While a read is out the clock stands still for the window.
class BackgroundReadSystem final : public platform::System {
  public:
    // How the window waits: it runs its events until done() holds. The reading thread calls
    // wake() when a read comes back, from its own thread.
    struct Waiter {
        std::function<void(const std::function<bool()>& done)> wait;
        std::function<void()> wake;
    };

    explicit BackgroundReadSystem(std::unique_ptr<platform::System> inner);
    ~BackgroundReadSystem() override;
    BackgroundReadSystem(const BackgroundReadSystem&) = delete;
    BackgroundReadSystem& operator=(const BackgroundReadSystem&) = delete;

    // Without a waiter the window's thread simply waits.
    void SetWaiter(Waiter waiter) { waiter_ = std::move(waiter); }
    // Whether a read is out: the window then takes no command but Stop.
    bool ReadOut() const { return readOut_; }
    platform::System& Inner() { return *inner_; }

    // Runs the read on the reading thread and waits for it.
    bool Read(platform::DeviceFile& device, std::uint64_t byteOffset, std::span<std::uint8_t> dst);

    std::unique_ptr<platform::DeviceFile> OpenDevice(const std::string& driveEntry) override;
    std::uint32_t TickCount() override;
    std::uint64_t MicroTicks() override;
    platform::VersionRecord QueryVersion() override { return inner_->QueryVersion(); }
    std::vector<std::string> CandidateDrives() override { return inner_->CandidateDrives(); }
    std::optional<std::vector<std::string>> NamedDrives() const override {
        return inner_->NamedDrives();
    }
    platform::DriveType DriveTypeOf(const std::string& driveEntry) override {
        return inner_->DriveTypeOf(driveEntry);
    }
    std::shared_ptr<platform::LoadedModule> LoadModule(const std::string& fileName) override {
        return inner_->LoadModule(fileName);
    }
    std::string DevicePath(const std::string& driveEntry) const override {
        return inner_->DevicePath(driveEntry);
    }
    std::error_code LastOpenError() const override { return inner_->LastOpenError(); }
    platform::DriveIdentity IdentityOf(const std::string& driveEntry) override {
        return inner_->IdentityOf(driveEntry);
    }

  private:
    struct Job {
        platform::DeviceFile* device = nullptr;
        std::uint64_t byteOffset = 0;
        std::span<std::uint8_t> dst;
        bool ok = false;
        std::uint32_t ticks = 0;  // the read's own length on each clock
        std::uint64_t micros = 0;
    };
    void ReadingThread();

    std::unique_ptr<platform::System> inner_;
    Waiter waiter_;
    bool readOut_ = false;
    // The clock as last told, and the lengths of the last read still to be added to it.
    std::uint32_t lastTick_ = 0;
    std::uint64_t lastMicro_ = 0;
    std::optional<std::uint32_t> pendingTicks_;
    std::optional<std::uint64_t> pendingMicros_;
    bool tickTold_ = false;  // since the last read began
    bool microTold_ = false;

    // The hand-over: the read in job_, posted_ when it is there for the reading thread, done_
    // when its result is; the mutex and changed_ for a side that sleeps meanwhile.
    Job job_;
    std::atomic<bool> posted_{false};
    std::atomic<bool> done_{false};
    std::atomic<bool> waiting_{false};  // the window runs its events until done_
    std::atomic<bool> ending_{false};
    std::mutex mutex_;
    std::condition_variable changed_;
    std::thread thread_;  // last: it starts once everything it uses is made
};

}  // namespace ui::forms
