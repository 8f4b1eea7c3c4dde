#pragma once
// GeForce GTX 580. Registers 1 to 7, 17 and 18 are written only by the first
// enable after construction or reset.
#include "card/board/VideoCardBase.h"

class N580GTX : public VideoCardBase {
public:
    static constexpr int kIntervalMs = 200;

    // Succeeds without the driver or a GPU; the card then reaches nothing.
    N580GTX();

    void enable() override;
    void disable() override;
    // The default table; the next enable writes the full set again.
    void reset() override;

private:
    // Touched only on the window's thread.
    int firstEnable_ = 1;
};
