#pragma once
// A graphics card's voltage controller: its register stream and the worker
// thread that samples register 25 while polling is switched on.
#include "card/board/RegisterSet.h"
#include "card/driver/Stream.h"
#include "threading/DriverMutex.h"
#include "threading/Thread.h"

#include <atomic>
#include <memory>
#include <span>

struct CardModelSpec;
class ThreadListener;

class VideoCardBase : public Thread {
public:
    // Owns the stream from here on. The worker thread is left suspended. A card
    // made this way has no register sets: enable and disable only switch polling.
    VideoCardBase(std::unique_ptr<Stream> stream, int interval);
    // Ends the worker thread before the stream goes, so no pass outlives it;
    // waits for that without a limit (see stopPolling).
    ~VideoCardBase() override;

    // Not owned: receives the readings. Set before the thread is resumed.
    void setListener(ThreadListener* listener) noexcept { listener_ = listener; }

    // Switches polling on, then writes the model's enable set.
    virtual void enable();
    // Switches polling off, then writes the model's disable set.
    virtual void disable();
    // Switches polling off and writes the default register table.
    virtual void reset();

    // Switches polling off and ends the polling thread, waiting as long as its
    // driver calls keep returning, up to capMs; true when it has ended.
    // A thread stuck in a driver call does not end: the owner must then leave
    // the card alone (its destruction would wait for the thread for good) and
    // leave it to the end of the process.
    bool stopPolling(DWORD capMs) noexcept;

    // The driver calls under way, for waits that tell a slow bus from a stuck one.
    const CallWatch& calls() const noexcept { return stream_->calls(); }

    static constexpr int kReadingRegister = 25;
    static constexpr int kSamplesPerPass = 10;
    // An unchanged reading is passed on again on every fourth pass.
    static constexpr int kRepeatsBeforeRenotify = 3;
    // How long switching polling off and destruction wait for a pass under way
    // (less once the pass is stuck in the driver).
    static constexpr DWORD kPassWaitMs = 1000;

protected:
    // A card of the model: a stream to the model's driver, its interval and
    // its register sets. Throws std::runtime_error when the AMD driver library
    // cannot be used.
    explicit VideoCardBase(const CardModelSpec& model);

    const CardModelSpec& model() const { return *model_; }
    void writeSet(const RegisterSet& set, std::span<const int> order);
    void switchPollingOn();
    // Once this returns, no polling pass reaches the listener until polling is
    // switched on again. A pass stuck in the driver is not waited for; when it
    // comes back later it does not notify.
    void switchPollingOff();
    Stream& stream() { return *stream_; }

private:
    static unsigned __stdcall pollLoop(void* card);
    void pollUntilStopped();
    void pollOnce(unsigned char& sample);
    bool pollingOn();
    void setEnabledFlag(int value);
    // A pass that switching polling off gave up waiting for, ending late.
    bool endsLateWithPollingOff();

    std::unique_ptr<Stream> stream_;
    const CardModelSpec* model_ = nullptr; // null: no register sets
    ThreadListener* listener_ = nullptr;   // not owned
    int interval_;
    int enabledFlag_ = 0;
    DriverMutex transactionMutex_{stream_->calls(), kPassWaitMs};
    CriticalSection flagLock_;
    // Set when switching polling off stopped waiting for a pass under way.
    std::atomic<bool> passOutwaited_{false};
    // The last reading passed on, and the passes since that found it unchanged.
    int lastReading_ = 0;
    int repeatCount_ = 0;
};
