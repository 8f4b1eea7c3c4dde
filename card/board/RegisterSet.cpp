#include "card/board/RegisterSet.h"

#include "card/driver/Stream.h"

void writeRegisterSet(Stream& stream, const RegisterSet& set, std::span<const int> order)
{
    for (std::size_t i = 0; i < order.size(); ++i) {
        writeRegister(stream, order[i], set.valueOf(order[i], i + 1 == order.size()));
    }
}
