#include "card/board/N560GTX.h"

#include "card/CardModels.h"

N560GTX::N560GTX() : VideoCardBase(kGeForceGTX560TiSpec)
{
}
