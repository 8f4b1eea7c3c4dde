#pragma once
// Radeon HD 6800 series: everything of it is its model's description.
#include "card/board/VideoCardBase.h"

class RadeonHD6870 : public VideoCardBase {
public:
    // Throws std::runtime_error when the AMD driver library cannot be used.
    RadeonHD6870();
};
