#pragma once
// Radeon HD 6900 series: its reset ends with its disable set.
#include "card/board/VideoCardBase.h"

class RadeonHD6970 : public VideoCardBase {
public:
    // Throws std::runtime_error when the AMD driver library cannot be used.
    RadeonHD6970();

    // The default table, then this card's disable set.
    void reset() override;
};
