#pragma once
// GeForce GTX 560 Ti. Keeps the base reset.
#include "card/board/VideoCardBase.h"

class N560GTX : public VideoCardBase {
public:
    static constexpr int kIntervalMs = 200;

    // Succeeds without the driver or a GPU; the card then reaches nothing.
    N560GTX();

    void enable() override;
    void disable() override;
};
