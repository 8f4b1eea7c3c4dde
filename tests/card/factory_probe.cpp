// Runs the factory as the main window does, identifying the card itself.
#include "card/Factory.h"
#include "tests/card/probe_status.h"

#include <cstring>
#include <stdexcept>

int main()
{
    TalloFactory factory;
    try {
        const auto card = factory.createVideoCard();
        const auto lamps = factory.createLedProcess();
        return kBothObjectsMade + factory.model();
    } catch (const std::runtime_error& failure) {
        if (std::strcmp(failure.what(), "Unknown Graphics Card!") == 0) {
            return kRefusedAsUnknown + factory.model();
        }
        if (std::strcmp(failure.what(), "Unable to load atipdlxx.dll!") == 0) {
            return kAmdLibraryMissing + factory.model();
        }
    }
    return kUnexpectedFailure;
}
