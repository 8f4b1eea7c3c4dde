#pragma once
// A graphics card's voltage controller: its register stream and the worker
// thread that samples register 25 while polling is switched on.
#include "card/Handles.h"
#include "card/Stream.h"
#include "card/Thread.h"

#include <memory>

class VideoCardBase : public Thread {
public:
    // Owns the stream from here on. The worker thread is left suspended.
    VideoCardBase(std::unique_ptr<Stream> stream, int interval);
    // Ends the worker thread before the stream goes, so no pass outlives it.
    ~VideoCardBase() override;

    // Switches polling on; card classes then write their enable set.
    virtual void enable();
    // Switches polling off; card classes then write their disable set.
    virtual void disable();
    // Switches polling off and writes the default register table.
    virtual void reset();

    static constexpr int kReadingRegister = 25;
    static constexpr int kSamplesPerPass = 10;
    // An unchanged reading is passed on again on every fourth pass.
    static constexpr int kRepeatsBeforeRenotify = 3;

protected:
    void switchPollingOn();
    // Once this returns, no polling pass reaches the listener until polling is
    // switched on again.
    void switchPollingOff();
    Stream& stream() { return *stream_; }

private:
    static unsigned __stdcall pollLoop(void* card);
    void pollUntilStopped();
    void pollOnce(unsigned char& sample);
    bool pollingOn();

    std::unique_ptr<Stream> stream_;
    int interval_;
    int enabledFlag_ = 0;
    card::UniqueKernelHandle transactionMutex_;
    DWORD mutexTimeout_ = 1000;
    card::CriticalSection flagLock_;
    // The last reading passed on, and the passes since that found it unchanged.
    int lastReading_ = 0;
    int repeatCount_ = 0;
};
