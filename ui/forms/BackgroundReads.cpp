#include "ui/forms/BackgroundReads.h"

#include <chrono>

namespace ui::forms {

namespace {

// Most reads are back well within this: the window's thread waits for them plainly, and runs
// its events only for a read that takes longer.
constexpr std::chrono::milliseconds kPlainWait{20};

// A read from a cache, and the next read of a tick, come within this: each side watches for
// the other that long before it sleeps, since waking a sleeping thread takes longer still.
constexpr std::chrono::microseconds kSpin{100};

bool SpinUntil(const std::atomic<bool>& flag) {
    const auto until = std::chrono::steady_clock::now() + kSpin;
    while (!flag) {
        if (std::chrono::steady_clock::now() >= until) {
            return false;
        }
        std::this_thread::yield();
    }
    return true;
}

// A device of the window's system: its reads go to the reading thread, all else as it is.
class BackgroundDevice final : public platform::DeviceFile {
  public:
    BackgroundDevice(BackgroundReadSystem& system, std::unique_ptr<platform::DeviceFile> inner)
        : system_(system), inner_(std::move(inner)) {}

    bool ReadAt(std::uint64_t byteOffset, std::span<std::uint8_t> dst) override {
        return system_.Read(*inner_, byteOffset, dst);
    }
    bool SelectReadSpeed(const platform::ReadSpeedRequest& request) override {
        return inner_->SelectReadSpeed(request);
    }
    std::optional<std::int64_t> MediumSectors() override { return inner_->MediumSectors(); }
    platform::DiscState CheckDisc() override { return inner_->CheckDisc(); }

  private:
    BackgroundReadSystem& system_;
    std::unique_ptr<platform::DeviceFile> inner_;
};

}  // namespace

BackgroundReadSystem::BackgroundReadSystem(std::unique_ptr<platform::System> inner)
    : inner_(std::move(inner)), thread_([this] { ReadingThread(); }) {}

BackgroundReadSystem::~BackgroundReadSystem() {
    {
        const std::lock_guard lock(mutex_);
        ending_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

std::unique_ptr<platform::DeviceFile> BackgroundReadSystem::OpenDevice(
    const std::string& driveEntry) {
    auto device = inner_->OpenDevice(driveEntry);
    if (!device) {
        return nullptr;
    }
    return std::make_unique<BackgroundDevice>(*this, std::move(device));
}

std::uint32_t BackgroundReadSystem::TickCount() {
    if (readOut_) {
        return lastTick_;
    }
    tickTold_ = true;
    if (pendingTicks_) {
        lastTick_ += *pendingTicks_;  // wraps as the tick counter does
        pendingTicks_.reset();
    } else {
        lastTick_ = inner_->TickCount();
    }
    return lastTick_;
}

std::uint64_t BackgroundReadSystem::MicroTicks() {
    if (readOut_) {
        return lastMicro_;
    }
    microTold_ = true;
    if (pendingMicros_) {
        lastMicro_ += *pendingMicros_;
        pendingMicros_.reset();
    } else {
        lastMicro_ = inner_->MicroTicks();
    }
    return lastMicro_;
}

bool BackgroundReadSystem::Read(platform::DeviceFile& device, std::uint64_t byteOffset,
                                std::span<std::uint8_t> dst) {
    // A read that nobody timed starts from the clock as it stands; a timed one from where the
    // clock was told just before it.
    if (!tickTold_) {
        lastTick_ = inner_->TickCount();
    }
    if (!microTold_) {
        lastMicro_ = inner_->MicroTicks();
    }
    tickTold_ = false;
    microTold_ = false;
    pendingTicks_.reset();
    pendingMicros_.reset();

    job_ = Job{&device, byteOffset, dst};
    done_ = false;
    {
        const std::lock_guard lock(mutex_);
        posted_ = true;
    }
    changed_.notify_all();
    readOut_ = true;
    if (!SpinUntil(done_)) {
        std::unique_lock lock(mutex_);
        if (!changed_.wait_for(lock, kPlainWait, [this] { return done_.load(); })) {
            lock.unlock();
            if (waiter_.wait) {
                waiting_ = true;
                waiter_.wait([this] { return done_.load(); });
                waiting_ = false;
            }
            lock.lock();
            changed_.wait(lock, [this] { return done_.load(); });
        }
    }
    readOut_ = false;
    pendingTicks_ = job_.ticks;
    pendingMicros_ = job_.micros;
    return job_.ok;
}

void BackgroundReadSystem::ReadingThread() {
    for (;;) {
        if (!SpinUntil(posted_)) {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [this] { return ending_.load() || posted_.load(); });
        }
        if (ending_) {
            return;
        }
        posted_ = false;
        Job job = job_;
        // The clocks are asked here alone while the read is out.
        const std::uint64_t micro0 = inner_->MicroTicks();
        const std::uint32_t tick0 = inner_->TickCount();
        job.ok = job.device->ReadAt(job.byteOffset, job.dst);
        job.ticks = inner_->TickCount() - tick0;
        job.micros = inner_->MicroTicks() - micro0;
        job_ = job;
        {
            const std::lock_guard lock(mutex_);
            done_ = true;
        }
        changed_.notify_all();
        // Only a window that runs its events needs waking; one that waits plainly has been.
        if (waiting_ && waiter_.wake) {
            waiter_.wake();
        }
    }
}

}  // namespace ui::forms
