// Builds an ATI stream the way the program does, in a process of its own, so a
// test can choose the folders around it. Exit status: 0 built, 1 the library
// was not loaded, 2 any other failure.
#include "card/driver/AtipdlxxStream.h"

#include <cstring>
#include <stdexcept>

int main()
{
    try {
        AtipdlxxStream stream;
        return 0;
    } catch (const std::exception& failure) {
        return std::strcmp(failure.what(), "Unable to load atipdlxx.dll!") == 0 ? 1 : 2;
    }
}
