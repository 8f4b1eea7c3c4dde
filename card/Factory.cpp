#include "card/Factory.h"

#include "card/CardModels.h"
#include "detect/CardModel.h"

#include <stdexcept>

TalloFactory::TalloFactory() : TalloFactory(identifyCardModel())
{
}

TalloFactory::TalloFactory(int model) : model_(model)
{
}

const CardModelSpec& TalloFactory::spec() const
{
    const CardModelSpec* spec = findCardModel(model_);
    if (spec == nullptr) {
        throw std::runtime_error("Unknown Graphics Card!");
    }
    return *spec;
}

std::unique_ptr<VideoCardBase> TalloFactory::createVideoCard()
{
    return spec().createCard();
}

std::unique_ptr<LedProcess> TalloFactory::createLedProcess()
{
    return spec().createLamps();
}
