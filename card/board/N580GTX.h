#pragma once
// GeForce GTX 580: the first enable after construction or reset also writes
// registers 1 to 7, 17 and 18; later ones only 19 to 22.
#include "card/board/VideoCardBase.h"

class N580GTX : public VideoCardBase {
public:
    // Succeeds without the driver or a GPU; the card then reaches nothing.
    N580GTX();

    void enable() override;
    // The default table; the next enable writes the full set again.
    void reset() override;

private:
    // Touched only by the card's commands, one at a time.
    int firstEnable_ = 1;
};
