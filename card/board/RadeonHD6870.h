#pragma once
// Radeon HD 6800 series. Keeps the base reset.
#include "card/board/VideoCardBase.h"

class RadeonHD6870 : public VideoCardBase {
public:
    static constexpr int kIntervalMs = 500;

    // Throws std::runtime_error when the AMD driver library cannot be used.
    RadeonHD6870();

    void enable() override;
    void disable() override;
};
