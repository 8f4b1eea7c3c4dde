#pragma once
// Radeon HD 6900 series.
#include "card/board/VideoCardBase.h"

class RadeonHD6970 : public VideoCardBase {
public:
    static constexpr int kIntervalMs = 200;

    // Throws std::runtime_error when the AMD driver library cannot be used.
    RadeonHD6970();

    void enable() override;
    void disable() override;
    // The default table, then this card's disable set.
    void reset() override;
};
