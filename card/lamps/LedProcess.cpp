#include "card/lamps/LedProcess.h"

#include <cstddef>

namespace {

// Readings up to `highest` (inclusive) show `lamps` lamps.
struct LampStep {
    int highest;
    int lamps;
};

template <std::size_t N>
int lampCount(const LampStep (&table)[N], int reading, int allLamps)
{
    for (const LampStep& step : table) {
        if (reading <= step.highest) {
            return step.lamps;
        }
    }
    return allLamps;
}

constexpr int kR6970TopLamp = 13;
constexpr LampStep kR6970Steps[] = {{31, 2}, {41, 4}, {58, 6}, {67, 8}, {73, 10}, {80, 12}};

constexpr int kN580TopLamp = 11;
constexpr LampStep kN580Steps[] = {{19, 2}, {31, 4}, {37, 5}, {51, 6}, {65, 7}, {79, 8}, {95, 10}};

constexpr int kN560TopLamp = 7;
constexpr LampStep kN560Steps[] = {{30, 1}, {39, 2}, {53, 3}, {64, 4}, {77, 5}, {109, 6}, {135, 7}};
// Lets the darkened lamps be seen dark before they light again.
constexpr DWORD kN560PauseMs = 30;

constexpr int kR6870TopLamp = 7;
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

int r6870Level(int reading)
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

} // namespace

void LedProcess::setLamp(int lamp, bool lit) const
{
    SendMessageA(GetDlgItem(dialog, kFirstLampId + lamp), BM_SETCHECK, lit ? BST_CHECKED : BST_UNCHECKED, 0);
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

void R6970LedProcess::notify(int reading)
{
    const int lamps = lampCount(kR6970Steps, reading, kR6970TopLamp + 1);
    darken(lamps, kR6970TopLamp);
    light(lamps - 1, 0);
}

void N580GTXLedProcess::notify(int reading)
{
    const int lamps = lampCount(kN580Steps, reading, kN580TopLamp + 1);
    darken(lamps, kN580TopLamp);
    light(lamps - 1, 0);
}

void N560GTXLedProcess::notify(int reading)
{
    const int lamps = lampCount(kN560Steps, reading, kN560TopLamp + 1);
    if (lamps == 1) {
        // Lamp 0 stays lit throughout, but is set again after the pause.
        setLamp(0, true);
        darken(1, kN560TopLamp);
    } else {
        darken(lamps - 1, kN560TopLamp);
    }
    Sleep(kN560PauseMs);
    light(lamps - 1, 0);
}

void R6870LedProcess::notify(int reading)
{
    const int level = r6870Level(reading);
    if (level == 0) {
        setLamp(0, true);
        darken(1, kR6870TopLamp);
    } else if (level == kR6870FullLevel) {
        light(kR6870TopLamp, 1);
    } else {
        // Level 1 darkens lamps 1 to 7 and lights none.
        darken(level, kR6870TopLamp);
        light(level - 1, 1);
    }
}
