#pragma once
// The card the main window monitors, and the lamp mapping its polling thread calls.
#include "card/board/VideoCardBase.h"
#include "card/lamps/LedProcess.h"

#include <memory>

// Members are destroyed in the reverse order of their declaration: the card,
// whose destruction ends its polling thread, before the lamp mapping that the
// thread calls. Freed in that order by default as well as at shutdown.
struct MonitoredCard {
    std::unique_ptr<LedProcess> ledProcess;
    std::unique_ptr<VideoCardBase> videoCard;
};
