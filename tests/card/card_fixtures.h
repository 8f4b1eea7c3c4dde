#pragma once
// Fakes and fixtures the card tests share: a scripted register stream, a
// recording listener, the stand-in driver library, and a panel of lamp
// windows that records what they are sent.
#include <windows.h>

#include "SimControl.h"
#include "card/board/ThreadListener.h"
#include "card/driver/Stream.h"
#include "expected_writes.h"
#include "nt_test.h"

#include <atomic>
#include <functional>
#include <initializer_list>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

namespace card_test {

using nt_test::nowMs;

// Polls the condition every millisecond: a card's passes may follow each other
// closely. False when it still fails after timeoutMs.
inline bool waitUntil(const std::function<bool()>& condition, DWORD timeoutMs = 5000)
{
    return nt_test::waitUntil(condition, timeoutMs, 1);
}

using nt_test::defaultTableWrites;
using nt_test::joined;
using nt_test::Writes;

// The gaps in ms between the starts of passes of ten reads each, from the
// reads' logged times in microseconds.
std::vector<double> passGapsMs(const std::vector<long long>& readTimesUs);
// Pass starts lie the interval apart at least, and the closest two, on a busy
// machine too, lie well under one and a half intervals apart.
void expectPassesEvery(double intervalMs, const std::vector<double>& gapsMs);

// What a ScriptedStream saw. Shared with the test, so it outlives the card
// that owns the stream.
struct StreamRecord {
    struct Write {
        int reg;
        unsigned char value;
        double timeMs;
        int readsBefore;
    };
    std::atomic<int> reads{0};
    std::mutex mutex;
    std::vector<Write> writes;

    std::vector<Write> writesSoFar();
};

// Read number n (from 0) yields sample(n); each read takes readDelayMs.
class ScriptedStream : public Stream {
public:
    ScriptedStream(std::shared_ptr<StreamRecord> record, std::function<unsigned char(int)> sample,
                   DWORD readDelayMs = 0);
    int read(unsigned char* buffer, int reg, int count) override;
    int write(const unsigned char* buffer, int reg, int count) override;

private:
    std::shared_ptr<StreamRecord> record_;
    std::function<unsigned char(int)> sample_;
    DWORD readDelayMs_;
};

// Notes each reading with the pass it came from (passes counted from 1).
class RecordingListener : public ThreadListener {
public:
    struct Note {
        int reading;
        int pass;
    };
    explicit RecordingListener(std::shared_ptr<StreamRecord> record) : record_(std::move(record)) {}
    void notify(int reading) override;
    std::vector<Note> notes();

private:
    std::shared_ptr<StreamRecord> record_;
    std::mutex mutex_;
    std::vector<Note> notes_;
};

// The stand-in atipdlxx.dll of one variant folder under <build>\sim, found by
// LoadLibraryEx for the fixture's lifetime, driven by a control file of its own.
class StandIn {
public:
    explicit StandIn(const wchar_t* variant = L"atipdlxx");
    ~StandIn();
    StandIn(const StandIn&) = delete;
    StandIn& operator=(const StandIn&) = delete;

    sim::SimControl& control() { return control_; }
    // The writes logged so far.
    Writes writes();
    int reads();

private:
    nt_test::TempDir dir_;
    sim::SimControl control_;
    DLL_DIRECTORY_COOKIE cookie_;
};

// A hidden window with lamp probes for control identifiers 1024 to 1039, two
// more than the row has, so that a lamp past the top shows.
class LampPanel {
public:
    static constexpr int kProbes = 16;
    struct Message {
        int lamp;
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        double timeMs;
    };

    LampPanel();
    ~LampPanel();
    LampPanel(const LampPanel&) = delete;
    LampPanel& operator=(const LampPanel&) = delete;

    HWND window() const { return window_; }
    // The button messages the probes received since the last call.
    std::vector<Message> take();
    bool lit(int lamp) const { return lit_[lamp]; }

private:
    static LRESULT CALLBACK probeProc(HWND probe, UINT message, WPARAM wParam, LPARAM lParam);

    HWND window_ = nullptr;
    std::vector<Message> messages_;
    bool lit_[kProbes] = {};
};

} // namespace card_test
