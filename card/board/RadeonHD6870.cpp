#include "card/board/RadeonHD6870.h"

#include "card/CardModels.h"

RadeonHD6870::RadeonHD6870() : VideoCardBase(kRadeonHD6800Spec)
{
}
