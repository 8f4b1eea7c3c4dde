// Builds an ATI stream the way the program does, in a process of its own, so a
// test can choose the folders around it.
#include "card/driver/AtipdlxxStream.h"
#include "tests/card/probe_status.h"

#include <cstring>
#include <stdexcept>

int main()
{
    try {
        AtipdlxxStream stream;
        return kStreamBuilt;
    } catch (const std::exception& failure) {
        return std::strcmp(failure.what(), "Unable to load atipdlxx.dll!") == 0 ? kLibraryNotLoaded
                                                                                : kOtherFailure;
    }
}
