#pragma once
// GeForce GTX 560 Ti: everything of it is its model's description.
#include "card/board/VideoCardBase.h"

class N560GTX : public VideoCardBase {
public:
    // Succeeds without the driver or a GPU; the card then reaches nothing.
    N560GTX();
};
