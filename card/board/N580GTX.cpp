#include "card/board/N580GTX.h"

#include "card/CardModels.h"

N580GTX::N580GTX() : VideoCardBase(kGeForceGTX580Spec)
{
}

void N580GTX::enable()
{
    if (firstEnable_ == 0) {
        VideoCardBase::enable();
        return;
    }
    switchPollingOn();
    writeSet(model().enableSet, kGeForceFullOrder);
    // Cleared even if those writes failed: nothing is read back.
    firstEnable_ = 0;
}

void N580GTX::reset()
{
    VideoCardBase::reset();
    firstEnable_ = 1;
}
