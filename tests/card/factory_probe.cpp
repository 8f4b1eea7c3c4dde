// Runs the factory as the main window does, identifying the card itself.
// Exit status: the model when both objects were made; 100 + model when it was
// refused as unknown; 200 + model when the AMD library was missing; 255 else.
#include "card/Factory.h"

#include <cstring>
#include <stdexcept>

int main()
{
    TalloFactory factory;
    try {
        const auto card = factory.createVideoCard();
        const auto lamps = factory.createLedProcess();
        return factory.model();
    } catch (const std::runtime_error& failure) {
        if (std::strcmp(failure.what(), "Unknown Graphics Card!") == 0) {
            return 100 + factory.model();
        }
        if (std::strcmp(failure.what(), "Unable to load atipdlxx.dll!") == 0) {
            return 200 + factory.model();
        }
    }
    return 255;
}
