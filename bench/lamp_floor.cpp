// The floor for the program's CPU figures: the traffic the design fixes and
// nothing else, done the cheapest way. A worker thread sleeps the polling
// interval and, while polling is on, takes a kernel mutex for the pass and
// another around each of its ten reads of register 25 through the stand-in
// driver library, keeps the largest, passes it on as the program's filter
// does (when it changed, else every fourth pass), and then sends the row of a
// Radeon HD 6900 series, one BM_SETCHECK per lamp, synchronously to plain
// windows of the main thread. Those paint only when their state changes: one
// copy from a memory DC prepared at the start.
//
//   lamp_floor.exe LIBRARY on|off
//
// LIBRARY is the stand-in's path; it takes its settings from the control
// file, as the program's does. The panel is shown; the benchmark hides it
// from outside. The program ends on WM_QUIT posted to its main thread.
#include "card/CardModels.h"
#include "card/board/VideoCardBase.h"
#include "card/driver/AtipdlxxStream.h"
#include "card/lamps/LedProcess.h"
#include "common/UniqueHandle.h"
#include "framework/Gdi.h"
#include "res/resource.h"

#include <windows.h>

#include <shellapi.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <process.h>

namespace {

const CardModelSpec& kModel = kRadeonHD6900Spec;
constexpr int kLampCount = NT_LED_COUNT;
// The AMD driver's request, as the program makes it.
using I2CRequest = AtipdlxxStream::I2CRequest;
using WriteAndReadI2CFunction = AtipdlxxStream::WriteAndReadI2CFunction;
constexpr int kAdapter = 0;
constexpr int kLine = AtipdlxxStream::kLine;
constexpr int kSpeed = AtipdlxxStream::kSpeed;
constexpr int kActionRead = 1;

constexpr wchar_t kPanelClass[] = L"LampFloorPanel";
constexpr wchar_t kLampClass[] = L"LampFloorLamp";
constexpr int kMargin = 10;
constexpr int kLampPitch = 16;

// The two faces, each selected into a memory DC of its own once.
class LampFaces {
public:
    bool load(HINSTANCE instance)
    {
        const UniqueScreenDC screen(::GetDC(nullptr));
        for (std::size_t lit = 0; lit < 2; ++lit) {
            if (!bitmaps_[lit].Attach(static_cast<HBITMAP>(
                    ::LoadImageW(instance, MAKEINTRESOURCEW(lit != 0 ? IDB_LED_GREEN : IDB_LED_GREY),
                                 IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION))) ||
                !dcs_[lit].CreateCompatibleDC(screen.get())) {
                return false;
            }
            previous_[lit] = ::SelectObject(dcs_[lit], bitmaps_[lit]);
        }
        size_ = bitmaps_[0].GetSize();
        return true;
    }
    ~LampFaces()
    {
        for (std::size_t lit = 0; lit < 2; ++lit) {
            if (previous_[lit] != nullptr) {
                ::SelectObject(dcs_[lit], previous_[lit]);
            }
        }
    }

    HDC dc(bool lit) const { return dcs_[lit ? 1 : 0]; }
    SIZE size() const { return size_; }

private:
    // Declared before the DCs: a bitmap is deleted only once selected out.
    std::array<CBitmap, 2> bitmaps_;
    std::array<CDC, 2> dcs_;
    std::array<HGDIOBJ, 2> previous_{}; // not owned: the DCs' own bitmaps
    SIZE size_{};
};

LampFaces faces;
// Lamp k's state; only the main thread touches it, in the lamps' procedure.
std::array<bool, kLampCount> lampLit{};

LRESULT CALLBACK lampProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case BM_SETCHECK: {
        bool& lit = lampLit[static_cast<std::size_t>(::GetDlgCtrlID(window) - IDC_LED0)];
        if (lit != (wParam != 0)) {
            lit = wParam != 0;
            ::InvalidateRect(window, nullptr, FALSE);
        }
        return 0;
    }
    case WM_PAINT: {
        const CPaintDC dc(window);
        const bool lit = lampLit[static_cast<std::size_t>(::GetDlgCtrlID(window) - IDC_LED0)];
        ::BitBlt(dc, 0, 0, faces.size().cx, faces.size().cy, faces.dc(lit), 0, 0, SRCCOPY);
        return 0;
    }
    case WM_ERASEBKGND:
        return TRUE;
    default:
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
}

struct Worker {
    WriteAndReadI2CFunction writeAndRead = nullptr;
    UniqueKernelHandle passMutex{::CreateMutexW(nullptr, FALSE, nullptr)};
    UniqueKernelHandle readMutex{::CreateMutexW(nullptr, FALSE, nullptr)};
    std::array<HWND, kLampCount> lamps{}; // not owned: the panel's children
    bool polling = false;
    std::atomic<bool> stop{false};

    unsigned char readOnce(unsigned char& sample) const
    {
        const bool held =
            ::WaitForSingleObject(readMutex.get(), AtipdlxxStream::kTransactionWaitMs) == WAIT_OBJECT_0;
        I2CRequest request{sizeof request,
                           kLine,
                           AtipdlxxStream::kControllerAddress,
                           VideoCardBase::kReadingRegister,
                           kActionRead,
                           kSpeed,
                           1,
                           &sample};
        writeAndRead(kAdapter, &request);
        if (held) {
            ::ReleaseMutex(readMutex.get());
        }
        return sample;
    }

    // The row as the program's lamp mapping sends it: the lamps above the bar
    // darkened upwards, then the bar lit downwards.
    void showBar(int lit) const
    {
        for (int lamp = lit; lamp < kModel.lampsShown; ++lamp) {
            ::SendMessageW(lamps[static_cast<std::size_t>(lamp)], BM_SETCHECK, BST_UNCHECKED, 0);
        }
        for (int lamp = lit - 1; lamp >= 0; --lamp) {
            ::SendMessageW(lamps[static_cast<std::size_t>(lamp)], BM_SETCHECK, BST_CHECKED, 0);
        }
    }

    void run()
    {
        int lastReading = 0;
        int repeats = 0;
        unsigned char sample = 0;
        while (!stop) {
            ::Sleep(static_cast<DWORD>(kModel.pollIntervalMs));
            if (!polling) {
                continue;
            }
            const bool held =
                ::WaitForSingleObject(passMutex.get(), VideoCardBase::kPassWaitMs) == WAIT_OBJECT_0;
            unsigned char highest = 0;
            for (int read = 0; read < VideoCardBase::kSamplesPerPass; ++read) {
                highest = std::max(highest, readOnce(sample));
            }
            if (highest != lastReading || repeats == VideoCardBase::kRepeatsBeforeRenotify) {
                repeats = 0;
                lastReading = highest;
                showBar(LedProcess::lampCountFor(kModel, highest));
            } else {
                ++repeats;
            }
            if (held) {
                ::ReleaseMutex(passMutex.get());
            }
        }
    }

    static unsigned __stdcall loop(void* worker)
    {
        static_cast<Worker*>(worker)->run();
        return 0;
    }
};

void registerClass(HINSTANCE instance, const wchar_t* name, WNDPROC procedure)
{
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = name;
    ::RegisterClassW(&windowClass);
}

// Waits for the worker, handling what it sends meanwhile: it may be blocked
// sending a lamp its state.
void waitFor(HANDLE thread)
{
    while (::MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_SENDMESSAGE) == WAIT_OBJECT_0 + 1) {
        MSG message;
        ::PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    int count = 0;
    wchar_t** arguments = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (arguments == nullptr || count != 3 || !faces.load(instance)) {
        return 2;
    }
    const UniqueLibrary library(::LoadLibraryW(arguments[1]));
    Worker worker;
    worker.polling = ::lstrcmpW(arguments[2], L"on") == 0;
    ::LocalFree(arguments);
    // Through void*: GetProcAddress's own type fits no real signature.
    worker.writeAndRead = reinterpret_cast<WriteAndReadI2CFunction>(
        reinterpret_cast<void*>(::GetProcAddress(library.get(), "ATIDL_WriteAndReadI2C")));
    if (worker.writeAndRead == nullptr) {
        return 3;
    }

    registerClass(instance, kPanelClass, &::DefWindowProcW);
    registerClass(instance, kLampClass, lampProc);
    const SIZE lamp = faces.size();
    const HWND panel = ::CreateWindowExW(0, kPanelClass, L"Lamp floor", WS_POPUP, 100, 100,
                                         2 * kMargin + kLampCount * kLampPitch, 2 * kMargin + lamp.cy,
                                         nullptr, nullptr, instance, nullptr);
    for (int k = 0; k < kLampCount; ++k) {
        worker.lamps[static_cast<std::size_t>(k)] = ::CreateWindowExW(
            0, kLampClass, L"", WS_CHILD | WS_VISIBLE, kMargin + k * kLampPitch, kMargin, lamp.cx, lamp.cy,
            panel, reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_LED0 + k)), instance, nullptr);
    }
    ::ShowWindow(panel, SW_SHOW);

    const UniqueKernelHandle thread(
        reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, &Worker::loop, &worker, 0, nullptr)));
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        ::DispatchMessageW(&message);
    }
    worker.stop = true;
    waitFor(thread.get());
    ::DestroyWindow(panel);
    return 0;
}
