#include "card/board/VideoCardBase.h"

#include "card/CardModels.h"
#include "card/board/ThreadListener.h"
#include "card/driver/AtipdlxxStream.h"
#include "card/driver/NVidiaStream.h"
#include "threading/Waits.h"

#include <algorithm>
#include <array>
#include <mutex>

namespace {

constexpr int kResetLastRegister = 22;
constexpr DWORD kResetSpacingMs = 5;

// Entry 0 is written to register 23 first, entry i to register i. Registers 20
// to 22 have no values of their own and are cleared.
constexpr std::array<std::uint8_t, kResetLastRegister + 1> kResetTable = {
    0x00,                                                       // register 23
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, // 1 to 10
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x80, 0x00, 0x00,       // 11 to 19
    0x00, 0x00, 0x00,                                           // 20 to 22
};

std::unique_ptr<Stream> streamFor(CardModelSpec::Driver driver)
{
    if (driver == CardModelSpec::Driver::Atipdlxx) {
        return std::make_unique<AtipdlxxStream>();
    }
    return std::make_unique<NVidiaStream>();
}

} // namespace

VideoCardBase::VideoCardBase(std::unique_ptr<Stream> stream, int interval)
    : Thread(&VideoCardBase::pollLoop), stream_(std::move(stream)), interval_(interval)
{
}

VideoCardBase::VideoCardBase(const CardModelSpec& model)
    : VideoCardBase(streamFor(model.driver), model.pollIntervalMs)
{
    model_ = &model;
}

VideoCardBase::~VideoCardBase()
{
    stopAndWait();
    DriverMutexLock hold(transactionMutex_);
    stream_.reset();
}

bool VideoCardBase::stopPolling(DWORD capMs) noexcept
{
    // No further pass; the one under way ends whole.
    setEnabledFlag(0);
    return stopWithin(calls(), capMs);
}

void VideoCardBase::enable()
{
    switchPollingOn();
    if (model_ != nullptr) {
        writeSet(model_->enableSet, model_->enableOrder);
    }
}

void VideoCardBase::disable()
{
    switchPollingOff();
    if (model_ != nullptr) {
        writeSet(model_->disableSet, model_->disableOrder);
    }
}

void VideoCardBase::writeSet(const RegisterSet& set, std::span<const int> order)
{
    writeRegisterSet(*stream_, set, order);
}

void VideoCardBase::reset()
{
    switchPollingOff();
    writeRegister(stream(), kModeRegister, kResetTable[0]);
    for (int reg = 1; reg <= kResetLastRegister; ++reg) {
        writeRegister(stream(), reg, kResetTable[reg]);
        Sleep(kResetSpacingMs);
    }
}

void VideoCardBase::setEnabledFlag(int value)
{
    std::lock_guard<CriticalSection> hold(flagLock_);
    enabledFlag_ = value;
}

void VideoCardBase::switchPollingOn()
{
    setEnabledFlag(1);
}

void VideoCardBase::switchPollingOff()
{
    setEnabledFlag(0);
    // A pass that began before the flag changed may still notify the listener:
    // wait for it, letting its lamp updates to this thread through. A pass that
    // takes the mutex later finds the flag off.
    const DriverMutexLock hold(transactionMutex_, true);
    if (!hold.owned()) {
        passOutwaited_ = true;
    }
}

bool VideoCardBase::pollingOn()
{
    std::lock_guard<CriticalSection> hold(flagLock_);
    return enabledFlag_ == 1;
}

unsigned __stdcall VideoCardBase::pollLoop(void* card)
{
    try {
        static_cast<VideoCardBase*>(static_cast<Thread*>(card))->pollUntilStopped();
    } catch (...) {
        // Nothing in a pass throws; if it did, the loop ends rather than the process.
    }
    return 0;
}

void VideoCardBase::pollUntilStopped()
{
    if (stopRequested()) {
        return;
    }
    const int pause = interval_;
    // Not cleared between reads: a failed read repeats the byte before it.
    unsigned char sample = 0;
    do {
        pauseUnlessStopped(static_cast<DWORD>(pause));
        if (pollingOn()) {
            pollOnce(sample);
        }
    } while (!stopRequested());
}

bool VideoCardBase::endsLateWithPollingOff()
{
    return passOutwaited_.exchange(false) && !pollingOn();
}

void VideoCardBase::pollOnce(unsigned char& sample)
{
    DriverMutexLock hold(transactionMutex_);
    // Polling may have been switched off while this pass waited for the mutex.
    if (!pollingOn()) {
        return;
    }
    passOutwaited_ = false;
    unsigned char highest = 0;
    for (int i = 0; i < kSamplesPerPass; ++i) {
        stream_->read(&sample, kReadingRegister, 1);
        highest = std::max(highest, sample);
    }
    // The lamps were set for polling off after this pass was given up on: a
    // reading it took stays out of them and out of the filter.
    if (endsLateWithPollingOff()) {
        return;
    }
    if (highest == lastReading_ && repeatCount_ < kRepeatsBeforeRenotify) {
        ++repeatCount_;
        return;
    }
    repeatCount_ = 0;
    lastReading_ = highest;
    if (listener_ != nullptr) {
        listener_->notify(highest);
    }
}
