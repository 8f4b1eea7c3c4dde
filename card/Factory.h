#pragma once
// Assembles the card object and the matching lamp mapping for a card model.
#include "card/board/VideoCardBase.h"
#include "card/lamps/LedProcess.h"

#include <memory>

struct CardModelSpec;

class Factory {
public:
    virtual ~Factory() = default;
    // Both throw std::runtime_error("Unknown Graphics Card!") for a model that
    // is none of the supported cards, before anything is created; a card's own
    // construction failure passes through unchanged.
    virtual std::unique_ptr<VideoCardBase> createVideoCard() = 0;
    // The process's dialog is null; the caller points it at its lamp window.
    virtual std::unique_ptr<LedProcess> createLedProcess() = 0;

protected:
    Factory() = default;
    Factory(const Factory&) = delete;
    Factory& operator=(const Factory&) = delete;
};

class TalloFactory : public Factory {
public:
    // The model of the installed card, identified afresh.
    TalloFactory();
    explicit TalloFactory(int model);

    std::unique_ptr<VideoCardBase> createVideoCard() override;
    std::unique_ptr<LedProcess> createLedProcess() override;

    // 0 Radeon HD 6800 series, 1 Radeon HD 6900 series, 2 GeForce GTX 560 Ti,
    // 3 GeForce GTX 580; anything else is no supported card.
    int model() const noexcept { return model_; }

private:
    // Throws for a model that is none of the supported cards.
    const CardModelSpec& spec() const;

    int model_;
};
