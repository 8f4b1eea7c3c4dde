#pragma once
// The order in which the AMD boards take a register set.
#include "card/board/RegisterSet.h"

class Stream;

// Fifteen single-byte writes: register 23, registers 7 down to 1, 19 to 22,
// 17 and 18, and register 23 again.
void writeInRadeonOrder(Stream& stream, const RegisterSet& set);
