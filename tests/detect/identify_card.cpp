// Reports the card model of the display adapter the platform shows this
// process. The exit status is 100 + model, so that a crash (status 3 or 5
// under Wine) can't pass for a model; 99 is an exception.
#include "detect/CardModel.h"

#include <exception>

int main()
{
    try {
        return 100 + identifyCardModel();
    } catch (const std::exception&) {
        return 99;
    }
}
