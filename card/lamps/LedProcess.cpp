#include "card/lamps/LedProcess.h"

#include "card/CardModels.h"
#include "res/resource.h"

namespace {

// Lets the darkened lamps be seen dark before they light again.
constexpr DWORD kN560PauseMs = 30;

constexpr int kR6870FullLevel = 8;
// Only readings inside a window make a level; every other reading up to 43 is level 0.
struct LevelWindow {
    int lowest;
    int highest;
    int level;
};
constexpr LevelWindow kR6870Windows[] = {{5, 7, 1},   {12, 14, 2}, {18, 20, 3}, {25, 26, 4},
                                         {31, 33, 5}, {37, 39, 6}, {41, 43, 7}};
constexpr int kR6870FullFrom = 44;

} // namespace

int LedProcess::lampCountFor(const CardModelSpec& model, int reading)
{
    for (const LampStep& step : model.lampSteps) {
        if (reading <= step.highest) {
            return step.lamps;
        }
    }
    return model.lampsShown;
}

int LedProcess::topLamp() const
{
    return model_.lampsShown - 1;
}

void LedProcess::setDialog(HWND dialog) noexcept
{
    dialog_ = dialog;
    for (std::size_t lamp = 0; lamp < lamps_.size(); ++lamp) {
        lamps_[lamp] = dialog != nullptr ? GetDlgItem(dialog, IDC_LED0 + static_cast<int>(lamp)) : nullptr;
    }
}

void LedProcess::setLamp(int lamp, bool lit) const
{
    SendMessageA(lamps_[static_cast<std::size_t>(lamp)], BM_SETCHECK, lit ? BST_CHECKED : BST_UNCHECKED, 0);
}

void LedProcess::darken(int first, int last) const
{
    for (int lamp = first; lamp <= last; ++lamp) {
        setLamp(lamp, false);
    }
}

void LedProcess::light(int highest, int lowest) const
{
    for (int lamp = highest; lamp >= lowest; --lamp) {
        setLamp(lamp, true);
    }
}

void LedProcess::showBar(int lamps) const
{
    darken(lamps, topLamp());
    light(lamps - 1, 0);
}

R6970LedProcess::R6970LedProcess() noexcept : LedProcess(kRadeonHD6900Spec)
{
}

void R6970LedProcess::notify(int reading)
{
    showBar(lampCount(reading));
}

N580GTXLedProcess::N580GTXLedProcess() noexcept : LedProcess(kGeForceGTX580Spec)
{
}

void N580GTXLedProcess::notify(int reading)
{
    showBar(lampCount(reading));
}

N560GTXLedProcess::N560GTXLedProcess() noexcept : LedProcess(kGeForceGTX560TiSpec)
{
}

void N560GTXLedProcess::notify(int reading)
{
    const int lamps = lampCount(reading);
    if (lamps == 1) {
        // Lamp 0 stays lit throughout, but is set again after the pause.
        setLamp(0, true);
        darken(1, topLamp());
    } else {
        darken(lamps - 1, topLamp());
    }
    Sleep(kN560PauseMs);
    light(lamps - 1, 0);
}

R6870LedProcess::R6870LedProcess() noexcept : LedProcess(kRadeonHD6800Spec)
{
}

int R6870LedProcess::levelFor(int reading)
{
    if (reading >= kR6870FullFrom) {
        return kR6870FullLevel;
    }
    for (const LevelWindow& window : kR6870Windows) {
        if (reading >= window.lowest && reading <= window.highest) {
            return window.level;
        }
    }
    return 0;
}

void R6870LedProcess::notify(int reading)
{
    const int level = levelFor(reading);
    if (level == 0) {
        setLamp(0, true);
        darken(1, topLamp());
    } else if (level == kR6870FullLevel) {
        light(topLamp(), 1);
    } else {
        // Level 1 darkens lamps 1 to 7 and lights none.
        darken(level, topLamp());
        light(level - 1, 1);
    }
}
