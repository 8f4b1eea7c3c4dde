#include "card_fixtures.h"

#include "card/lamps/LedProcess.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>

namespace card_test {

std::vector<double> passGapsMs(const std::vector<long long>& readTimesUs)
{
    std::vector<double> gaps;
    for (std::size_t read = 10; read + 10 <= readTimesUs.size(); read += 10) {
        gaps.push_back(static_cast<double>(readTimesUs[read] - readTimesUs[read - 10]) / 1000.0);
    }
    return gaps;
}

void expectPassesEvery(double intervalMs, const std::vector<double>& gapsMs)
{
    ASSERT_FALSE(gapsMs.empty());
    for (const double gap : gapsMs) {
        EXPECT_GE(gap, 0.9 * intervalMs);
    }
    EXPECT_LT(*std::min_element(gapsMs.begin(), gapsMs.end()), 1.5 * intervalMs);
}

std::vector<StreamRecord::Write> StreamRecord::writesSoFar()
{
    std::lock_guard<std::mutex> hold(mutex);
    return writes;
}

ScriptedStream::ScriptedStream(std::shared_ptr<StreamRecord> record, std::function<unsigned char(int)> sample,
                               DWORD readDelayMs)
    : record_(std::move(record)), sample_(std::move(sample)), readDelayMs_(readDelayMs)
{
}

int ScriptedStream::read(unsigned char* buffer, int, int count)
{
    // Marked as the real streams mark their driver calls, so a read that
    // blocks shows as stuck.
    const CallWatch::Call call(calls_);
    if (readDelayMs_ > 0) {
        Sleep(readDelayMs_);
    }
    *buffer = sample_(record_->reads.load());
    ++record_->reads;
    return count;
}

int ScriptedStream::write(const unsigned char* buffer, int reg, int count)
{
    const CallWatch::Call call(calls_);
    std::lock_guard<std::mutex> hold(record_->mutex);
    record_->writes.push_back({reg, *buffer, nowMs(), record_->reads.load()});
    return count;
}

void RecordingListener::notify(int reading)
{
    std::lock_guard<std::mutex> hold(mutex_);
    notes_.push_back({reading, record_->reads.load() / 10});
}

std::vector<RecordingListener::Note> RecordingListener::notes()
{
    std::lock_guard<std::mutex> hold(mutex_);
    return notes_;
}

StandIn::StandIn(const wchar_t* variant)
    : control_(dir_.path()), cookie_(AddDllDirectory((nt_test::simDir() + L"\\" + variant).c_str()))
{
    if (cookie_ == nullptr) {
        throw std::runtime_error("cannot add the stand-in's folder to the library search");
    }
}

StandIn::~StandIn()
{
    RemoveDllDirectory(cookie_);
}

Writes StandIn::writes()
{
    Writes writes;
    for (const sim::LogEntry& entry : control_.log("WriteAndReadI2C")) {
        if (entry.field("action") == 2) {
            writes.emplace_back(static_cast<int>(entry.field("register")),
                                static_cast<int>(entry.field("value")));
        }
    }
    return writes;
}

int StandIn::reads()
{
    int reads = 0;
    for (const sim::LogEntry& entry : control_.log("WriteAndReadI2C")) {
        reads += entry.field("action") == 1 ? 1 : 0;
    }
    return reads;
}

namespace {

const char kPanelClass[] = "NtCardTestPanel";
const char kProbeClass[] = "NtCardTestLampProbe";

void registerClass(const char* name, WNDPROC procedure)
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = name;
    RegisterClassA(&windowClass);
}

} // namespace

LampPanel::LampPanel()
{
    static const bool registered = [] {
        registerClass(kPanelClass, DefWindowProcA);
        registerClass(kProbeClass, &LampPanel::probeProc);
        return true;
    }();
    (void)registered;
    window_ = CreateWindowExA(0, kPanelClass, "lamps", WS_POPUP, 0, 0, 400, 40, nullptr, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
    if (window_ == nullptr) {
        throw std::runtime_error("cannot create the lamp panel");
    }
    SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    for (int lamp = 0; lamp < kProbes; ++lamp) {
        CreateWindowExA(0, kProbeClass, "", WS_CHILD, lamp * 20, 0, 18, 18, window_,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_LED0 + lamp)),
                        GetModuleHandleA(nullptr), nullptr);
    }
}

LampPanel::~LampPanel()
{
    DestroyWindow(window_);
}

std::vector<LampPanel::Message> LampPanel::take()
{
    return std::exchange(messages_, {});
}

LRESULT CALLBACK LampPanel::probeProc(HWND probe, UINT message, WPARAM wParam, LPARAM lParam)
{
    // Every button message counts: the lamps are to receive BM_SETCHECK only.
    if (message >= BM_GETCHECK && message <= BM_SETDONTCLICK) {
        auto* panel = reinterpret_cast<LampPanel*>(GetWindowLongPtrA(GetParent(probe), GWLP_USERDATA));
        const int lamp = GetDlgCtrlID(probe) - IDC_LED0;
        if (panel != nullptr && lamp >= 0 && lamp < kProbes) {
            panel->messages_.push_back({lamp, message, wParam, lParam, nowMs()});
            if (message == BM_SETCHECK) {
                panel->lit_[lamp] = wParam == BST_CHECKED;
            }
        }
        return 0;
    }
    return DefWindowProcA(probe, message, wParam, lParam);
}

} // namespace card_test
