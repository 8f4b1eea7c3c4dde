#pragma once
// What the program knows of each supported card model, in one place: the
// factory, the card classes, the lamp mapping and the main window read it.
#include "card/board/RegisterSet.h"

#include <memory>
#include <span>

class LedProcess;
class VideoCardBase;

// Readings up to `highest` (inclusive) light `lamps` lamps.
struct LampStep {
    int highest;
    int lamps;
};

struct CardModelSpec {
    enum class Driver { Atipdlxx, Nvapi };

    int model; // as card identification numbers it
    Driver driver;
    int pollIntervalMs;
    RegisterSet enableSet;
    std::span<const int> enableOrder;
    RegisterSet disableSet;
    std::span<const int> disableOrder;
    // The lamp row: how many lamps show, from the left, and how many of them
    // are green when lit; the rest are red.
    int lampsShown;
    int greenLamps;
    // Empty where the lamps follow a rule of the lamp mapping's own.
    std::span<const LampStep> lampSteps;
    std::unique_ptr<VideoCardBase> (*createCard)();
    std::unique_ptr<LedProcess> (*createLamps)();
};

extern const CardModelSpec kRadeonHD6800Spec;
extern const CardModelSpec kRadeonHD6900Spec;
extern const CardModelSpec kGeForceGTX560TiSpec;
extern const CardModelSpec kGeForceGTX580Spec;

// Null for a model that is none of the supported cards.
const CardModelSpec* findCardModel(int model);
