#include "card/CardModels.h"

#include "card/board/N560GTX.h"
#include "card/board/N580GTX.h"
#include "card/board/RadeonHD6870.h"
#include "card/board/RadeonHD6970.h"
#include "card/lamps/LedProcess.h"
#include "detect/CardModel.h"

namespace {

template <typename Made, typename Base>
std::unique_ptr<Base> create()
{
    return std::make_unique<Made>();
}

// Both NVIDIA boards switch off with these; only registers 23 and 19 to 22 are written.
constexpr RegisterSet kGeForceDisableSet = {
    0x00, {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}, {}, {0x00, 0x00, 0x00, 0x00, 0x00, 0x00}, 0x80,
};

constexpr LampStep kRadeonHD6900Steps[] = {{31, 2}, {41, 4}, {58, 6}, {67, 8}, {73, 10}, {80, 12}};
constexpr LampStep kGeForceGTX580Steps[] = {{19, 2}, {31, 4}, {37, 5}, {51, 6}, {65, 7}, {79, 8}, {95, 10}};
constexpr LampStep kGeForceGTX560TiSteps[] = {{30, 1}, {39, 2},  {53, 3}, {64, 4},
                                              {77, 5}, {109, 6}, {135, 7}};

} // namespace

constinit const CardModelSpec kRadeonHD6800Spec = {
    .model = kRadeonHD6800Model,
    .driver = CardModelSpec::Driver::Atipdlxx,
    .pollIntervalMs = 500,
    .enableSet =
        {0x00, {0x7E, 0x68, 0x4F, 0x46, 0x34, 0x23, 0x0E}, {}, {0x00, 0x00, 0x87, 0x65, 0x43, 0x21}, 0x80},
    .enableOrder = kRadeonOrder,
    // Keeps registers 1 to 7 as the enable set has them.
    .disableSet =
        {0x00, {0x7E, 0x68, 0x4F, 0x46, 0x34, 0x23, 0x0E}, {}, {0x00, 0x00, 0x00, 0x00, 0x00, 0x00}, 0x80},
    .disableOrder = kRadeonOrder,
    .lampsShown = 8,
    .greenLamps = 0,
    .lampSteps = {}, // windows of readings, see R6870LedProcess
    .createCard = &create<RadeonHD6870, VideoCardBase>,
    .createLamps = &create<R6870LedProcess, LedProcess>,
};

constinit const CardModelSpec kRadeonHD6900Spec = {
    .model = kRadeonHD6900Model,
    .driver = CardModelSpec::Driver::Atipdlxx,
    .pollIntervalMs = 200,
    .enableSet =
        {0x00, {0x51, 0x51, 0x4A, 0x44, 0x3B, 0x2A, 0x20}, {}, {0x00, 0x00, 0x77, 0x65, 0x43, 0x21}, 0x80},
    .enableOrder = kRadeonOrder,
    .disableSet =
        {0x00, {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}, {}, {0x00, 0x00, 0x77, 0x77, 0x77, 0x77}, 0x80},
    .disableOrder = kRadeonOrder,
    .lampsShown = 14,
    .greenLamps = 10,
    .lampSteps = kRadeonHD6900Steps,
    .createCard = &create<RadeonHD6970, VideoCardBase>,
    .createLamps = &create<R6970LedProcess, LedProcess>,
};

constinit const CardModelSpec kGeForceGTX560TiSpec = {
    .model = kGeForceGTX560TiModel,
    .driver = CardModelSpec::Driver::Nvapi,
    .pollIntervalMs = 200,
    .enableSet =
        {0x00, {0x88, 0x6E, 0x4E, 0x41, 0x36, 0x28, 0x1F}, {}, {0x00, 0x00, 0x87, 0x65, 0x43, 0x21}, 0x80},
    .enableOrder = kGeForceFullOrder,
    .disableSet = kGeForceDisableSet,
    .disableOrder = kGeForceShortOrder,
    .lampsShown = 8,
    .greenLamps = 0,
    .lampSteps = kGeForceGTX560TiSteps,
    .createCard = &create<N560GTX, VideoCardBase>,
    .createLamps = &create<N560GTXLedProcess, LedProcess>,
};

constinit const CardModelSpec kGeForceGTX580Spec = {
    .model = kGeForceGTX580Model,
    .driver = CardModelSpec::Driver::Nvapi,
    .pollIntervalMs = 200,
    // Registers 1 to 7, 17 and 18 only with the first enable (see N580GTX).
    .enableSet =
        {0x00, {0x41, 0x36, 0x2C, 0x22, 0x19, 0x10, 0x0A}, {}, {0x00, 0x00, 0xCA, 0x87, 0x65, 0x42}, 0x80},
    .enableOrder = kGeForceShortOrder,
    .disableSet = kGeForceDisableSet,
    .disableOrder = kGeForceShortOrder,
    .lampsShown = 12,
    .greenLamps = 6,
    .lampSteps = kGeForceGTX580Steps,
    .createCard = &create<N580GTX, VideoCardBase>,
    .createLamps = &create<N580GTXLedProcess, LedProcess>,
};

const CardModelSpec* findCardModel(int model)
{
    for (const CardModelSpec* spec :
         {&kRadeonHD6800Spec, &kRadeonHD6900Spec, &kGeForceGTX560TiSpec, &kGeForceGTX580Spec}) {
        if (spec->model == model) {
            return spec;
        }
    }
    return nullptr;
}
