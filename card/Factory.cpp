#include "card/Factory.h"

#include "card/board/N560GTX.h"
#include "card/board/N580GTX.h"
#include "card/board/RadeonHD6870.h"
#include "card/board/RadeonHD6970.h"
#include "detect/CardModel.h"

#include <stdexcept>

namespace {

[[noreturn]] void refuseUnknownCard()
{
    throw std::runtime_error("Unknown Graphics Card!");
}

} // namespace

TalloFactory::TalloFactory() : TalloFactory(identifyCardModel())
{
}

TalloFactory::TalloFactory(int model) : model(model)
{
}

std::unique_ptr<VideoCardBase> TalloFactory::createVideoCard()
{
    switch (model) {
    case kRadeonHD6800Model:
        return std::make_unique<RadeonHD6870>();
    case kRadeonHD6900Model:
        return std::make_unique<RadeonHD6970>();
    case kGeForceGTX560TiModel:
        return std::make_unique<N560GTX>();
    case kGeForceGTX580Model:
        return std::make_unique<N580GTX>();
    default:
        refuseUnknownCard();
    }
}

std::unique_ptr<LedProcess> TalloFactory::createLedProcess()
{
    switch (model) {
    case kRadeonHD6800Model:
        return std::make_unique<R6870LedProcess>();
    case kRadeonHD6900Model:
        return std::make_unique<R6970LedProcess>();
    case kGeForceGTX560TiModel:
        return std::make_unique<N560GTXLedProcess>();
    case kGeForceGTX580Model:
        return std::make_unique<N580GTXLedProcess>();
    default:
        refuseUnknownCard();
    }
}
