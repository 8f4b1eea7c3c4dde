#pragma once
// Shows a card's readings as a row of lamps: lamp k is the button with control
// identifier IDC_LED0 + k among the children of the window it is given. One
// class per card model; the lamp steps and the row's length are the model's,
// the order of switching the class's own.
#include <windows.h>

#include "card/board/ThreadListener.h"
#include "res/resource.h"

#include <array>

struct CardModelSpec;

class LedProcess : public ThreadListener {
public:
    // Not owned: the window holding the lamps, which it must hold already.
    // Set before the card's thread runs.
    void setDialog(HWND dialog) noexcept;
    HWND dialog() const noexcept { return dialog_; }

    // How many lamps the model's steps light for a reading; all of the row above the last step.
    static int lampCountFor(const CardModelSpec& model, int reading);

protected:
    explicit LedProcess(const CardModelSpec& model) noexcept : model_(model) {}

    int lampCount(int reading) const { return lampCountFor(model_, reading); }
    int topLamp() const;
    // Each lamp change is a synchronous BM_SETCHECK, handled on the window's thread.
    void setLamp(int lamp, bool lit) const;
    // Lamps first to last, ascending.
    void darken(int first, int last) const;
    // Lamps highest down to lowest, descending.
    void light(int highest, int lowest) const;
    // The row as a bar of `lamps` lit from the left: the rest darkened upwards,
    // then the bar lit downwards.
    void showBar(int lamps) const;

private:
    const CardModelSpec& model_;
    HWND dialog_ = nullptr;
    // Not owned: the dialog's lamp buttons, looked up once. Under Wine each
    // GetDlgItem lists the window's children through Wine's server.
    std::array<HWND, NT_LED_COUNT> lamps_{};
};

// Radeon HD 6900 series, lamps 0 to 13.
class R6970LedProcess : public LedProcess {
public:
    R6970LedProcess() noexcept;
    void notify(int reading) override;
};

// Radeon HD 6800 series, lamps 0 to 7; lamp 0 is only ever lit. Its readings
// make levels by windows of their own rather than steps.
class R6870LedProcess : public LedProcess {
public:
    R6870LedProcess() noexcept;
    void notify(int reading) override;
    // 0 to 8: 8 from 44 on, 1 to 7 inside the windows below, 0 elsewhere.
    static int levelFor(int reading);
};

// GeForce GTX 580, lamps 0 to 11.
class N580GTXLedProcess : public LedProcess {
public:
    N580GTXLedProcess() noexcept;
    void notify(int reading) override;
};

// GeForce GTX 560 Ti, lamps 0 to 7: the highest lamp to be lit goes dark too,
// for a pause, before the bar is lit.
class N560GTXLedProcess : public LedProcess {
public:
    N560GTXLedProcess() noexcept;
    void notify(int reading) override;
};
