#pragma once
// Shows a card's readings as a row of lamps: lamp k is the button with control
// identifier kFirstLampId + k among the children of dialog. One class per card
// model, each with its own table, number of lamps and order of switching.
#include <windows.h>

#include "card/board/ThreadListener.h"

constexpr int kFirstLampId = 1024;

class LedProcess : public ThreadListener {
public:
    // Not owned: the window holding the lamps. Set before the card's thread runs.
    HWND dialog = nullptr;

protected:
    // Each lamp change is a synchronous BM_SETCHECK, handled on the window's thread.
    void setLamp(int lamp, bool lit) const;
    // Lamps first to last, ascending.
    void darken(int first, int last) const;
    // Lamps highest down to lowest, descending.
    void light(int highest, int lowest) const;
};

// Radeon HD 6900 series, lamps 0 to 13.
class R6970LedProcess : public LedProcess {
public:
    void notify(int reading) override;
};

// Radeon HD 6800 series, lamps 0 to 7; lamp 0 is only ever lit.
class R6870LedProcess : public LedProcess {
public:
    void notify(int reading) override;
};

// GeForce GTX 580, lamps 0 to 11.
class N580GTXLedProcess : public LedProcess {
public:
    void notify(int reading) override;
};

// GeForce GTX 560 Ti, lamps 0 to 7.
class N560GTXLedProcess : public LedProcess {
public:
    void notify(int reading) override;
};
