#include "card/board/RadeonHD6970.h"

#include "card/CardModels.h"

RadeonHD6970::RadeonHD6970() : VideoCardBase(kRadeonHD6900Spec)
{
}

void RadeonHD6970::reset()
{
    VideoCardBase::reset();
    disable();
}
